#include "tests/platform/test_window.h"

std::vector<SeenMessage> seen;
plat::LRESULT createResult = 0;

plat::LRESULT SAVER_CALLBACK RecordingProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                           plat::LPARAM lParam) {
    seen.push_back({window, message, wParam, lParam});
    if (message == plat::WM_CREATE) return createResult;
    return plat::DefWindowProcA(window, message, wParam, lParam);
}

void StartFresh(const headless::Config& config) {
    headless::Reset(config);
    seen.clear();
    createResult = 0;
    plat::WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "Test";
    plat::RegisterClassA(&wc);
}

plat::HWND MakeWindow(const char* title, plat::DWORD style, plat::HWND parent, int width, int height) {
    return plat::CreateWindowExA(0, "Test", title, style, 0, 0, width, height, parent, nullptr, nullptr, nullptr);
}

int CountSeen(plat::UINT message, plat::HWND window) {
    int count = 0;
    for (const SeenMessage& m : seen)
        if (m.message == message && (window == nullptr || m.window == window)) ++count;
    return count;
}

std::vector<plat::MSG> TakePosted() {
    std::vector<plat::MSG> taken;
    plat::MSG msg;
    while (plat::PeekMessageA(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
        if (msg.message == plat::WM_PAINT) {
            plat::PAINTSTRUCT paint;
            plat::BeginPaint(msg.hwnd, &paint);
            plat::EndPaint(msg.hwnd, &paint);
        } else if (msg.message != plat::WM_TIMER) {
            taken.push_back(msg);
        }
    }
    return taken;
}

plat::LPARAM PointParam(int x, int y) {
    return static_cast<plat::LPARAM>((static_cast<plat::DWORD>(y & 0xFFFF) << 16) |
                                     static_cast<plat::DWORD>(x & 0xFFFF));
}
