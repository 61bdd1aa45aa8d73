// The build-time settings that tell the four deliverables apart. Each program
// defines `saverVariant` once, in savers/<name>/variant.cpp; nothing changes it.
#pragma once

#include <cstdint>

enum class FadeStyle : std::uint8_t {
    None,      // no overlay: colour and depth are cleared every frame
    Textured,  // white, modulated by the bound 2D texture
    Black,     // black, untextured
};

enum class DemoStyle : std::uint8_t {
    Amber,   // half screen, centred, File/Options(Dot)/About; close sets demoClosed
    Cobalt,  // 100 x 100 at (0, 0), no menu; close, keys and buttons end it
    Jade,    // half screen, File/Options/About; commands show " wID: %d"
    Opal,    // half screen, as amber's menu; close stops the host, Quit ends
};

struct SaverVariant {
    const char* name;
    bool newerShell;  // common controls, "c:handle", virtual screen, power and
                      // AutoPlay rules, RegOpenKeyExA
    std::uint8_t fadeEnabled;
    std::uint8_t fadeAlpha;
    FadeStyle fadeStyle;
    bool additiveBlendBeforeSetup;
    const char* demoCaption;
    DemoStyle demoStyle;
};

extern const SaverVariant saverVariant;
