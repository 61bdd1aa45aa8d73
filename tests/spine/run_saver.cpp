#include "tests/spine/run_saver.h"

#include "platform/headless/recording_gl.h"
#include "shell/shell.h"

headless::Config FreshConfig() {
    headless::Config config;
    config.maxFrames = 5000;
    config.maxVirtualMs = 120000;
    return config;
}

namespace {

std::vector<headless::WindowInfo> seenWindows;
std::function<void(int)> frameHook;

void AfterFrame(int frame, void*) {
    seenWindows = headless::Windows();
    if (frameHook) frameHook(frame);
}

}  // namespace

void Prepare(const headless::Config& config) {
    headless::Reset(config);
    recgl::Reset();
    probe = ProbeEffect();
    seenWindows.clear();
    frameHook = nullptr;
    headless::SetFrameHook(AfterFrame, nullptr);
}

void OnFrame(std::function<void(int frame)> hook) { frameHook = std::move(hook); }

int RunSaver(const char* args) {
    return SaverMain(plat::GetModuleHandleA(nullptr), nullptr, args, plat::SW_SHOWDEFAULT);
}

headless::WindowInfo FindWindowInfo(const std::string& className) {
    headless::WindowInfo found = {};
    for (const headless::WindowInfo& w : seenWindows)
        if (w.className == className) found = w;
    for (const headless::WindowInfo& w : headless::Windows())
        if (w.className == className) found = w;
    return found;
}

bool HasWindowOfClass(const std::string& className) { return FindWindowInfo(className).handle != nullptr; }

headless::Event Key(int vk) {
    headless::Event e;
    e.input = headless::Input::KeyDown;
    e.a = vk;
    return e;
}

headless::Event MoveBy(int dx, int dy) {
    headless::Event e;
    e.input = headless::Input::MoveCursorBy;
    e.a = dx;
    e.b = dy;
    return e;
}

headless::Event Simple(headless::Input input, std::intptr_t a) {
    headless::Event e;
    e.input = input;
    e.a = a;
    return e;
}

headless::Event Msg(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    headless::Event e;
    e.input = headless::Input::Message;
    e.a = message;
    e.b = static_cast<std::intptr_t>(wParam);
    e.c = lParam;
    return e;
}

std::string HandleText(plat::HWND window) {
    return std::to_string(static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(window)));
}
