// jade: the older shell, a black overlay, a menu with Quit whose every command
// shows its identifier.
#include "tests/deliverables/expected.h"

const ExpectedDeliverable expected = {
    "jade",
    ExpectedEffect::JadeLines,
    /*initialisesCommonControls=*/false,
    /*configureParentAfterColon=*/false,
    /*spansVirtualScreen=*/false,
    /*closesOnPowerEvents=*/false,
    /*closesOnAutoPlay=*/false,
    /*passwordKeyOpener=*/"RegOpenKeyA",
    ExpectedOverlay::UntexturedBlack,
    /*fadeAlpha=*/63,
    /*additiveBlendBeforeSetup=*/false,
    /*demoCaption=*/"Screensaver By Tam Corvel",
    /*demoHalfScreen=*/true,
    ExpectedMenu::QuitOnly,
    ExpectedCommands::ShowTheCommandId,
    /*demoCloseStopsHost=*/true,
    /*demoDestroyStopsHost=*/true,
    /*demoEndsOnInput=*/false,
    /*demoServesTheThread=*/false,
};
