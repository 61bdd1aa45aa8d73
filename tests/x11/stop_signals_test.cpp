#include "platform/x11/stop_signals.h"

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

TEST(StopSignals, NothingIsWatchedBeforeInstalling) {
    EXPECT_EQ(plat::StopWakeDescriptor(), -1);
    EXPECT_FALSE(plat::StopRequested());
    EXPECT_EXIT(raise(SIGTERM), testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
