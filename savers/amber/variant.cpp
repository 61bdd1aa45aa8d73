#include "savers/saver_variant.h"

namespace {

constexpr SaverVariant Amber() {
    SaverVariant v{};
    v.name = "amber";
    v.initCommonControls = true;
    v.configureParentSwitch = true;
    v.spanVirtualScreen = true;
    v.closeOnPowerEvents = true;
    v.closeOnAutoPlay = true;
    v.passwordKeyEx = true;
    v.fadeEnabled = 1;
    v.fadeAlpha = 63;
    v.fadeStyle = FadeStyle::Textured;
    v.additiveBlendBeforeSetup = false;
    v.demoCaption = "Screensaver By Tam Corvel";
    v.demoPlacement = DemoPlacement::HalfScreenCentred;
    v.demoMenu = DemoMenu::FileOptionsDotAbout;
    v.demoLoop = DemoLoop::ThreadUntilClosed;
    v.demoClose = DemoClose::SetClosedFlag;
    v.demoDestroyStopsHost = false;
    v.demoCommand = DemoCommand::QuitEndsLoop;
    v.demoEndsOnInput = false;
    return v;
}

}  // namespace

const SaverVariant saverVariant = Amber();
