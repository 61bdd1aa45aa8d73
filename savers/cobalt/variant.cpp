#include "savers/saver_variant.h"

namespace {

constexpr SaverVariant Cobalt() {
    SaverVariant v{};
    v.name = "cobalt";
    v.initCommonControls = false;
    v.configureParentSwitch = false;
    v.spanVirtualScreen = false;
    v.closeOnPowerEvents = false;
    v.closeOnAutoPlay = false;
    v.passwordKeyEx = false;
    v.fadeEnabled = 0;
    v.fadeAlpha = 63;
    v.fadeStyle = FadeStyle::None;
    v.additiveBlendBeforeSetup = true;
    v.demoCaption = "Cobalt SS - By Tam Corvel";
    v.demoPlacement = DemoPlacement::SmallAtOrigin;
    v.demoMenu = DemoMenu::None;
    v.demoLoop = DemoLoop::WindowUntilQuit;
    v.demoClose = DemoClose::StopHostAndQuit;
    v.demoDestroyStopsHost = true;
    v.demoCommand = DemoCommand::None;
    v.demoEndsOnInput = true;
    return v;
}

}  // namespace

const SaverVariant saverVariant = Cobalt();
