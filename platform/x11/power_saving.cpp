// The monitor's power state from the X server's display power management
// (DPMS): while the monitor is in standby, suspend or off, the emulated layer
// holds the timers (window_visibility.cpp), so a saver stops drawing and its
// loop sleeps. The server is asked at most twice a second; a server without
// DPMS never sleeps.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include "platform/emulated/backend.h"
#include "platform/x11/state.h"

namespace plat {

namespace {

constexpr DWORD kRecheckMs = 500;

struct PowerState {
    bool probed;
    bool available;  // the server has DPMS and can drive the monitor
    bool asleep;
    DWORD checkedAtMs;
};

PowerState power;

bool ReadAsleep() {
    CARD16 level = DPMSModeOn;
    ::BOOL enabled = False;
    if (!DPMSInfo(x11.display, &level, &enabled)) return false;
    return enabled && level != DPMSModeOn;
}

}  // namespace

bool MonitorAsleep() {
    if (!x11.display) return false;
    if (!power.probed) {
        power.probed = true;
        int eventBase = 0, errorBase = 0;
        power.available = DPMSQueryExtension(x11.display, &eventBase, &errorBase) && DPMSCapable(x11.display);
        power.checkedAtMs = emu::BackendTickMs() - kRecheckMs;
    }
    if (!power.available) return false;
    const DWORD now = emu::BackendTickMs();
    if (now - power.checkedAtMs >= kRecheckMs) {
        power.checkedAtMs = now;
        power.asleep = ReadAsleep();
    }
    return power.asleep;
}

}  // namespace plat
