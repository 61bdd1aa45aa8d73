// The build-time settings that tell the four deliverables apart. Each program
// defines `saverVariant` once, in savers/<name>/variant.cpp, naming every field;
// nothing changes it. The shell, the host and the demo branch on what a setting
// says the deliverable does, never on which deliverable it is.
#pragma once

#include <cstdint>

enum class FadeStyle : std::uint8_t {
    None,      // no overlay: colour and depth are cleared every frame
    Textured,  // white, modulated by the bound 2D texture
    Black,     // black, untextured
};

enum class DemoPlacement : std::uint8_t {
    HalfScreenCentred,  // half the primary screen's width and height, centred
    SmallAtOrigin,      // 100 x 100 at (0, 0)
};

enum class DemoMenu : std::uint8_t {
    None,
    FileOptionsAbout,     // File: Quit; Options and About empty
    FileOptionsDotAbout,  // File: Quit; Options: Dot; About empty
};

// What the demo window's close message does.
enum class DemoClose : std::uint8_t {
    SetClosedFlag,    // demoClosed = 1; the loop ends on it; the host keeps running
    StopHostAndQuit,  // StopGL, then the quit request
};

// What a menu command does.
enum class DemoCommand : std::uint8_t {
    None,           // no menu: WM_COMMAND gets default processing
    QuitEndsLoop,   // Quit requests the end of the loop; other commands do nothing
    ShowCommandId,  // every command shows " wID: %d"; the demo goes on
};

enum class DemoLoop : std::uint8_t {
    ThreadUntilClosed,  // any message of the thread; ends on demoClosed or quit,
                        // with the word parameter of the last message taken
    WindowUntilQuit,    // the demo window's messages; ends on quit, with its code
};

struct SaverVariant {
    const char* name;

    // Shell.
    bool initCommonControls;     // InitCommonControlsEx before anything else
    bool configureParentSwitch;  // "c:<handle>" names the configuration parent
    bool spanVirtualScreen;      // the full-screen window covers every monitor
    bool closeOnPowerEvents;     // power events, AC changes, monitor power close it
    bool closeOnAutoPlay;        // 9x family: "QueryCancelAutoPlay" closes it
    bool passwordKeyEx;          // the password setting is read with RegOpenKeyExA

    // GL host.
    std::uint8_t fadeEnabled;  // 1: the overlay darkens the last frame
    std::uint8_t fadeAlpha;
    FadeStyle fadeStyle;
    bool additiveBlendBeforeSetup;  // blending (alpha, one) before EffectSetupGL

    // Windowed demo.
    const char* demoCaption;
    DemoPlacement demoPlacement;
    DemoMenu demoMenu;
    DemoLoop demoLoop;
    DemoClose demoClose;
    bool demoDestroyStopsHost;  // WM_DESTROY: StopGL, then the quit request
    DemoCommand demoCommand;
    bool demoEndsOnInput;  // a key or button press: StopGL, then the quit request
};

extern const SaverVariant saverVariant;
