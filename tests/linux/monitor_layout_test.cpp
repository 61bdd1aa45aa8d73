#include "platform/x11/monitor_layout.h"

#include <gtest/gtest.h>

namespace {

using plat::MonitorLayout;
using plat::MonitorRect;

void ExpectLayout(const MonitorLayout& layout, int originX, int originY, int width, int height, int left, int top,
                  int virtualWidth, int virtualHeight) {
    EXPECT_EQ(originX, layout.originX);
    EXPECT_EQ(originY, layout.originY);
    EXPECT_EQ(width, layout.primaryWidth);
    EXPECT_EQ(height, layout.primaryHeight);
    EXPECT_EQ(left, layout.virtualLeft);
    EXPECT_EQ(top, layout.virtualTop);
    EXPECT_EQ(virtualWidth, layout.virtualWidth);
    EXPECT_EQ(virtualHeight, layout.virtualHeight);
}

TEST(LayoutOfMonitors, WithoutMonitorsTheRootWindowIsTheScreen) {
    ExpectLayout(plat::LayoutOfMonitors(nullptr, 0, 1024, 768), 0, 0, 1024, 768, 0, 0, 1024, 768);
    const MonitorRect empty[] = {{0, 0, 0, 768, true}, {0, 0, 1024, 0, false}};
    ExpectLayout(plat::LayoutOfMonitors(empty, 2, 800, 600), 0, 0, 800, 600, 0, 0, 800, 600);
}

TEST(LayoutOfMonitors, ThePrimaryMonitorIsTheScreenAndItsCornerTheOrigin) {
    // Left 1024 x 768, primary 1280 x 1024 to its right, a third below-left.
    const MonitorRect monitors[] = {
        {0, 0, 1024, 768, false}, {1024, 0, 1280, 1024, true}, {-800, 900, 800, 600, false}};
    ExpectLayout(plat::LayoutOfMonitors(monitors, 3, 2304, 1500), 1024, 0, 1280, 1024, -1824, 0, 3104, 1500);
}

TEST(LayoutOfMonitors, WithoutAPrimaryTheFirstMonitorCounts) {
    const MonitorRect monitors[] = {{1920, 100, 1024, 768, false}, {0, 0, 1920, 1080, false}};
    ExpectLayout(plat::LayoutOfMonitors(monitors, 2, 2944, 1080), 1920, 100, 1024, 768, -1920, -100, 2944, 1080);
}

TEST(LayoutOfMonitors, TheFirstOfSeveralPrimariesAndOverlapsCountOnce) {
    const MonitorRect monitors[] = {{0, 0, 2048, 768, false}, {1024, 0, 1024, 768, true}, {0, 0, 1024, 768, true}};
    ExpectLayout(plat::LayoutOfMonitors(monitors, 3, 2048, 768), 1024, 0, 1024, 768, -1024, 0, 2048, 768);
}

}  // namespace
