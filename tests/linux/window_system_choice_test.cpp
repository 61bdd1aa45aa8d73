#include "platform/linux/window_system_choice.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using plat::EntryAction;
using plat::EntryOptions;
using plat::WindowSystemKind;

EntryOptions Read(std::vector<const char*> args, const char* environmentWindow = nullptr) {
    args.insert(args.begin(), "amber");
    EntryOptions options;
    plat::ReadEntryOptions(static_cast<int>(args.size()), args.data(), environmentWindow, &options);
    return options;
}

char Letter(std::vector<const char*> args) {
    args.insert(args.begin(), "amber");
    return plat::ModeLetter(static_cast<int>(args.size()), args.data());
}

// The shell skips the command line's control characters only before the
// arguments start, then blanks, dashes and slashes.
TEST(ModeLetter, IsTheLetterTheShellActsOn) {
    EXPECT_EQ('s', Letter({"s"}));
    EXPECT_EQ('s', Letter({"/S"}));
    EXPECT_EQ('s', Letter({"-", "/", "-s"}));
    EXPECT_EQ('s', Letter({"\t s"}));
    EXPECT_EQ('\t', Letter({"- \ts"}));
    EXPECT_EQ('p', Letter({"p", "123"}));
    EXPECT_EQ('x', Letter({"xs"}));
    EXPECT_EQ(0, Letter({}));
    EXPECT_EQ(0, Letter({" ", "--"}));
}

WindowSystemKind Kind(std::vector<const char*> args, const char* waylandDisplay, const char* window = nullptr) {
    const EntryOptions options = Read(args, window);
    EXPECT_NE(EntryAction::Error, options.action) << options.error;
    const plat::WindowSystemChoice choice = plat::ChooseWindowSystem(options, waylandDisplay);
    EXPECT_FALSE(choice.refused);
    return choice.kind;
}

TEST(ChooseWindowSystem, TheSaverRunsOnAWaylandSessionAndEveryOtherModeOnX11) {
    EXPECT_EQ(WindowSystemKind::Wayland, Kind({"s"}, "wayland-0"));
    EXPECT_EQ(WindowSystemKind::Wayland, Kind({"/S"}, "/run/user/1000/wayland-1"));
    EXPECT_EQ(WindowSystemKind::X11, Kind({"s"}, nullptr));
    EXPECT_EQ(WindowSystemKind::X11, Kind({"s"}, ""));
    for (const char* mode : {"c", "p", "l", "a", "x"}) EXPECT_EQ(WindowSystemKind::X11, Kind({mode}, "wayland-0"));
    EXPECT_EQ(WindowSystemKind::X11, Kind({}, "wayland-0"));
}

TEST(ChooseWindowSystem, OptionsForceOneAndDaemonModeIsX11) {
    EXPECT_EQ(WindowSystemKind::X11, Kind({"--x11", "s"}, "wayland-0"));
    EXPECT_EQ(WindowSystemKind::Wayland, Kind({"s", "-wayland"}, nullptr));
    EXPECT_EQ(WindowSystemKind::X11, Kind({"--root"}, "wayland-0"));
    EXPECT_EQ(WindowSystemKind::X11, Kind({}, "wayland-0", "0x600008"));

    const EntryOptions demo = Read({"--wayland", "c"});
    EXPECT_TRUE(plat::ChooseWindowSystem(demo, "wayland-0").refused);
    EXPECT_EQ(EntryAction::Error, Read({"--wayland", "--x11", "s"}).action);
    EXPECT_EQ(EntryAction::Error, Read({"--wayland", "--root"}).action);
    EXPECT_EQ(EntryAction::Error, Read({"--wayland"}, "0x600008").action);
}

TEST(ChooseWindowSystem, TheLockRunsOnWaylandWhateverTheEnvironmentSays) {
    EXPECT_EQ(WindowSystemKind::Wayland, Kind({"--lock"}, nullptr));
    EXPECT_EQ(WindowSystemKind::Wayland, Kind({"--lock", "-f"}, "wayland-0", "0x600008"));
    EXPECT_EQ(WindowSystemKind::Wayland, Kind({"--wayland", "--lock"}, nullptr));
    EXPECT_EQ(WindowSystemKind::LockPicture, Kind({"--lock-picture", "64x48"}, "wayland-0", "0x600008"));
}

}  // namespace
