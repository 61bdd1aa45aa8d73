// What each deliverable is expected to do, as that deliverable's own table
// (amber.cpp, cobalt.cpp, jade.cpp, opal.cpp), written from its rules and never
// read from savers/<name>/variant.cpp. A test program links exactly one table,
// the one of the deliverable it runs, and takes every expectation that differs
// between deliverables from it.
#pragma once

// The full-window quad drawn before the clear.
enum class ExpectedOverlay {
    None,             // no quad; colour and depth are cleared every frame
    TexturedWhite,    // colour bytes (1, 1, 1, alpha), 2D texturing on, generation off
    UntexturedBlack,  // colour bytes (0, 0, 0, alpha), 2D texturing off
};

// The picture the deliverable's effect draws.
enum class ExpectedEffect { AmberRibbons, CobaltBurst, JadeLines };

enum class ExpectedMenu {
    None,
    QuitOnly,    // File: Quit; Options and About empty
    QuitAndDot,  // File: Quit; Options: Dot; About empty
};

// What a menu command does in the demo.
enum class ExpectedCommands {
    None,              // no menu, no commands
    QuitEndsTheDemo,   // Quit ends the demo with 0 (the host is not stopped); Dot nothing
    ShowTheCommandId,  // every command shows " wID: <id>" and the demo goes on
};

struct ExpectedDeliverable {
    const char* name;
    ExpectedEffect effect;

    // Shell.
    bool initialisesCommonControls;
    bool configureParentAfterColon;  // "c:<handle>" names the dialog's parent
    bool spansVirtualScreen;         // full screen covers every monitor (clip box if 0)
    bool closesOnPowerEvents;        // power broadcasts, AC changes, monitor power
    bool closesOnAutoPlay;           // 9x family: "QueryCancelAutoPlay"
    const char* passwordKeyOpener;   // "RegOpenKeyExA" or "RegOpenKeyA"

    // GL host.
    ExpectedOverlay overlay;
    int fadeAlpha;
    bool additiveBlendBeforeSetup;  // glEnable(GL_BLEND), glBlendFunc(SRC_ALPHA, ONE)

    // Windowed demo.
    const char* demoCaption;
    bool demoHalfScreen;  // half the screen, centred; else 100 x 100 at (0, 0)
    ExpectedMenu demoMenu;
    ExpectedCommands demoCommands;
    bool demoCloseStopsHost;    // WM_CLOSE: StopGL and the quit request; else the loop just ends
    bool demoDestroyStopsHost;  // WM_DESTROY: StopGL and the quit request; else default
    bool demoEndsOnInput;       // a key or button press: StopGL and the quit request
    // The loop serves every window of the thread and ends with the word parameter
    // of the last message it took; else only the demo window's, ending with the
    // quit message's code.
    bool demoServesTheThread;
};

extern const ExpectedDeliverable expected;
