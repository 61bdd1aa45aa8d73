// corvel-saver-idle SECONDS SAVER [saver arguments]: for GNOME, whose Wayland
// session offers ordinary clients no idle protocol. Runs the saver (full
// screen: "s" unless other arguments are given) each time the session has been
// idle for SECONDS, as GNOME's idle monitor reports it; a saver ends itself on
// input, and the next idle time starts it again. Meant for the session's
// autostart. Bad arguments, no session bus or no idle monitor: one line on
// stderr, status 1. SIGTERM, SIGINT or SIGHUP end the watcher and its saver
// (status 0); the session bus closing ends it with 1.
#include <glib-unix.h>
#include <signal.h>

#include <cstdio>

#include "tools/saver_idle/idle_arguments.h"
#include "tools/saver_idle/idle_monitor.h"
#include "tools/saver_idle/saver_process.h"

namespace {

struct WatcherState {
    GMainLoop* loop = nullptr;
    idle::IdleArguments arguments;
    int status = 0;
};
WatcherState watcher;

void OnIdle() { idle::StartSaver(watcher.arguments.argv); }

gboolean OnStopSignal(gpointer) {
    idle::StopSaver();
    g_main_loop_quit(watcher.loop);
    return G_SOURCE_REMOVE;
}

void OnBusClosed(GDBusConnection*, gboolean, GError*, gpointer) {
    std::fprintf(stderr, "corvel-saver-idle: the session bus closed\n");
    watcher.status = 1;
    g_main_loop_quit(watcher.loop);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!idle::ReadIdleArguments(argc, argv, idle::ProgramDir(), &watcher.arguments, &error) ||
        !idle::StartIdleWatch(watcher.arguments.seconds, OnIdle, &error)) {
        std::fprintf(stderr, "corvel-saver-idle: %s\n", error.c_str());
        return 1;
    }
    watcher.loop = g_main_loop_new(nullptr, FALSE);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) g_unix_signal_add(signal, OnStopSignal, nullptr);
    g_signal_connect(idle::IdleBus(), "closed", G_CALLBACK(OnBusClosed), nullptr);
    g_main_loop_run(watcher.loop);
    return watcher.status;
}
