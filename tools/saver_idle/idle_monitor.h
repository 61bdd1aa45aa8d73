// GNOME's idle monitor (org.gnome.Mutter.IdleMonitor, served by mutter itself)
// on the session bus: one idle watch that fires each time the session has
// been idle for the given time, again after every return of the user.
#pragma once

#include <gio/gio.h>

#include <string>

namespace idle {

// Connects to the session bus, asks the monitor for the idle time (to know it
// is there) and adds the watch; onIdle runs on the main loop each time it
// fires. False with the reason in *error.
bool StartIdleWatch(unsigned seconds, void (*onIdle)(), std::string* error);

// The session bus connection, once made (its "closed" signal ends the watcher).
GDBusConnection* IdleBus();

}  // namespace idle
