// Random whole command lines against the oracle, on the headless platform: each
// line runs the deliverable's shell from the program name on, and the mode it
// starts, the window it uses and its exit code must be what the rules say.
//
//   command_line_random_<saver> [count] [seed]
// Prints the figures and "N passed, M failed" (one check per thousand lines,
// failed when any line in it disagreed); the first disagreements are shown.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "savers/saver_variant.h"
#include "tests/reliability/command_line_run.h"

namespace {

// Pieces that the rules give meaning to, and noise around them.
std::string RandomCommandLine(std::mt19937& rng, const oracle::World& world) {
    static const char* const kPrograms[] = {
        "amber.scr",
        "\"C:\\My Savers\\amber.scr\"",
        "\"unterminated /s",
        "\"\"",
        "",
        "a\"b",
        "/usr/bin/amber",
        "saver",
        "\"q\\\"x y\"",
    };
    static const char* const kPieces[] = {" ",  " ", "-",    "/",          "s",  "S",   "p",    "P", "l",
                                          "L",  "c", "C",    "a",          "A",  "x",   "?",    "1", ":",
                                          "\t", "0", "\xff", "4294967296", "  ", "-\t", "/\x01"};
    auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    std::string text = kPrograms[pick(sizeof kPrograms / sizeof *kPrograms)];
    for (std::size_t i = pick(3); i > 0; --i) text += " \t\x01\x1f"[pick(4)];
    if (pick(2) == 0) {  // half the lines start the way a desktop writes them
        text += " -/"[pick(3)];
        text += "sSpPlLcCaA"[pick(10)];
    }
    for (std::size_t i = pick(7); i > 0; --i) {
        switch (pick(6)) {
            case 0:  // an existing window, a destroyed one, or one past 2^32
            {
                std::uint64_t handle = world.windows[pick(world.windows.size())];
                if (pick(4) == 0) handle += 1;
                if (pick(4) == 0) handle += (std::uint64_t{1} << 32) * (1 + pick(3));
                text += std::to_string(handle);
                break;
            }
            case 1:
                text += static_cast<char>(1 + pick(255));
                break;
            case 2:
                text += std::to_string(rng());
                break;
            default:
                text += kPieces[pick(sizeof kPieces / sizeof *kPieces)];
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 20000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;
    std::mt19937 rng(seed);
    long disagreements = 0, checksPassed = 0, checksFailed = 0;
    long modes[5] = {};
    bool blockFailed = false;
    const auto start = std::chrono::steady_clock::now();
    for (long n = 0; n < count; ++n) {
        const bool win9x = rng() % 3 == 0;
        const oracle::World world = cli::PrepareWorld(win9x);
        const std::string line = RandomCommandLine(rng, world);
        const oracle::Outcome expected = oracle::Expect(line, world);
        bool timedOut = false;
        const oracle::Outcome observed = cli::Run(line, &timedOut);
        ++modes[static_cast<int>(expected.mode)];
        std::string why;
        if (!cli::Agrees(expected, observed, timedOut, &why)) {
            if (++disagreements <= 10)
                std::printf("# disagreement: \"%s\"%s: %s\n", cli::Escaped(line).c_str(), win9x ? " (9x)" : "",
                            why.c_str());
            blockFailed = true;
        }
        if ((n + 1) % 1000 == 0 || n + 1 == count) {
            blockFailed ? ++checksFailed : ++checksPassed;
            blockFailed = false;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "# %s: %ld command lines (seed %u) in %.1f s, %ld disagreements; configure %ld, full screen %ld, "
        "preview %ld, change password %ld, refused %ld\n",
        saverVariant.name, count, seed, seconds, disagreements, modes[0], modes[1], modes[2], modes[3], modes[4]);
    std::printf("%ld passed, %ld failed\n", checksPassed, checksFailed);
    return checksFailed == 0 ? 0 : 1;
}
