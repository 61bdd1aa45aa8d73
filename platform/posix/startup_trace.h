// Start-up times for the start-up benchmark (bench/startup), noted by the Linux
// platforms. Off unless the environment variable SAVER_STARTUP_TRACE names
// a file. Then the first moment of each step is taken from the monotonic clock and
// the process's CPU clock (all its threads), and once the first frame is presented
// the steps go to that file as one line, nanoseconds, monotonic then CPU:
//   entry=<ns>,<ns> display=<ns>,<ns> context=<ns>,<ns> timer=<ns>,<ns> frame=<ns>,<ns>
// and the thread's message loop is asked to end (PostQuitMessage 0).
#pragma once

namespace plat {

enum class StartupStep {
    Entry,    // the process entry runs
    Display,  // the display (X connection, or the in-memory screen) is ready
    Context,  // a GL context is first made current on a window
    Timer,    // the first timer starts: the GL host's last step before frames
    Frame,    // the first frame has been swapped and finished
};

bool StartupTraced();
void NoteStartupStep(StartupStep step);

}  // namespace plat
