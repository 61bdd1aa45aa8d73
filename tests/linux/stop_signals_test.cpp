#include "platform/linux/stop_signals.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

#include <cstdlib>

namespace {

bool WakeReadable() {
    pollfd wake = {plat::StopWakeDescriptor(), POLLIN, 0};
    return poll(&wake, 1, 0) == 1;
}

// Runs in a child process of its own (a death test), so that the handlers and
// the recorded request do not outlive the case. Exits 0 when all went right.
void RaiseAfterInstalling(int signal) {
    if (!plat::InstallStopSignals()) std::exit(3);
    plat::DeferStopSignals();
    if (plat::StopRequested() || WakeReadable()) std::exit(4);
    raise(signal);  // the process survives it
    if (!plat::StopRequested()) std::exit(5);
    if (!WakeReadable()) std::exit(6);
    std::exit(0);
}

TEST(StopSignals, TermIntAndHupAreRecordedAndWakeTheLoop) {
    EXPECT_EXIT(RaiseAfterInstalling(SIGTERM), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(RaiseAfterInstalling(SIGINT), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(RaiseAfterInstalling(SIGHUP), testing::ExitedWithCode(0), "");
}

// Before the loop takes the requests over, a stop ends the process at once with 0.
void RaiseBeforeDeferring(int signal) {
    if (!plat::InstallStopSignals()) std::exit(3);
    raise(signal);
    std::exit(7);
}

TEST(StopSignals, UntilDeferredTermIntAndHupEndTheProcessWithZero) {
    EXPECT_EXIT(RaiseBeforeDeferring(SIGTERM), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(RaiseBeforeDeferring(SIGINT), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(RaiseBeforeDeferring(SIGHUP), testing::ExitedWithCode(0), "");
}

TEST(StopSignals, NothingIsWatchedBeforeInstalling) {
    EXPECT_EQ(plat::StopWakeDescriptor(), -1);
    EXPECT_FALSE(plat::StopRequested());
    EXPECT_EXIT(raise(SIGTERM), testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
