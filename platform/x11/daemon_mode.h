// Drawing for a screen-saver daemon (XScreenSaver, MATE) on a window it owns.
//
// The shell runs its preview of that window; what differs from a preview stays
// here. The daemon's window is the saver's whole screen: the screen metrics
// report its size, and its size changes reach the saver window as WM_SIZE. The
// saver draws into the window itself when the window's visual has a
// double-buffered RGBA GL config, otherwise into a child with the GL visual that
// follows the window's size. The daemon owns the screen: no grab, no input
// selection, no map, move, restyle or cursor change on its window. The window is
// watched from the moment it is accepted, so a size change or its destruction
// during start-up is seen, and the window counts as existing (with the size last
// seen) until its destruction is. SIGTERM, SIGINT and SIGHUP destroy the saver
// window, which ends the run with 0; so do the window's destruction and the loss
// of the X connection. A failure that a message box would report goes to stderr,
// and the exit status becomes 1; once the window is gone, nothing is reported.
#pragma once

#include <X11/Xlib.h>

#include "platform/x11/state.h"

namespace plat {

// After OpenDisplay: takes `window` as the daemon's window. Prints one line on
// stderr and returns false when it names no window, or one that cannot be drawn
// on (InputOnly).
bool BeginDaemonMode(::Window window, const char* program);
bool InDaemonMode();
::Window DaemonWindow();
// True once the daemon's window was seen destroyed.
bool DaemonWindowGone();
void NoteDaemonWindowGone();
int DaemonWidth();
int DaemonHeight();

// BackendCreateWindow of a window whose parent is the daemon's window.
void CreateDaemonPeer(Peer& peer, emu::Window& window);
// The daemon's window is the drawable itself (not a child of ours).
bool DrawsOnDaemonWindow(const Peer& peer);

// True when the event was the daemon window's size change, now followed.
bool DaemonHandlesEvent(const XEvent& event);
// From BackendPoll: a stop signal destroys the saver's windows.
void DaemonPoll();
// Another descriptor for BackendWait to watch; -1 outside daemon mode.
int DaemonWakeDescriptor();

// MessageBoxA in daemon mode: "<program>: <caption>: <text>" on stderr.
void ReportDaemonFailure(const char* caption, const char* text);
// The exit status: 1 instead of 0 after a reported failure.
unsigned DaemonExitCode(unsigned code);

}  // namespace plat
