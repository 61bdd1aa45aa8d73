// libFuzzer target for the command line, end to end on the headless platform:
// the input (its first byte chooses the Windows 9x family) is a whole command
// line that the shell's scanner reads and runs; the mode started, the window
// used and the exit code must be what the oracle, written from the rules alone,
// says. The same bytes, cut at NULs into argv, must come through the X11
// command-line text to the scanner unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/command_line_text.h"
#include "shell/shell.h"
#include "tests/reliability/command_line_run.h"

namespace {

void CheckRun(const std::string& line, bool win9x) {
    const oracle::World world = cli::PrepareWorld(win9x);
    const oracle::Outcome expected = oracle::Expect(line, world);
    bool timedOut = false;
    const oracle::Outcome observed = cli::Run(line, &timedOut);
    std::string why;
    if (!cli::Agrees(expected, observed, timedOut, &why)) {
        std::fprintf(stderr, "command line \"%s\"%s: %s\n", cli::Escaped(line).c_str(), win9x ? " (9x)" : "",
                     why.c_str());
        std::abort();
    }
}

void CheckArgv(const std::string& bytes) {
    std::vector<std::string> pieces(1);
    for (char c : bytes) {
        if (c == '\0')
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    std::vector<const char*> argv;
    for (const std::string& piece : pieces) argv.push_back(piece.c_str());
    std::string expected;
    for (std::size_t i = 1; i < pieces.size(); ++i) expected += (i > 1 ? " " : "") + pieces[i];
    std::size_t start = 0;
    while (start < expected.size() && static_cast<unsigned char>(expected[start]) <= ' ') ++start;
    expected.erase(0, start);

    const int argc = static_cast<int>(argv.size());
    std::vector<char> text(plat::CommandLineSize(argc, argv.data()));
    if (!plat::BuildCommandLine(argc, argv.data(), text.data(), text.size()) || ArgumentText(text.data()) != expected) {
        std::fprintf(stderr, "argv \"%s\" reads back as \"%s\"\n", cli::Escaped(bytes).c_str(),
                     cli::Escaped(ArgumentText(text.data())).c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 512) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckRun(bytes, (data[0] & 1) != 0);
    CheckArgv(bytes);
    return 0;
}
