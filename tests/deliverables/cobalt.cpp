// cobalt: the older shell, no overlay and additive blending from the start, a
// small demo without a menu that ends on any key or button.
#include "tests/deliverables/expected.h"

const ExpectedDeliverable expected = {
    "cobalt",
    ExpectedEffect::CobaltBurst,
    /*initialisesCommonControls=*/false,
    /*configureParentAfterColon=*/false,
    /*spansVirtualScreen=*/false,
    /*closesOnPowerEvents=*/false,
    /*closesOnAutoPlay=*/false,
    /*passwordKeyOpener=*/"RegOpenKeyA",
    ExpectedOverlay::None,
    /*fadeAlpha=*/63,
    /*additiveBlendBeforeSetup=*/true,
    /*demoCaption=*/"Cobalt SS - By Tam Corvel",
    /*demoHalfScreen=*/false,
    ExpectedMenu::None,
    ExpectedCommands::None,
    /*demoCloseStopsHost=*/true,
    /*demoDestroyStopsHost=*/true,
    /*demoEndsOnInput=*/true,
    /*demoServesTheThread=*/false,
};
