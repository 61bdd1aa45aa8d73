// amber: the newer shell, the plasma afterglow, a menu with Quit and Dot, a demo
// that only leaves its loop when closed.
#include "tests/deliverables/expected.h"

const ExpectedDeliverable expected = {
    "amber",
    ExpectedEffect::AmberRibbons,
    /*initialisesCommonControls=*/true,
    /*configureParentAfterColon=*/true,
    /*spansVirtualScreen=*/true,
    /*closesOnPowerEvents=*/true,
    /*closesOnAutoPlay=*/true,
    /*passwordKeyOpener=*/"RegOpenKeyExA",
    ExpectedOverlay::TexturedWhite,
    /*fadeAlpha=*/63,
    /*additiveBlendBeforeSetup=*/false,
    /*demoCaption=*/"Screensaver By Tam Corvel",
    /*demoHalfScreen=*/true,
    ExpectedMenu::QuitAndDot,
    ExpectedCommands::QuitEndsTheDemo,
    /*demoCloseStopsHost=*/false,
    /*demoDestroyStopsHost=*/false,
    /*demoEndsOnInput=*/false,
    /*demoServesTheThread=*/true,
};
