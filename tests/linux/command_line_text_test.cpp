#include "platform/linux/command_line_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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

TEST(BuildCommandLine, QuotesWhatTheUnquotedRuleWouldCutShort) {
    const char* tab[] = {"/opt/a\tb/amber", "s"};
    const char* control[] = {"/opt/a\x01b/amber", "s"};
    const char* leadingQuote[] = {"\"amber", "s"};
    char text[64];
    EXPECT_TRUE(plat::BuildCommandLine(2, tab, text, sizeof text));
    EXPECT_STREQ("\"/opt/a\tb/amber\" s", text);
    EXPECT_TRUE(plat::BuildCommandLine(2, control, text, sizeof text));
    EXPECT_STREQ("\"/opt/a\x01b/amber\" s", text);
    EXPECT_TRUE(plat::BuildCommandLine(2, leadingQuote, text, sizeof text));
    EXPECT_STREQ("saver s", text);
}

TEST(BuildCommandLine, KeepsQuotesAndHighBytesThatNeedNoQuoting) {
    const char* argv[] = {"/opt/q\"x/\xff\xfe/amber", "s"};
    char text[64];
    EXPECT_TRUE(plat::BuildCommandLine(2, argv, text, sizeof text));
    EXPECT_STREQ("/opt/q\"x/\xff\xfe/amber s", text);
}

TEST(BuildCommandLine, APathWithAQuoteAndABlankBecomesThePlaceholder) {
    const char* argv[] = {"/home/q\"x y/amber", "s"};
    char text[64];
    EXPECT_TRUE(plat::BuildCommandLine(2, argv, text, sizeof text));
    EXPECT_EQ(std::string(plat::kProgramPlaceholder) + " s", text);
}

TEST(BuildCommandLine, TheSizeItNeedsIsExact) {
    const char* argv[] = {"/my savers/amber", "p", "1234"};
    const std::size_t size = plat::CommandLineSize(3, argv);
    EXPECT_EQ(std::strlen("\"/my savers/amber\" p 1234") + 1, size);
    std::vector<char> text(size);
    EXPECT_TRUE(plat::BuildCommandLine(3, argv, text.data(), size));
    EXPECT_FALSE(plat::BuildCommandLine(3, argv, text.data(), size - 1));
    EXPECT_EQ(1u, plat::CommandLineSize(0, nullptr));
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
