#include "platform/x11/monitor_layout.h"

namespace plat {

MonitorLayout LayoutOfMonitors(const MonitorRect* monitors, int count, int rootWidth, int rootHeight) {
    const MonitorRect* primary = nullptr;
    long left = 0, top = 0, right = 0, bottom = 0;
    for (int i = 0; i < count; ++i) {
        const MonitorRect& m = monitors[i];
        if (m.width <= 0 || m.height <= 0) continue;
        if (primary == nullptr) {
            left = m.x;
            top = m.y;
            right = static_cast<long>(m.x) + m.width;
            bottom = static_cast<long>(m.y) + m.height;
        } else {
            if (m.x < left) left = m.x;
            if (m.y < top) top = m.y;
            if (static_cast<long>(m.x) + m.width > right) right = static_cast<long>(m.x) + m.width;
            if (static_cast<long>(m.y) + m.height > bottom) bottom = static_cast<long>(m.y) + m.height;
        }
        if (primary == nullptr || (m.primary && !primary->primary)) primary = &m;
    }
    if (primary == nullptr) return MonitorLayout{0, 0, rootWidth, rootHeight, 0, 0, rootWidth, rootHeight};
    MonitorLayout layout;
    layout.originX = primary->x;
    layout.originY = primary->y;
    layout.primaryWidth = primary->width;
    layout.primaryHeight = primary->height;
    layout.virtualLeft = static_cast<int>(left - primary->x);
    layout.virtualTop = static_cast<int>(top - primary->y);
    layout.virtualWidth = static_cast<int>(right - left);
    layout.virtualHeight = static_cast<int>(bottom - top);
    return layout;
}

}  // namespace plat
