// System services of the headless platform: the clock, version, screen, message
// boxes, the registry value and the scripted password provider.
#include <gtest/gtest.h>

#include "tests/platform/test_window.h"

namespace {

using namespace plat;

TEST(Clock, SystemTimeAdvancesWithVirtualTimeAcrossDayAndYear) {
    headless::Config config;
    config.utc = {2026, 12, 4, 31, 23, 59, 59, 999};
    config.startTickMs = 77;
    StartFresh(config);
    SYSTEMTIME t;
    GetSystemTime(&t);
    EXPECT_EQ(t.wYear, 2026);
    EXPECT_EQ(t.wMilliseconds, 999);
    Sleep(1);
    GetSystemTime(&t);
    EXPECT_EQ(t.wYear, 2027);
    EXPECT_EQ(t.wMonth, 1);
    EXPECT_EQ(t.wDay, 1);
    EXPECT_EQ(t.wDayOfWeek, 5);  // a Friday
    EXPECT_EQ(t.wHour, 0);
    EXPECT_EQ(t.wMinute, 0);
    EXPECT_EQ(t.wSecond, 0);
    EXPECT_EQ(t.wMilliseconds, 0);
    EXPECT_EQ(GetTickCount(), 78u);
    EXPECT_EQ(timeGetTime(), 78u);
    Sleep(60 * 1000 + 2500);
    GetSystemTime(&t);
    EXPECT_EQ(t.wMinute, 1);
    EXPECT_EQ(t.wSecond, 2);
    EXPECT_EQ(t.wMilliseconds, 500);
}

TEST(Clock, LeapDayFollowsTheTwentyEighthOfFebruary) {
    headless::Config config;
    config.utc = {2028, 2, 0, 28, 23, 59, 59, 0};
    StartFresh(config);
    Sleep(1000);
    SYSTEMTIME t;
    GetSystemTime(&t);
    EXPECT_EQ(t.wMonth, 2);
    EXPECT_EQ(t.wDay, 29);
    EXPECT_EQ(t.wDayOfWeek, 2);  // 2028-02-29 is a Tuesday
}

TEST(System, VersionReportsThePlatformFamily) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    StartFresh();
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    headless::Config config;
    config.win9xFamily = true;
    StartFresh(config);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
    info.dwOSVersionInfoSize = 12;
    EXPECT_FALSE(GetVersionExA(&info));
}

TEST(System, MessageBoxesAreRecordedAndAnsweredOk) {
    StartFresh();
    EXPECT_EQ(MessageBoxA(nullptr, "Init Points Failed", "Error", MB_OK), 1);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Init Points Failed");
    EXPECT_EQ(headless::MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(headless::CountCalls("MessageBoxA"), 1);
}

TEST(System, ScreenSaverRunningFlagReportsItsPreviousValue) {
    StartFresh();
    UINT previous = 99;
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &previous, 0));
    EXPECT_EQ(previous, 0u);
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &previous, 0));
    EXPECT_EQ(previous, 1u);
    EXPECT_EQ(headless::CountCalls("SystemParametersInfoA 97 1"), 1);
    EXPECT_EQ(headless::CountCalls("SystemParametersInfoA 97 0"), 1);
}

long ReadPasswordSetting(DWORD* value) {
    HKEY key = nullptr;
    long opened = RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key);
    if (opened != ERROR_SUCCESS) return opened;
    DWORD size = sizeof *value;
    long read = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    return read;
}

TEST(Registry, ThePasswordSettingIsAbsentUnlessSet) {
    StartFresh();
    DWORD value = 0;
    EXPECT_NE(ReadPasswordSetting(&value), ERROR_SUCCESS);
    headless::SetPasswordSetting(true, 1);
    EXPECT_EQ(ReadPasswordSetting(&value), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Elsewhere", &key), ERROR_SUCCESS);
    EXPECT_EQ(key, nullptr);
}

TEST(Registry, ShortOrMissingBuffersAreRefused) {
    StartFresh();
    headless::SetPasswordSetting(true, 0x01020304);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_SUCCESS);
    BYTE small[2] = {0xAA, 0xAA};
    DWORD size = sizeof small;
    EXPECT_NE(RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, small, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(small[0], 0xAA);  // nothing written past what the caller had
    DWORD value = 0;
    EXPECT_NE(
        RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_NE(RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);  // closed
}

using VerifyFunction = BOOL(SAVER_CALLBACK*)(HWND);
using ChangeFunction = DWORD(SAVER_CALLBACK*)(const char*, HWND, DWORD, DWORD);

template <typename Function>
Function As(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

TEST(PasswordProvider, AbsentUntilScripted) {
    StartFresh();
    EXPECT_EQ(LoadLibraryA("PASSWORD.CPL"), nullptr);
    EXPECT_EQ(LoadLibraryA("MPR.DLL"), nullptr);
    EXPECT_EQ(GetModuleHandleA("IMM32.DLL"), nullptr);
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    headless::SetPasswordProvider(true, false);
    HMODULE library = LoadLibraryA("password.cpl");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(GetProcAddress(library, "VerifyScreenSavePwd"), nullptr);
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_FALSE(FreeLibrary(library));
}

TEST(PasswordProvider, VerifyAnswersInOrderAndRepeatsTheLast) {
    StartFresh();
    headless::SetPasswordProvider(true, true);
    headless::QueuePasswordAnswers({0, 1});
    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    auto verify = As<VerifyFunction>(GetProcAddress(library, "VerifyScreenSavePwd"));
    ASSERT_NE(verify, nullptr);
    HWND w = MakeWindow();
    EXPECT_EQ(verify(w), 0);
    EXPECT_EQ(verify(w), 1);
    EXPECT_EQ(verify(w), 1);
    EXPECT_EQ(headless::PasswordQuestions(), 3);
    FreeLibrary(library);
    EXPECT_EQ(GetProcAddress(library, "VerifyScreenSavePwd"), nullptr);  // unloaded
    EXPECT_EQ(headless::CountCalls("LoadLibraryA PASSWORD.CPL"), 1);
    EXPECT_EQ(headless::CountCalls("FreeLibrary"), 1);
}

TEST(PasswordProvider, ChangeIsRecordedWithProviderAndOwner) {
    StartFresh();
    headless::SetChangePasswordProvider(true, true);
    HMODULE library = LoadLibraryA("MPR.DLL");
    auto change = As<ChangeFunction>(GetProcAddress(library, "PwdChangePasswordA"));
    ASSERT_NE(change, nullptr);
    HWND owner = headless::CreateForeignWindow(10, 10);
    change("SCRSAVE", owner, 0, 0);
    ASSERT_EQ(headless::ChangePasswordCalls().size(), 1u);
    EXPECT_EQ(headless::ChangePasswordCalls()[0].provider, "SCRSAVE");
    EXPECT_EQ(headless::ChangePasswordCalls()[0].owner, owner);
}

TEST(Reset, StartsAfresh) {
    StartFresh();
    MakeWindow();
    headless::SetPasswordProvider(true, true);
    headless::AtMs(10, {headless::Input::KeyDown});
    MessageBoxA(nullptr, "x", "y", MB_OK);
    Sleep(5);
    StartFresh();
    EXPECT_TRUE(headless::Windows().empty());
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_EQ(headless::NowMs(), 0u);
    EXPECT_EQ(LoadLibraryA("PASSWORD.CPL"), nullptr);
    MakeWindow();
    Sleep(20);
    std::vector<MSG> got = TakePosted();
    EXPECT_TRUE(got.empty());  // the old script is gone
}

}  // namespace
