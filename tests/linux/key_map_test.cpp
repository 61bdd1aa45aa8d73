#include "platform/x11/key_map.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace {

TEST(VirtualKeyFromKeysym, LettersAreUpperCaseAsciiInEitherCase) {
    EXPECT_EQ(static_cast<plat::WPARAM>('A'), plat::VirtualKeyFromKeysym(XK_a));
    EXPECT_EQ(static_cast<plat::WPARAM>('Z'), plat::VirtualKeyFromKeysym(XK_z));
    EXPECT_EQ(static_cast<plat::WPARAM>('Q'), plat::VirtualKeyFromKeysym(XK_Q));
}

TEST(VirtualKeyFromKeysym, DigitsAndFunctionKeys) {
    EXPECT_EQ(static_cast<plat::WPARAM>('0'), plat::VirtualKeyFromKeysym(XK_0));
    EXPECT_EQ(static_cast<plat::WPARAM>('9'), plat::VirtualKeyFromKeysym(XK_9));
    EXPECT_EQ(0x70u, plat::VirtualKeyFromKeysym(XK_F1));
    EXPECT_EQ(0x79u, plat::VirtualKeyFromKeysym(XK_F10));
    EXPECT_EQ(0x87u, plat::VirtualKeyFromKeysym(XK_F24));
}

TEST(VirtualKeyFromKeysym, NamedKeysFromTheTable) {
    EXPECT_EQ(0x1Bu, plat::VirtualKeyFromKeysym(XK_Escape));
    EXPECT_EQ(0x0Du, plat::VirtualKeyFromKeysym(XK_Return));
    EXPECT_EQ(0x0Du, plat::VirtualKeyFromKeysym(XK_KP_Enter));
    EXPECT_EQ(0x20u, plat::VirtualKeyFromKeysym(XK_space));
    EXPECT_EQ(0x25u, plat::VirtualKeyFromKeysym(XK_Left));
    EXPECT_EQ(0x28u, plat::VirtualKeyFromKeysym(XK_Down));
    EXPECT_EQ(0x10u, plat::VirtualKeyFromKeysym(XK_Shift_R));
    EXPECT_EQ(0x12u, plat::VirtualKeyFromKeysym(XK_Alt_L));
    EXPECT_EQ(0xDEu, plat::VirtualKeyFromKeysym(XK_apostrophe));
}

TEST(VirtualKeyFromKeysym, UnknownSymbolsHaveNoKey) {
    EXPECT_EQ(0u, plat::VirtualKeyFromKeysym(0));
    EXPECT_EQ(0u, plat::VirtualKeyFromKeysym(XK_Greek_alpha));
    EXPECT_EQ(0u, plat::VirtualKeyFromKeysym(XK_F1 + 24));  // past F24
}

TEST(IsSystemKey, AltAndF10Only) {
    EXPECT_TRUE(plat::IsSystemKey(XK_Alt_L));
    EXPECT_TRUE(plat::IsSystemKey(XK_Alt_R));
    EXPECT_TRUE(plat::IsSystemKey(XK_F10));
    EXPECT_FALSE(plat::IsSystemKey(XK_F9));
    EXPECT_FALSE(plat::IsSystemKey(XK_a));
    EXPECT_FALSE(plat::IsSystemKey(XK_Escape));
}

}  // namespace
