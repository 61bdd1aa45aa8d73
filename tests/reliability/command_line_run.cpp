#include "tests/reliability/command_line_run.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "shell/shell.h"
#include "tests/deliverables/expected.h"
#include "tests/spine/probe_effect.h"

namespace cli {

namespace {

std::vector<headless::WindowInfo> seen;

void RememberWindows(int, void*) {
    for (const headless::WindowInfo& window : headless::Windows()) seen.push_back(window);
}

std::uint32_t Number(plat::HWND window) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)); }

oracle::World world;

}  // namespace

oracle::World PrepareWorld(bool win9xFamily) {
    headless::Config config;
    config.win9xFamily = win9xFamily;
    config.maxFrames = 40;
    config.maxVirtualMs = 60000;
    headless::Reset(config);
    recgl::Reset(1024);
    recgl::SetRecording(false);
    probe = ProbeEffect();
    seen.clear();
    headless::SetFrameHook(RememberWindows, nullptr);

    const plat::HWND first = headless::CreateForeignWindow(160, 120);
    const plat::HWND second = headless::CreateForeignWindow(200, 150);
    const plat::HWND gone = headless::CreateForeignWindow(100, 100);
    headless::DestroyForeignWindow(gone);
    headless::SetForegroundForeign(second);
    headless::SetChangePasswordProvider(true, true);
    headless::Event close;
    close.input = headless::Input::CloseButton;
    headless::AtFrame(2, close);

    world.win9xFamily = win9xFamily;
    world.configureParentSwitch = expected.configureParentAfterColon;
    world.windows = {Number(first), Number(second)};
    world.foreground = Number(second);
    return world;
}

oracle::Outcome Run(const std::string& commandLine, bool* timedOut) {
    const char* args = ArgumentText(commandLine.c_str());
    oracle::Outcome outcome = {oracle::Mode::Refused, 0, 0};
    outcome.exitCode = SaverMain(plat::GetModuleHandleA(nullptr), nullptr, args, plat::SW_SHOWDEFAULT);
    RememberWindows(0, nullptr);
    *timedOut = headless::TimedOut();

    for (const headless::WindowInfo& window : seen) {
        if (window.className == "OpenGL") {
            outcome.mode = oracle::Mode::Configure;
            outcome.window = world.foreground;  // the parent is not observable: no dialog opens
        } else if (window.className == "WindowsScreenSaverClass" && window.title == "Screen Saver") {
            outcome.mode = oracle::Mode::FullScreen;
        } else if (window.className == "WindowsScreenSaverClass" && window.title == "Preview") {
            outcome.mode = oracle::Mode::Preview;
            outcome.window = Number(window.parent);
        }
    }
    const auto& changes = headless::ChangePasswordCalls();
    if (!changes.empty()) {
        outcome.mode = oracle::Mode::ChangePassword;
        outcome.window = Number(changes.back().owner);
    }
    return outcome;
}

bool Agrees(const oracle::Outcome& expected, const oracle::Outcome& observed, bool timedOut, std::string* why) {
    char text[256];
    const bool windowMatters = expected.mode == oracle::Mode::Preview || expected.mode == oracle::Mode::ChangePassword;
    if (!timedOut && expected.mode == observed.mode && expected.exitCode == observed.exitCode &&
        (!windowMatters || expected.window == observed.window)) {
        return true;
    }
    std::snprintf(text, sizeof text, "expected %s, exit %d, window %u; saw %s, exit %d, window %u%s",
                  oracle::ModeName(expected.mode), expected.exitCode, expected.window, oracle::ModeName(observed.mode),
                  observed.exitCode, observed.window, timedOut ? ", timed out" : "");
    *why = text;
    return false;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace cli
