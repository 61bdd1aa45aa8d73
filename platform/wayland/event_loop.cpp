// The wait the emulated message loop runs on in a saver process: it
// sleeps in poll() on the Wayland connection, the supervisor's channel and the
// stop signals until one of them has something or the next timer is due.
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/wayland/read_loop.h"
#include "platform/wayland/state.h"
#include "platform/wayland/supervisor_channel.h"

namespace plat {

namespace {

// Every window of ours goes, which ends the run with 0 (the saver window's
// destruction ends its message loop).
void DestroySaverWindow() {
    if (wayland.window != nullptr) DestroyWindow(wayland.window);
}

void ReadSignals() {
    signalfd_siginfo info;
    bool stop = false;
    while (read(wayland.signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) stop = true;
    if (stop) DestroySaverWindow();
}

void ReadControl() {
    char messages[32];
    for (;;) {
        const ssize_t count = read(wayland.controlFd, messages, sizeof messages);
        if (count == 0) {
            // The supervisor is gone: nothing may outlive it.
            close(wayland.controlFd);
            wayland.controlFd = -1;
            DestroySaverWindow();
            return;
        }
        if (count < 0) return;  // nothing more now (non-blocking)
        for (ssize_t i = 0; i < count; ++i) {
            switch (messages[i]) {
                case kQueryKeyboard:
                    RoundTrip();
                    ReportToSupervisor(kQueryAnswered);
                    break;
                case kDeactivate:
                    if (wayland.window != nullptr) emu::QueueMessage(wayland.window, WM_ACTIVATEAPP, 0, 0);
                    break;
                case kTakeKeyboard:
                    RequestKeyboard();
                    break;
                default:
                    break;
            }
        }
    }
}

// Waits up to timeoutMs (0: not at all) for the connection, the channel or a
// signal, and handles what came. A connection that failed ends the process.
void WaitAndRead(int timeoutMs) {
    pollfd fds[3] = {{-1, 0, 0}, {wayland.signalFd, POLLIN, 0}, {wayland.controlFd, POLLIN, 0}};
    const nfds_t count = wayland.controlFd >= 0 ? 3 : 2;
    if (!ReadDisplayTurn(wayland.display, fds, count, timeoutMs)) {
        CheckConnection();  // a protocol error is named
        EndQuietly(0);      // the compositor went away: an ordinary end
    }
    if (fds[1].revents != 0) ReadSignals();
    if (count == 3 && fds[2].revents != 0) ReadControl();
}

}  // namespace

void ReportToSupervisor(char message) {
    if (wayland.controlFd < 0) return;
    if (send(wayland.controlFd, &message, 1, MSG_NOSIGNAL) < 0) {
        // A supervisor that is gone ends this process through the channel's end.
    }
}

namespace emu {

void WaylandPoll() {
    if (wayland.display == nullptr) return;
    WaitAndRead(0);
    SettleKeyboardLeave();
    SettlePointerLeave();
    if (wayland.resizePending) ApplySurfaceSize();
}

void WaylandWait(DWORD timeoutMs) {
    if (wayland.display == nullptr) {
        timespec delay = {static_cast<time_t>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000000L};
        nanosleep(&delay, nullptr);
        return;
    }
    WaitAndRead(static_cast<int>(timeoutMs));
}

}  // namespace emu
}  // namespace plat
