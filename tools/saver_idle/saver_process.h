// The one saver process the watcher runs at a time.
#pragma once

#include <string>
#include <vector>

namespace idle {

// Starts the saver unless one runs; its end is noticed on the main loop. A
// saver that cannot be started or ends with a failure gets one line on stderr.
void StartSaver(const std::vector<std::string>& argv);
bool SaverRuns();
// Ends a running saver (SIGTERM).
void StopSaver();

}  // namespace idle
