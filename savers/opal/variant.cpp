#include "savers/saver_variant.h"

namespace {

constexpr SaverVariant Opal() {
    SaverVariant v{};
    v.name = "opal";
    v.initCommonControls = false;
    v.configureParentSwitch = false;
    v.spanVirtualScreen = false;
    v.closeOnPowerEvents = false;
    v.closeOnAutoPlay = false;
    v.passwordKeyEx = false;
    v.fadeEnabled = 1;
    v.fadeAlpha = 63;
    v.fadeStyle = FadeStyle::Textured;
    v.additiveBlendBeforeSetup = false;
    v.demoCaption = "Screensaver By Tam Corvel";
    v.demoPlacement = DemoPlacement::HalfScreenCentred;
    v.demoMenu = DemoMenu::FileOptionsDotAbout;
    v.demoLoop = DemoLoop::WindowUntilQuit;
    v.demoClose = DemoClose::StopHostAndQuit;
    v.demoDestroyStopsHost = true;
    v.demoCommand = DemoCommand::QuitEndsLoop;
    v.demoEndsOnInput = false;
    return v;
}

}  // namespace

const SaverVariant saverVariant = Opal();
