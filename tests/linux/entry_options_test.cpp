#include "platform/linux/entry_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using plat::EntryAction;
using plat::EntryOptions;
using plat::WindowIdResult;

EntryOptions Read(std::vector<const char*> args, const char* environmentWindow = nullptr) {
    args.insert(args.begin(), "/usr/libexec/xscreensaver/amber");
    EntryOptions options;
    plat::ReadEntryOptions(static_cast<int>(args.size()), args.data(), environmentWindow, &options);
    return options;
}

std::vector<std::string> ShellArguments(const EntryOptions& options) {
    return std::vector<std::string>(options.shellArgv + 1, options.shellArgv + options.shellArgc);
}

TEST(ParseWindowId, ReadsDecimalAndHexOfEitherCase) {
    std::uint32_t id = 0;
    EXPECT_EQ(WindowIdResult::Ok, plat::ParseWindowId("6291464", &id));
    EXPECT_EQ(6291464u, id);
    EXPECT_EQ(WindowIdResult::Ok, plat::ParseWindowId("0x600008", &id));
    EXPECT_EQ(0x600008u, id);
    EXPECT_EQ(WindowIdResult::Ok, plat::ParseWindowId("0XaBcDeF", &id));
    EXPECT_EQ(0xABCDEFu, id);
    EXPECT_EQ(WindowIdResult::Ok, plat::ParseWindowId("4294967295", &id));
    EXPECT_EQ(0xFFFFFFFFu, id);
    EXPECT_EQ(WindowIdResult::Ok, plat::ParseWindowId("0xffffffff", &id));
    EXPECT_EQ(0xFFFFFFFFu, id);
}

TEST(ParseWindowId, RejectsWhatIsNotANumberAndLeavesTheIdAlone) {
    for (const char* text : {"", "0x", "abc", "12ab", "0x12g", "-5", "+5", " 5", "5 ", "0x-1", "1e3"}) {
        std::uint32_t id = 77;
        EXPECT_EQ(WindowIdResult::NotANumber, plat::ParseWindowId(text, &id)) << "\"" << text << "\"";
        EXPECT_EQ(77u, id) << text;
    }
    std::uint32_t id = 0;
    EXPECT_EQ(WindowIdResult::NotANumber, plat::ParseWindowId(nullptr, &id));
}

TEST(ParseWindowId, RejectsValuesBeyond32Bits) {
    std::uint32_t id = 77;
    EXPECT_EQ(WindowIdResult::Overflow, plat::ParseWindowId("4294967296", &id));
    EXPECT_EQ(WindowIdResult::Overflow, plat::ParseWindowId("0x100000000", &id));
    EXPECT_EQ(WindowIdResult::Overflow, plat::ParseWindowId("99999999999999999999999", &id));
    EXPECT_EQ(77u, id);
    // Digits past the overflow still have to be digits.
    EXPECT_EQ(WindowIdResult::NotANumber, plat::ParseWindowId("99999999999x", &id));
}

TEST(ReadEntryOptions, WindowsStyleSwitchesGoToTheShellUnchanged) {
    for (std::vector<const char*> args : std::vector<std::vector<const char*>>{
             {}, {"s"}, {"/S"}, {"-p", "1234"}, {"l", "99"}, {"c:12"}, {"--foo"}, {"x"}, {"-rootx"}}) {
        EntryOptions options = Read(args);
        EXPECT_EQ(EntryAction::Shell, options.action);
        EXPECT_EQ(std::vector<std::string>(args.begin(), args.end()), ShellArguments(options));
        EXPECT_STREQ("/usr/libexec/xscreensaver/amber", options.shellArgv[0]);
        EXPECT_FALSE(options.showFps);
    }
}

TEST(ReadEntryOptions, FpsCombinesWithEveryModeAndLeavesTheRest) {
    EntryOptions options = Read({"--fps", "s"});
    EXPECT_EQ(EntryAction::Shell, options.action);
    EXPECT_TRUE(options.showFps);
    EXPECT_EQ(std::vector<std::string>{"s"}, ShellArguments(options));

    options = Read({"p", "-fps", "42"});
    EXPECT_TRUE(options.showFps);
    EXPECT_EQ((std::vector<std::string>{"p", "42"}), ShellArguments(options));

    options = Read({"--window-id", "0x10", "--fps"});
    EXPECT_EQ(EntryAction::Daemon, options.action);
    EXPECT_TRUE(options.showFps);
}

TEST(ReadEntryOptions, RootDrawsOnTheDaemonsWindowElseOnTheRootWindow) {
    EntryOptions options = Read({"--root"});
    EXPECT_EQ(EntryAction::Daemon, options.action);
    EXPECT_TRUE(options.useRoot);

    options = Read({"-root"}, "0x600008");
    EXPECT_EQ(EntryAction::Daemon, options.action);
    EXPECT_FALSE(options.useRoot);
    EXPECT_EQ(0x600008u, options.window);
}

TEST(ReadEntryOptions, WindowIdWinsOverRootAndTheEnvironment) {
    for (std::vector<const char*> args : std::vector<std::vector<const char*>>{{"--window-id", "0x2a"},
                                                                               {"-window-id", "42"},
                                                                               {"--root", "--window-id", "42"},
                                                                               {"--window-id", "42", "--root"},
                                                                               {"--window-id=0x2A"}}) {
        EntryOptions options = Read(args, "0x600008");
        EXPECT_EQ(EntryAction::Daemon, options.action);
        EXPECT_FALSE(options.useRoot);
        EXPECT_EQ(42u, options.window);
    }
}

TEST(ReadEntryOptions, TheEnvironmentAloneSelectsDaemonModeButNoSwitchIsOverruled) {
    EntryOptions options = Read({}, "6291464");
    EXPECT_EQ(EntryAction::Daemon, options.action);
    EXPECT_EQ(6291464u, options.window);

    options = Read({"--fps"}, "0x600008");
    EXPECT_EQ(EntryAction::Daemon, options.action);
    EXPECT_EQ(0x600008u, options.window);

    options = Read({"s"}, "0x600008");
    EXPECT_EQ(EntryAction::Shell, options.action);
    EXPECT_EQ(std::vector<std::string>{"s"}, ShellArguments(options));
}

TEST(ReadEntryOptions, AnEmptyEnvironmentWindowCountsAsUnset) {
    EXPECT_EQ(EntryAction::Shell, Read({}, "").action);
    EXPECT_EQ(EntryAction::Shell, Read({"s"}, "").action);
    const EntryOptions options = Read({"--root"}, "");
    EXPECT_EQ(EntryAction::Daemon, options.action);
    EXPECT_TRUE(options.useRoot);
}

TEST(ReadEntryOptions, BadWindowIdsAndMixedModesAreOneLineErrors) {
    struct Case {
        std::vector<const char*> args;
        const char* environment;
        const char* error;
    };
    const Case cases[] = {
        {{"--window-id", "abc"}, nullptr, "amber: --window-id \"abc\" is not a window id (decimal or 0x hex)"},
        {{"--window-id", "0x1ffffffff"}, nullptr, "amber: --window-id \"0x1ffffffff\" is too large for a window id"},
        {{"--window-id"}, nullptr, "amber: --window-id needs a window id"},
        {{"--root"}, "zz", "amber: XSCREENSAVER_WINDOW \"zz\" is not a window id (decimal or 0x hex)"},
        {{"--root", "s"}, nullptr, "amber: \"s\" does not go with --root, --window-id or $XSCREENSAVER_WINDOW"},
        {{"p", "5", "--window-id", "5"},
         nullptr,
         "amber: \"p\" does not go with --root, --window-id or $XSCREENSAVER_WINDOW"},
    };
    for (const Case& c : cases) {
        EntryOptions options = Read(c.args, c.environment);
        EXPECT_EQ(EntryAction::Error, options.action) << c.error;
        EXPECT_STREQ(c.error, options.error);
        EXPECT_EQ(nullptr, std::strchr(options.error, '\n'));
    }
}

TEST(ReadEntryOptions, HelpAndVersionWinWhereverTheyStand) {
    EXPECT_EQ(EntryAction::Help, Read({"--help"}).action);
    EXPECT_EQ(EntryAction::Help, Read({"-h"}).action);
    EXPECT_EQ(EntryAction::Help, Read({"s", "-help"}).action);
    EXPECT_EQ(EntryAction::Help, Read({"--window-id", "abc", "--help"}, "zz").action);
    EXPECT_EQ(EntryAction::Version, Read({"--version"}).action);
    EXPECT_EQ(EntryAction::Version, Read({"--root", "-version"}).action);
}

TEST(ReadEntryOptions, LockTakesDaemonizeAndNothingElse) {
    const EntryOptions lock = Read({"--lock"}, "0x600008");
    EXPECT_EQ(EntryAction::Lock, lock.action);
    EXPECT_FALSE(lock.daemonize);
    EXPECT_EQ(1, lock.shellArgc);
    for (const char* daemonize : {"-f", "--daemonize", "-daemonize"}) {
        const EntryOptions options = Read({daemonize, "--lock"});
        EXPECT_EQ(EntryAction::Lock, options.action) << daemonize;
        EXPECT_TRUE(options.daemonize) << daemonize;
    }
    EXPECT_STREQ("amber: -f and --daemonize go with --lock only", Read({"-f"}).error);
    EXPECT_STREQ("amber: -f and --daemonize go with --lock only", Read({"s", "--daemonize"}).error);
    EXPECT_STREQ("amber: \"s\" does not go with --lock", Read({"--lock", "s"}).error);
    EXPECT_STREQ("amber: --lock does not go with --root or --window-id", Read({"--lock", "--window-id", "7"}).error);
    EXPECT_STREQ("amber: --lock runs on Wayland only", Read({"--x11", "--lock"}).error);
}

TEST(ReadEntryOptions, TheLocksPictureProcessTakesOneSizeAndRunsTheSaver) {
    const EntryOptions picture = Read({"--lock-picture", "1024x768"}, "0x600008");
    EXPECT_EQ(EntryAction::LockPicture, picture.action);
    EXPECT_EQ(1024, picture.pictureWidth);
    EXPECT_EQ(768, picture.pictureHeight);
    EXPECT_EQ(std::vector<std::string>{"s"}, ShellArguments(picture));
    EXPECT_EQ(16384, Read({"--lock-picture", "16384x1"}).pictureWidth);
    for (std::vector<const char*> args : std::vector<std::vector<const char*>>{{"--lock-picture"},
                                                                               {"--lock-picture", "0x5"},
                                                                               {"--lock-picture", "5x0"},
                                                                               {"--lock-picture", "16385x1"},
                                                                               {"--lock-picture", "99999999999x1"},
                                                                               {"--lock-picture", "x5"},
                                                                               {"--lock-picture", "5x"},
                                                                               {"--lock-picture", "5x5x5"},
                                                                               {"--lock-picture", "-5x5"},
                                                                               {"--lock-picture", "5x5", "c"},
                                                                               {"s", "--lock-picture", "5x5"}}) {
        const EntryOptions options = Read(args);
        EXPECT_EQ(EntryAction::Error, options.action) << args.back();
        EXPECT_STREQ("amber: --lock-picture is started by --lock only", options.error) << args.back();
    }
}

TEST(WriteUsage, NamesTheProgramTheSwitchesAndTheDaemonOptions) {
    char usage[2048];
    plat::WriteUsage(usage, sizeof usage, "/usr/libexec/xscreensaver/jade");
    const std::string text = usage;
    EXPECT_EQ(0u, text.find("Usage: jade [--x11 | --wayland] [s | p ID | l ID | c | a ID]\n"));
    for (const char* option :
         {"--root", "--window-id ID", "$XSCREENSAVER_WINDOW", "--fps", "--help", "--version", "$WAYLAND_DISPLAY"})
        EXPECT_NE(std::string::npos, text.find(option)) << option;
    EXPECT_EQ('\n', text.back());
}

}  // namespace
