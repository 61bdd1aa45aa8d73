// The watcher's command line: corvel-saver-idle SECONDS SAVER [saver arguments].
#pragma once

#include <string>
#include <vector>

namespace idle {

struct IdleArguments {
    unsigned seconds = 0;
    std::string saverPath;          // the saver program found
    std::vector<std::string> argv;  // its command line, argv[0] the path
};

// Reads argv into *out; false with the reason in *error (one line) when the
// arguments are wrong or the saver is not found. programDir is the folder of
// the watcher itself: the saver is looked for beside it (a build tree) and in
// ../libexec/xscreensaver (the installed tree).
bool ReadIdleArguments(int argc, char** argv, const std::string& programDir, IdleArguments* out, std::string* error);

// The folder of the running program ("" when /proc/self/exe cannot be read).
std::string ProgramDir();

}  // namespace idle
