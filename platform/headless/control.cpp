// The control API of the headless platform: reset, script, records and foreign
// windows, as tests and the renderer drive them.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/emulated/controls.h"
#include "platform/headless/headless_state.h"

namespace headless {
namespace internal {

State state;

namespace {

constexpr std::uint64_t kQuitGraceMs = 60000;
constexpr std::uintptr_t kForeignBase = 0x00100000u;  // foreign handles look like X window ids

void ObserveCall(const char* line) { Log(line); }

// Keeps entries of one kind ordered by their point; at the same point, in the order
// they were added.
void AddEntry(const ScriptEntry& entry) {
    auto later = std::find_if(state.script.begin(), state.script.end(), [&](const ScriptEntry& e) {
        return e.byFrame == entry.byFrame && (entry.byFrame ? e.frame > entry.frame : e.ms > entry.ms);
    });
    state.script.insert(later, entry);
}

}  // namespace

void Log(const std::string& line) { state.calls.push_back(line); }

void CheckSafetyNet() {
    if (state.timedOut) {
        // A loop that outlives the quit by a virtual minute would otherwise wait forever.
        if (state.nowMs - state.timedOutAtMs < kQuitGraceMs) return;
        std::fprintf(stderr, "headless: the message loop ignored the safety net's quit; aborting\n");
        std::abort();
    }
    if (state.nowMs < state.config.maxVirtualMs && state.frames < state.config.maxFrames) return;
    state.timedOut = true;
    state.timedOutAtMs = state.nowMs;
    plat::PostQuitMessage(0);
}

void PresentFrame() {
    ++state.frames;
    if (state.frameHook != nullptr) state.frameHook(state.frames, state.frameContext);
    CheckSafetyNet();
}

}  // namespace internal

using internal::state;

void Reset(const Config& config) {
    plat::emu::ResetWindowSystem();
    plat::emu::SetCallObserver(internal::ObserveCall);
    plat::emu::SetTimersFail(config.failSetTimer);
    internal::ResetSurface();
    state = internal::State();
    state.config = config;
    state.cursor = config.cursor;
    state.acLineStatus = config.acLineStatus;
}

void AtFrame(int frame, const Event& event) { internal::AddEntry({true, frame, 0, event, false}); }

void AtMs(std::uint64_t ms, const Event& event) { internal::AddEntry({false, 0, ms, event, false}); }

int FramesPresented() { return state.frames; }
std::uint64_t NowMs() { return state.nowMs; }
bool TimedOut() { return state.timedOut; }
bool CursorHidden() { return state.cursorHidden; }

bool DisplayAsleep() { return state.displayAsleep; }
plat::POINT CursorPos() { return state.cursor; }

const std::vector<MessageBoxRecord>& MessageBoxes() { return state.messageBoxes; }
const std::vector<std::string>& Diagnostics() { return state.diagnostics; }

const std::vector<std::string>& CallLog() { return state.calls; }

int CountCalls(const std::string& prefix) {
    return static_cast<int>(std::count_if(state.calls.begin(), state.calls.end(), [&](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    }));
}

std::vector<WindowInfo> Windows() {
    std::vector<WindowInfo> list;
    plat::emu::ForEachWindow(
        [](plat::emu::Window& w, void* context) {
            static_cast<std::vector<WindowInfo>*>(context)->push_back({w.handle, w.className, w.title, w.style,
                                                                       w.exStyle, w.parent, w.x, w.y, w.width, w.height,
                                                                       w.visible, w.menu != nullptr});
            return true;
        },
        &list);
    return list;
}

plat::HWND CreateForeignWindow(int width, int height) {
    plat::HWND handle = reinterpret_cast<plat::HWND>(internal::kForeignBase + state.foreign.size() + 1);
    state.foreign.push_back({handle, width, height, true});
    return handle;
}

void DestroyForeignWindow(plat::HWND window) {
    for (internal::ForeignWindow& f : state.foreign) {
        if (f.handle != window || !f.alive) continue;
        f.alive = false;
        if (state.foreground == window) state.foreground = nullptr;
        internal::DestroyChildrenOf(window);
        return;
    }
}

void SetForegroundForeign(plat::HWND window) { state.foreground = window; }

const std::vector<PostedRecord>& PostedToForeign() { return state.postedToForeign; }

void SetPasswordSetting(bool present, plat::DWORD value) {
    state.passwordSettingPresent = present;
    state.passwordSettingValue = value;
}

void SetPasswordProvider(bool libraryPresent, bool functionPresent) {
    state.verifyLibrary = libraryPresent;
    state.verifyFunction = functionPresent;
}

void SetChangePasswordProvider(bool libraryPresent, bool functionPresent) {
    state.changeLibrary = libraryPresent;
    state.changeFunction = functionPresent;
}

void QueuePasswordAnswers(const std::vector<int>& answers) {
    state.passwordAnswers.insert(state.passwordAnswers.end(), answers.begin(), answers.end());
}

int PasswordQuestions() { return state.passwordQuestions; }

void SetInputMethodLibrary(bool loaded, bool functionPresent, plat::HIMC context) {
    state.imeLoaded = loaded;
    state.imeFunction = functionPresent;
    state.imeInitialContext = context;
    state.imeContexts.clear();
}

const std::vector<ChangePasswordRecord>& ChangePasswordCalls() { return state.changePasswordCalls; }

void SetFrameHook(void (*hook)(int frame, void* context), void* context) {
    state.frameHook = hook;
    state.frameContext = context;
}

}  // namespace headless
