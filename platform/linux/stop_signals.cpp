#include "platform/linux/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plat {

namespace {

volatile sig_atomic_t stopRequested = 0;
volatile sig_atomic_t deferred = 0;
int wakePipe[2] = {-1, -1};

void OnStopSignal(int) {
    if (!deferred) _exit(0);
    const int savedErrno = errno;
    stopRequested = 1;
    const char byte = 1;
    // Non-blocking: a full pipe already wakes the loop.
    if (write(wakePipe[1], &byte, 1) < 0) {
    }
    errno = savedErrno;
}

}  // namespace

bool InstallStopSignals() {
    if (wakePipe[0] >= 0) return true;
    if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        wakePipe[0] = wakePipe[1] = -1;
        return false;
    }
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kStopSignals) sigaction(signal, &action, nullptr);
    return true;
}

void AddStopSignals(sigset_t* set) {
    for (int signal : kStopSignals) sigaddset(set, signal);
}

void DeferStopSignals() { deferred = 1; }

bool StopRequested() { return stopRequested != 0; }

int StopWakeDescriptor() { return wakePipe[0]; }

}  // namespace plat
