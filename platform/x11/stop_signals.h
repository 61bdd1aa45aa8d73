// SIGTERM, SIGINT and SIGHUP as a request to end the run: the screen-saver
// daemons stop a program with a signal and expect it gone at once. The handler
// only records the request and makes a pipe readable, so that a message loop
// sleeping in select() wakes up and ends the run on its own thread.
#pragma once

namespace plat {

// Installs the handlers; false (and nothing installed) when the pipe cannot be made.
bool InstallStopSignals();
bool StopRequested();
// Readable once a stop was requested; -1 before InstallStopSignals.
int StopWakeDescriptor();

}  // namespace plat
