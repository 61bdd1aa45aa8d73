// SIGTERM, SIGINT and SIGHUP as a request to end the run: the screen-saver
// daemons stop a program with a signal and expect it gone at once, with 0. The
// handlers come first, before the X connection is made: until then, and until
// the run has a window to end, a stop ends the process at once. Once deferred,
// the handler only records the request and makes a pipe readable, so that a
// message loop sleeping in select() wakes up and ends the run on its own thread.
#pragma once

#include <signal.h>

namespace plat {

// The stop signals, the one list: the daemons and idle tools stop a saver with
// one of these. X11 takes them through the handlers below; the Wayland
// supervisor and its saver processes block them and read them from a signalfd
// (AddStopSignals gives the set), so that no handler runs in the middle of work.
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
void AddStopSignals(sigset_t* set);

// Installs the handlers, which end the process with 0; false (and nothing
// installed) when the pipe cannot be made.
bool InstallStopSignals();
// From now on a stop is a request for the message loop.
void DeferStopSignals();
bool StopRequested();
// Readable once a stop was requested; -1 before InstallStopSignals.
int StopWakeDescriptor();

}  // namespace plat
