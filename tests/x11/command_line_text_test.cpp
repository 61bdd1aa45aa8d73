#include "platform/x11/command_line_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(BuildCommandLine, JoinsProgramAndArgumentsWithSingleBlanks) {
    const char* argv[] = {"/usr/bin/amber", "p", "1234"};
    char text[64];
    EXPECT_TRUE(plat::BuildCommandLine(3, argv, text, sizeof text));
    EXPECT_STREQ("/usr/bin/amber p 1234", text);
}

TEST(BuildCommandLine, QuotesAProgramNameWithABlank) {
    const char* argv[] = {"/opt/my savers/amber", "/s"};
    char text[64];
    EXPECT_TRUE(plat::BuildCommandLine(2, argv, text, sizeof text));
    EXPECT_STREQ("\"/opt/my savers/amber\" /s", text);
}

TEST(BuildCommandLine, WithoutArgumentsIsTheProgramAlone) {
    const char* argv[] = {"amber"};
    char text[16];
    EXPECT_TRUE(plat::BuildCommandLine(1, argv, text, sizeof text));
    EXPECT_STREQ("amber", text);
}

TEST(BuildCommandLine, EmptyArgumentsKeepTheirSeparator) {
    const char* argv[] = {"amber", "", "s"};
    char text[16];
    EXPECT_TRUE(plat::BuildCommandLine(3, argv, text, sizeof text));
    EXPECT_STREQ("amber  s", text);
}

TEST(BuildCommandLine, CutsTooLongTextAndSaysSo) {
    const char* argv[] = {"amber", "p", "123456789012345"};
    char text[12];
    std::memset(text, 'x', sizeof text);
    EXPECT_FALSE(plat::BuildCommandLine(3, argv, text, sizeof text));
    EXPECT_EQ(sizeof text - 1, std::strlen(text));
    EXPECT_STREQ("amber p 123", text);
}

TEST(BuildCommandLine, RefusesAnEmptyBuffer) {
    const char* argv[] = {"amber"};
    char text[1] = {'x'};
    EXPECT_FALSE(plat::BuildCommandLine(1, argv, text, 0));
    EXPECT_EQ('x', text[0]);
    EXPECT_FALSE(plat::BuildCommandLine(1, argv, text, sizeof text));
    EXPECT_EQ('\0', text[0]);
}

TEST(BuildCommandLine, NoArgvGivesEmptyText) {
    char text[8];
    EXPECT_TRUE(plat::BuildCommandLine(0, nullptr, text, sizeof text));
    EXPECT_STREQ("", text);
}

}  // namespace
