// Which switch the Linux entry names as unknown: exactly those whose mode
// letter the shell's scan refuses, found as that scan finds it.
#include "platform/linux/unknown_switch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Unknown(std::vector<const char*> args) {
    args.insert(args.begin(), "amber");
    const char* found = plat::UnknownSwitch(static_cast<int>(args.size()), args.data());
    return found != nullptr ? found : "(none)";
}

TEST(UnknownSwitch, NamesTheArgumentWhoseLetterIsNoMode) {
    EXPECT_EQ("--bogus", Unknown({"--bogus"}));
    EXPECT_EQ("x", Unknown({"x"}));
    EXPECT_EQ("-x", Unknown({"-", "-x", "s"}));
    EXPECT_EQ("q1", Unknown({"", " ", "q1"}));
    EXPECT_EQ("1234", Unknown({"1234"}));
    // Only the blanks and control bytes right after the program name are skipped.
    EXPECT_EQ("\ts", Unknown({"-", "\ts"}));
}

TEST(UnknownSwitch, LeavesModesAndAnEmptyLineToTheShell) {
    const std::vector<std::vector<const char*>> modes = {
        {},         {""},  {"s"},       {"/S"},   {"-p", "1234"}, {"l1234"},   {"c:77"},   {"C"},
        {"a", "5"}, {"A"}, {"--", "s"}, {"/-/c"}, {"\t-s"},       {"\n", "p"}, {" ", "l"}, {"-", "", "/"},
    };
    for (const auto& args : modes) EXPECT_EQ("(none)", Unknown(args)) << (args.empty() ? "" : args[0]);
}

TEST(UnknownSwitch, WritesOneLine) {
    char line[80];
    plat::WriteUnknownSwitchLine(line, sizeof line, "amber", "--bogus");
    EXPECT_STREQ("amber: unknown option '--bogus'; see amber --help", line);
    plat::WriteUnknownSwitchLine(line, sizeof line, "jade", "x\ny\tz");
    EXPECT_STREQ("jade: unknown option 'x?y?z'; see jade --help", line);
    plat::WriteUnknownSwitchLine(line, 12, "opal", "--bogus");
    EXPECT_STREQ("opal: unkno", line);
}

}  // namespace
