// Runs one whole command line through the shell on a fresh headless platform
// and reports what the run did, in the oracle's terms. The world: two foreign
// windows (the second in the foreground), a third already destroyed; the demo,
// saver or preview window gets the close button at its second frame.
#pragma once

#include <string>

#include "tests/reliability/command_line_oracle.h"

namespace cli {

// The world a run sees; the same before every run.
oracle::World PrepareWorld(bool win9xFamily);

// The outcome of the command line in the world PrepareWorld made last.
// `timedOut` is true when the run had to be stopped by the safety net.
oracle::Outcome Run(const std::string& commandLine, bool* timedOut);

// True when the run did what the oracle says; `why` tells how it differed.
bool Agrees(const oracle::Outcome& expected, const oracle::Outcome& observed, bool timedOut, std::string* why);

// The text with every byte outside printable ASCII as \xNN, for reports.
std::string Escaped(const std::string& text);

}  // namespace cli
