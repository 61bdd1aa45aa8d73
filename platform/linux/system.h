// What the Linux programs' entry tells the shared system services.
#pragma once

namespace plat {

void SetCommandLine(const char* text);  // what GetCommandLineA returns

}  // namespace plat
