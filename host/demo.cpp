// The windowed demo: the effect in an ordinary resizable window, rendering
// whenever the message queue is empty, ended as each deliverable specifies.
#include <cstdio>

#include "host/host.h"
#include "savers/saver_variant.h"

using namespace plat;

DemoState demo;

namespace {

const char kDemoClass[] = "OpenGL";
constexpr UINT kDemoClassStyle = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;  // 35
constexpr int kSmallDemoSize = 100;

void BuildMenu(HWND window) {
    demo.menuBar = CreateMenu();
    demo.fileMenu = CreatePopupMenu();
    demo.optionsMenu = CreatePopupMenu();
    demo.aboutMenu = CreatePopupMenu();
    InsertMenuA(demo.menuBar, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(demo.fileMenu), "File");
    InsertMenuA(demo.menuBar, 2, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(demo.optionsMenu), "Options");
    InsertMenuA(demo.menuBar, 3, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(demo.aboutMenu), "About");
    AppendMenuA(demo.fileMenu, MF_STRING, kQuitCommand, "Quit");
    if (saverVariant.demoMenu == DemoMenu::FileOptionsDotAbout)
        AppendMenuA(demo.optionsMenu, MF_STRING, kDotCommand, "Dot");
    SetMenu(window, demo.menuBar);
    DrawMenuBar(window);
}

// Runs until the close message sets demoClosed or the quit message arrives; the
// result is the word parameter of the last message taken.
int RunLoopUntilClosed() {
    MSG msg = {};
    while (!demo.demoClosed) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            RenderFrame();
        }
    }
    return static_cast<int>(msg.wParam);
}

int RunLoopUntilQuit(HWND window) {
    MSG msg = {};
    for (;;) {
        while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        RenderFrame();
    }
}

void StopAndQuit(HWND window) {
    StopGL(window);
    PostQuitMessage(0);
}

void ShowCommandId(WPARAM wParam) {
    char text[32];
    std::snprintf(text, sizeof text, " wID: %d", static_cast<int>(LOWORD(wParam)));
    MessageBoxA(nullptr, text, "", MB_OK);
}

// The rows that differ per deliverable; true when the message was handled.
bool HandleVariantMessage(HWND window, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_CLOSE:
            if (saverVariant.demoClose == DemoClose::SetClosedFlag)
                demo.demoClosed = 1;
            else
                StopAndQuit(window);
            return true;
        case WM_DESTROY:
            if (!saverVariant.demoDestroyStopsHost) return false;
            StopAndQuit(window);
            return true;
        case WM_COMMAND:
            if (saverVariant.demoCommand == DemoCommand::None || HIWORD(wParam) != 0) return false;
            if (saverVariant.demoCommand == DemoCommand::ShowCommandId)
                ShowCommandId(wParam);
            else if (LOWORD(wParam) == kQuitCommand)
                PostQuitMessage(0);
            return true;
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (!saverVariant.demoEndsOnInput) return false;
            StopAndQuit(window);
            return true;
        default:
            return false;
    }
}

}  // namespace

int PrepareConfigure(HINSTANCE instance) {
    host.demoMode = 1;
    demo.demoClosed = 0;

    WNDCLASSA windowClass = {};
    windowClass.style = kDemoClassStyle;
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = kDemoClass;
    RegisterClassA(&windowClass);

    if (saverVariant.demoPlacement == DemoPlacement::SmallAtOrigin) {
        host.demoWidth = host.demoHeight = kSmallDemoSize;
        demo.demoX = demo.demoY = 0;
    } else {
        host.demoWidth = GetSystemMetrics(SM_CXSCREEN) / 2;
        host.demoHeight = GetSystemMetrics(SM_CYSCREEN) / 2;
        demo.demoX = host.demoWidth / 2;
        demo.demoY = host.demoHeight / 2;
    }

    demo.demoWindow = CreateWindowExA(0, kDemoClass, saverVariant.demoCaption,
                                      WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, demo.demoX, demo.demoY,
                                      host.demoWidth, host.demoHeight, nullptr, nullptr, instance, nullptr);
    // Without a window nothing could ever end the loop.
    if (demo.demoWindow == nullptr) return 0;

    host.deviceContext = GetDC(demo.demoWindow);
    if (saverVariant.demoMenu != DemoMenu::None) BuildMenu(demo.demoWindow);
    ShowWindow(demo.demoWindow, SW_SHOW);

    if (saverVariant.demoLoop == DemoLoop::ThreadUntilClosed) return RunLoopUntilClosed();
    return RunLoopUntilQuit(demo.demoWindow);
}

LRESULT SAVER_CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            if (!StartGL(window)) PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            ResizeView(LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
            PostMessageA(window, WM_PAINT, 0, 0);
            return 0;
        case WM_PAINT:
            ValidateWithoutDrawing(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            if (HandleVariantMessage(window, message, wParam)) return 0;
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
