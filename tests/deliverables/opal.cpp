// opal: amber's picture and menu with the older shell; closing the demo stops
// the host, Quit does not.
#include "tests/deliverables/expected.h"

const ExpectedDeliverable expected = {
    "opal",
    ExpectedEffect::AmberRibbons,
    /*initialisesCommonControls=*/false,
    /*configureParentAfterColon=*/false,
    /*spansVirtualScreen=*/false,
    /*closesOnPowerEvents=*/false,
    /*closesOnAutoPlay=*/false,
    /*passwordKeyOpener=*/"RegOpenKeyA",
    ExpectedOverlay::TexturedWhite,
    /*fadeAlpha=*/63,
    /*additiveBlendBeforeSetup=*/false,
    /*demoCaption=*/"Screensaver By Tam Corvel",
    /*demoHalfScreen=*/true,
    ExpectedMenu::QuitAndDot,
    ExpectedCommands::QuitEndsTheDemo,
    /*demoCloseStopsHost=*/true,
    /*demoDestroyStopsHost=*/true,
    /*demoEndsOnInput=*/false,
    /*demoServesTheThread=*/false,
};
