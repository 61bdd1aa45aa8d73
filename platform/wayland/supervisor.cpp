#include "platform/wayland/supervisor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/linux/stop_signals.h"
#include "platform/linux/window_system.h"
#include "platform/posix/startup_trace.h"
#include "platform/wayland/instance_lock.h"
#include "platform/wayland/protocols.h"
#include "platform/wayland/read_loop.h"
#include "platform/wayland/state.h"
#include "platform/wayland/supervisor_channel.h"

namespace plat {

namespace {

constexpr int kMaxOutputs = 16;
constexpr int kEndWaitMs = 2000;      // for the saver processes to end after SIGTERM, then SIGKILL
constexpr int kFirstAnswerMs = 5000;  // a compositor that has not answered by then is taken for frozen

struct Child {
    pid_t pid;  // 0: slot free
    std::uint32_t output;
    int control;    // our end of the channel; -1 once closed
    bool retired;   // its output went: its end does not end the run
    bool keyboard;  // it last said it has the keyboard
    bool queried;   // asked for a round trip, no answer yet
    bool pointer;   // it last said it has the pointer
};

struct Supervisor {
    const char* program;
    wl_display* display;
    wl_registry* registry;
    bool hasCompositor, hasLayerShell, hasWmBase;
    std::uint32_t newOutputs[kMaxOutputs];  // announced, no saver process yet
    int newOutputCount;
    Child children[kMaxOutputs];
    int signalFd;
    int lockFd;
    int leaver;                        // the child whose keyboard or pointer left, while a query round runs; -1 none
    bool keyboardRound, pointerRound;  // what the round asks after
    bool ended;
    int status;
};

Supervisor sv;

void OnGlobal(void*, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t) {
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        if (sv.newOutputCount < kMaxOutputs) sv.newOutputs[sv.newOutputCount++] = name;
    } else if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        sv.hasCompositor = true;
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        sv.hasLayerShell = true;
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        sv.hasWmBase = true;
    }
}

void Send(Child& child, char message) {
    if (child.control >= 0 && send(child.control, &message, 1, MSG_NOSIGNAL) < 0) {
        // A process that is gone is reaped through SIGCHLD.
    }
}

bool Live(const Child& child) { return child.pid != 0 && !child.retired; }

bool AnyKeyboard() {
    for (const Child& child : sv.children)
        if (Live(child) && child.keyboard) return true;
    return false;
}

bool AnyPointer() {
    for (const Child& child : sv.children)
        if (Live(child) && child.pointer) return true;
    return false;
}

bool AnyQueried() {
    for (const Child& child : sv.children)
        if (Live(child) && child.queried) return true;
    return false;
}

// A query round is over: if no saver process has the keyboard (or the pointer)
// now, it went to another program, and the one that lost it is deactivated.
void FinishRoundIfAnswered() {
    if (sv.leaver < 0 || AnyQueried()) return;
    Child& leaver = sv.children[sv.leaver];
    sv.leaver = -1;
    const bool lost = (sv.keyboardRound && !AnyKeyboard()) || (sv.pointerRound && !AnyPointer());
    sv.keyboardRound = sv.pointerRound = false;
    if (lost && Live(leaver)) Send(leaver, kDeactivate);
}

void StartRound(int leaver) {
    sv.leaver = leaver;
    for (Child& child : sv.children) {
        if (!Live(child) || child.queried) continue;
        child.queried = true;
        Send(child, kQueryKeyboard);
    }
    FinishRoundIfAnswered();
}

void Retire(Child& child) {
    child.retired = true;
    child.queried = false;
    child.pointer = false;
    kill(child.pid, SIGTERM);
    if (!child.keyboard) return;
    child.keyboard = false;
    // The compositor gives the keyboard elsewhere; another saver asks for it back.
    for (Child& other : sv.children) {
        if (Live(other)) {
            Send(other, kTakeKeyboard);
            break;
        }
    }
    FinishRoundIfAnswered();
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t name) {
    for (int i = 0; i < sv.newOutputCount; ++i) {
        if (sv.newOutputs[i] != name) continue;
        sv.newOutputs[i] = sv.newOutputs[--sv.newOutputCount];
        return;
    }
    for (Child& child : sv.children)
        if (Live(child) && child.output == name) Retire(child);
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void EndRun(int status) {
    if (sv.ended) return;
    sv.ended = true;
    sv.status = status;
}

int StatusOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    return 1;  // killed by a signal from outside
}

void CloseChannel(Child& child) {
    if (child.control >= 0) close(child.control);
    child.control = -1;
}

// Collects every saver process that has ended; one that ended on its own ends the run.
void Reap() {
    int waitStatus = 0;
    pid_t pid;
    while ((pid = waitpid(-1, &waitStatus, WNOHANG)) > 0) {
        for (Child& child : sv.children) {
            if (child.pid != pid) continue;
            const int status = StatusOf(waitStatus);
            const bool ends = !child.retired && status != kOutputGoneStatus;
            CloseChannel(child);
            child = Child{0, 0, -1, false, false, false, false};
            if (ends) EndRun(status);
            FinishRoundIfAnswered();
        }
    }
}

void ReadSignals() {
    signalfd_siginfo info;
    while (read(sv.signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        if (info.ssi_signo == SIGCHLD) {
            Reap();
        } else {
            EndRun(0);
        }
    }
}

void ReadChannel(int index) {
    Child& child = sv.children[index];
    char messages[32];
    const ssize_t count = read(child.control, messages, sizeof messages);
    if (count <= 0) {
        if (count == 0) CloseChannel(child);  // the process is ending; SIGCHLD follows
        return;
    }
    if (child.retired) return;
    for (ssize_t i = 0; i < count; ++i) {
        switch (messages[i]) {
            case kKeyboardEntered:
                child.keyboard = true;
                break;
            case kKeyboardLeft:
                child.keyboard = false;
                if (AnyKeyboard()) break;
                sv.keyboardRound = true;
                StartRound(index);
                break;
            case kPointerEntered:
                child.pointer = true;
                break;
            case kPointerLeft:
                child.pointer = false;
                if (AnyPointer()) break;
                sv.pointerRound = true;
                StartRound(index);
                break;
            case kQueryAnswered:
                child.queried = false;
                FinishRoundIfAnswered();
                break;
            default:
                break;
        }
    }
}

void WaitOnce() {
    pollfd fds[2 + kMaxOutputs];
    int owners[2 + kMaxOutputs];
    nfds_t count = 1;  // fds[0]: the connection's
    fds[count++] = pollfd{sv.signalFd, POLLIN, 0};
    for (int i = 0; i < kMaxOutputs; ++i) {
        if (sv.children[i].pid == 0 || sv.children[i].control < 0) continue;
        owners[count] = i;
        fds[count++] = pollfd{sv.children[i].control, POLLIN, 0};
    }
    if (!ReadDisplayTurn(sv.display, fds, count, -1)) EndRun(0);  // the compositor is gone
    for (nfds_t i = 2; i < count; ++i)
        if (fds[i].revents != 0) ReadChannel(owners[i]);
    if (fds[1].revents != 0) ReadSignals();
}

int LiveCount() {
    int count = 0;
    for (const Child& child : sv.children)
        if (child.pid != 0) ++count;
    return count;
}

// Ends every saver process: SIGTERM, and SIGKILL for any still there after
// kEndWaitMs.
void EndChildren() {
    for (Child& child : sv.children)
        if (child.pid != 0) kill(child.pid, SIGTERM);
    for (int waited = 0; LiveCount() > 0 && waited < kEndWaitMs; waited += 10) {
        pollfd fd = {sv.signalFd, POLLIN, 0};
        poll(&fd, 1, 10);
        ReadSignals();
    }
    for (Child& child : sv.children) {
        if (child.pid == 0) continue;
        kill(child.pid, SIGKILL);
        waitpid(child.pid, nullptr, 0);
        CloseChannel(child);
        child.pid = 0;
    }
}

// In the forked saver process: lets go of everything that is the supervisor's
// and connects on its own.
bool StartSaverProcess(std::uint32_t output, int control, pid_t supervisor, int* status) {
    for (Child& child : sv.children) CloseChannel(child);
    close(sv.lockFd);
    close(sv.signalFd);
    wlLib.displayDisconnect(sv.display);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != supervisor) _exit(0);  // it died before the line above

    sigset_t stops;
    sigemptyset(&stops);
    AddStopSignals(&stops);
    sigset_t child;
    sigemptyset(&child);
    sigaddset(&child, SIGCHLD);
    sigprocmask(SIG_UNBLOCK, &child, nullptr);
    const int signalFd = signalfd(-1, &stops, SFD_NONBLOCK | SFD_CLOEXEC);
    fcntl(control, F_SETFL, fcntl(control, F_GETFL) | O_NONBLOCK);
    if (!ConnectOutputProcess(sv.program, output, control, signalFd, status)) return false;
    UseWindowSystem(waylandWindowSystem);
    NoteStartupStep(StartupStep::Display);
    return true;
}

// Forks the saver process of `output`. Returns its pid in the supervisor, 0 in
// the saver process, -1 when it could not be made.
pid_t Spawn(std::uint32_t output, int* control) {
    Child* slot = nullptr;
    for (Child& child : sv.children) {
        if (child.pid == 0) {
            slot = &child;
            break;
        }
    }
    int pair[2];
    if (slot == nullptr || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return -1;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(pair[0]);
        close(pair[1]);
        return -1;
    }
    if (pid == 0) {
        close(pair[0]);
        *control = pair[1];
        return 0;
    }
    close(pair[1]);
    fcntl(pair[0], F_SETFL, fcntl(pair[0], F_GETFL) | O_NONBLOCK);
    *slot = Child{pid, output, pair[0], false, false, false, false};
    return pid;
}

bool Connect(int* status) {
    sv.display = wlLib.displayConnect(nullptr);
    if (sv.display == nullptr) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr, "%s: cannot connect to the Wayland display \"%s\"\n", sv.program,
                     name != nullptr ? name : "wayland-0");
        *status = 1;
        return false;
    }
    sv.registry = wl_display_get_registry(sv.display);
    wl_registry_add_listener(sv.registry, &kRegistryListener, nullptr);
    switch (WaitRoundTrip(sv.display, sv.signalFd, kFirstAnswerMs)) {
        case RoundTripResult::Done:
            break;
        case RoundTripResult::Stopped:
            *status = 0;
            return false;
        case RoundTripResult::TimedOut:
            std::fprintf(stderr, "%s: the Wayland compositor did not answer within %d s\n", sv.program,
                         kFirstAnswerMs / 1000);
            *status = 1;
            return false;
        case RoundTripResult::Failed:
            std::fprintf(stderr, "%s: the Wayland display closed the connection\n", sv.program);
            *status = 1;
            return false;
    }
    if (!sv.hasCompositor || (!sv.hasLayerShell && !sv.hasWmBase)) {
        std::fprintf(stderr, "%s: the Wayland compositor offers neither wlr-layer-shell nor xdg-shell\n", sv.program);
        *status = 1;
        return false;
    }
    return true;
}

void SupervisorSignals(sigset_t* signals) {
    sigemptyset(signals);
    AddStopSignals(signals);
    sigaddset(signals, SIGCHLD);
}

}  // namespace

void BlockSupervisorSignals() {
    sigset_t signals;
    SupervisorSignals(&signals);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
}

bool Supervise(const char* program, int* status) {
    sv.program = program;
    sv.leaver = -1;
    sv.lockFd = -1;
    for (Child& child : sv.children) child = Child{0, 0, -1, false, false, false, false};

    // Signals are read from a descriptor, never handled in the middle of work;
    // BlockSupervisorSignals has held them back since the start.
    sigset_t signals;
    SupervisorSignals(&signals);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    sv.signalFd = signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);

    if (!Connect(status)) return false;
    switch (TakeSaverLock(std::getenv("XDG_RUNTIME_DIR"), std::getenv("WAYLAND_DISPLAY"), &sv.lockFd)) {
        case LockResult::HeldElsewhere:
            *status = 0;  // another saver runs: it stays, this one ends at once
            return false;
        case LockResult::Taken:
        case LockResult::Unavailable:
            break;
    }

    const pid_t supervisor = getpid();
    while (!sv.ended) {
        while (sv.newOutputCount > 0 && !sv.ended) {
            const std::uint32_t output = sv.newOutputs[--sv.newOutputCount];
            int control = -1;
            const pid_t pid = Spawn(output, &control);
            if (pid == 0) return StartSaverProcess(output, control, supervisor, status);
            if (pid < 0) std::fprintf(stderr, "%s: cannot start a saver process: %s\n", program, std::strerror(errno));
        }
        if (!sv.ended) WaitOnce();
    }
    EndChildren();
    *status = sv.status;
    return false;
}

}  // namespace plat
