// The command line built from argv, read back by the shell's own scanner: the
// arguments must arrive as given, whatever bytes the program path holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/command_line_text.h"
#include "shell/shell.h"

namespace {

// What the shell must see: the arguments joined by blanks, less the blanks and
// control bytes that it skips after the program name anyway.
std::string Expected(const std::vector<const char*>& argv) {
    std::string text;
    for (std::size_t i = 1; i < argv.size(); ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    std::size_t start = 0;
    while (start < text.size() && static_cast<unsigned char>(text[start]) <= ' ') ++start;
    return text.substr(start);
}

std::string ReadBack(const std::vector<const char*>& argv) {
    const int argc = static_cast<int>(argv.size());
    std::vector<char> text(plat::CommandLineSize(argc, argv.data()));
    EXPECT_TRUE(plat::BuildCommandLine(argc, argv.data(), text.data(), text.size()));
    return ArgumentText(text.data());
}

const char* const kPrograms[] = {
    "amber",
    "/usr/libexec/xscreensaver/amber",
    "/opt/my savers/amber",
    "/tmp/q\"x y/amber",
    "/tmp/q\"x/amber",
    "\"amber",
    "\"/tmp/a b\"/amber",
    "/tmp/tab\there/amber",
    "/tmp/new\nline/amber",
    "/tmp/\x01\x1f/amber",
    "/tmp/\xff\xfe\x80 \x9f/amber",
    "/tmp/caf\xc3\xa9/amber",
    " amber",
    "amber ",
    "",
    "\"",
    "\"\"",
};

TEST(CommandLineRoundTrip, EveryProgramPathLeavesTheArgumentsIntact) {
    const std::vector<std::vector<const char*>> argumentSets = {
        {}, {"s"}, {"/s"}, {"p", "1234"}, {"/p1234"}, {"c:77"}, {"\"s\""}, {"x\ty", "\xff"}, {"", "s"}, {"\t-s"},
    };
    for (const char* program : kPrograms) {
        for (const auto& arguments : argumentSets) {
            std::vector<const char*> argv = {program};
            argv.insert(argv.end(), arguments.begin(), arguments.end());
            EXPECT_EQ(Expected(argv), ReadBack(argv)) << "program \"" << program << "\"";
        }
    }
}

TEST(CommandLineRoundTrip, NoArgvGivesNoArguments) { EXPECT_EQ("", ReadBack({})); }

}  // namespace
