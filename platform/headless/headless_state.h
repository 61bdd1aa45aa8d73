// The headless backend's one state record and the hand-over points between its
// files (control, backend, system, libraries, GL surface).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/emulated/backend.h"
#include "platform/headless/headless.h"

namespace headless {
namespace internal {

struct ScriptEntry {
    bool byFrame;
    int frame;
    std::uint64_t ms;
    Event event;
    bool delivered;
};

struct ForeignWindow {
    plat::HWND handle;
    int width, height;
    bool alive;
};

struct State {
    Config config;
    std::uint64_t nowMs = 0;
    int frames = 0;
    bool timedOut = false;
    std::uint64_t timedOutAtMs = 0;
    bool delivering = false;  // scripted events are being delivered (no nesting)
    bool cursorHidden = false;
    bool displayAsleep = false;
    plat::POINT cursor = {0, 0};
    plat::HWND foreground = nullptr;
    std::vector<ScriptEntry> script;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<std::string> diagnostics;
    std::vector<std::string> calls;
    std::vector<ForeignWindow> foreign;
    std::vector<PostedRecord> postedToForeign;

    bool passwordSettingPresent = false;
    plat::DWORD passwordSettingValue = 0;
    bool verifyLibrary = false, verifyFunction = false;
    bool changeLibrary = false, changeFunction = false;
    std::vector<int> passwordAnswers;
    std::size_t nextAnswer = 0;
    int passwordQuestions = 0;
    std::vector<ChangePasswordRecord> changePasswordCalls;
    int passwordLibraryRefs = 0;
    int changeLibraryRefs = 0;
    int openDesktopKeys = 0;
    bool screenSaverRunning = false;
    int acLineStatus = -1;

    bool imeLoaded = false, imeFunction = false;
    plat::HIMC imeInitialContext = nullptr;
    std::vector<std::pair<plat::HWND, plat::HIMC>> imeContexts;  // windows whose association changed

    void (*frameHook)(int frame, void* context) = nullptr;
    void* frameContext = nullptr;
};

extern State state;

void Log(const std::string& line);
// Posts the safety net's quit once virtual time or the frame count ran out.
void CheckSafetyNet();
// SwapBuffers of a window: counts the frame, runs the frame hook, checks the net.
void PresentFrame();
// The window behind a DC that has its pixel format set, or null.
plat::emu::Window* SurfaceWindow(plat::HDC dc);
// Releases every GL context and surface (gl_surface_*.cpp).
void ResetSurface();
// Destroys emulated windows whose parent is `foreign` (backend.cpp).
void DestroyChildrenOf(plat::HWND foreign);

}  // namespace internal
}  // namespace headless
