#include "tools/saver_idle/saver_process.h"

#include <glib.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>

namespace idle {

namespace {

struct SaverProcessState {
    GPid pid = 0;
    std::string name;
};
SaverProcessState saver;

void OnSaverEnded(GPid pid, gint status, gpointer) {
    g_spawn_close_pid(pid);
    if (pid != saver.pid) return;
    saver.pid = 0;
    if (WIFSIGNALED(status))
        std::fprintf(stderr, "corvel-saver-idle: %s ended by signal %d\n", saver.name.c_str(), WTERMSIG(status));
    else if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "corvel-saver-idle: %s exited with status %d\n", saver.name.c_str(), WEXITSTATUS(status));
}

}  // namespace

void StartSaver(const std::vector<std::string>& argv) {
    if (saver.pid != 0) return;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    saver.name = argv[0].substr(argv[0].rfind('/') + 1);
    GError* failure = nullptr;
    GPid pid = 0;
    if (!g_spawn_async(nullptr, args.data(), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, &pid, &failure)) {
        std::fprintf(stderr, "corvel-saver-idle: cannot start %s: %s\n", argv[0].c_str(), failure->message);
        g_error_free(failure);
        return;
    }
    saver.pid = pid;
    g_child_watch_add(pid, OnSaverEnded, nullptr);
}

bool SaverRuns() { return saver.pid != 0; }

void StopSaver() {
    if (saver.pid != 0) kill(saver.pid, SIGTERM);
}

}  // namespace idle
