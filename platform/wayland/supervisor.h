// The process the desktop starts as `<saver> s` on Wayland: it draws nothing,
// and runs one saver process per output.
//
// It connects, checks that the compositor can show a full-screen surface, takes
// the one-saver-at-a-time lock (held elsewhere: the run ends at once with 0),
// and forks a saver process for every output, now and whenever one is added;
// an output that goes takes its saver process with it. The first saver process
// that ends for any other reason (input, deactivation, a failure) ends the
// run: the supervisor ends the others and exits with that one's status.
// SIGTERM, SIGINT and SIGHUP end the run with 0, as does the compositor's end.
// Nothing outlives the supervisor: each saver process ends when the channel to
// it closes or its parent dies.
//
// It also decides deactivation: a saver process whose keyboard left reports it,
// the supervisor asks every saver process to make a round trip, and only when
// none of them has the keyboard afterwards is the one that lost it deactivated.
// The pointer is decided the same way.
#pragma once

namespace plat {

// Holds SIGTERM, SIGINT, SIGHUP and SIGCHLD back for the supervisor to read
// from a descriptor; first thing, so that a stop while it connects is not lost
// (it ends the run with 0 as soon as the supervisor waits).
void BlockSupervisorSignals();

// Returns true in a forked saver process, connected to its output and ready to
// run the shell; false in the supervisor once the run is over (or could not
// start), with the exit status in *status.
bool Supervise(const char* program, int* status);

}  // namespace plat
