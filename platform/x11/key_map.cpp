// Key symbols to virtual keys: letters and digits map to their upper-case ASCII
// codes, as on Win32; the rest by table.
#include "platform/x11/key_map.h"

#include <X11/keysym.h>

namespace plat {

namespace {

struct KeyPair {
    unsigned long keysym;
    WPARAM virtualKey;
};

constexpr KeyPair kKeys[] = {
    {XK_BackSpace, 0x08},   {XK_Tab, 0x09},        {XK_Return, 0x0D},       {XK_KP_Enter, 0x0D},
    {XK_Shift_L, 0x10},     {XK_Shift_R, 0x10},    {XK_Control_L, 0x11},    {XK_Control_R, 0x11},
    {XK_Alt_L, 0x12},       {XK_Alt_R, 0x12},      {XK_Pause, 0x13},        {XK_Caps_Lock, 0x14},
    {XK_Escape, 0x1B},      {XK_space, 0x20},      {XK_Prior, 0x21},        {XK_Next, 0x22},
    {XK_End, 0x23},         {XK_Home, 0x24},       {XK_Left, 0x25},         {XK_Up, 0x26},
    {XK_Right, 0x27},       {XK_Down, 0x28},       {XK_Print, 0x2C},        {XK_Insert, 0x2D},
    {XK_Delete, 0x2E},      {XK_Super_L, 0x5B},    {XK_Super_R, 0x5C},      {XK_Menu, 0x5D},
    {XK_KP_0, 0x60},        {XK_KP_1, 0x61},       {XK_KP_2, 0x62},         {XK_KP_3, 0x63},
    {XK_KP_4, 0x64},        {XK_KP_5, 0x65},       {XK_KP_6, 0x66},         {XK_KP_7, 0x67},
    {XK_KP_8, 0x68},        {XK_KP_9, 0x69},       {XK_KP_Multiply, 0x6A},  {XK_KP_Add, 0x6B},
    {XK_KP_Subtract, 0x6D}, {XK_KP_Decimal, 0x6E}, {XK_KP_Divide, 0x6F},    {XK_Num_Lock, 0x90},
    {XK_Scroll_Lock, 0x91}, {XK_semicolon, 0xBA},  {XK_equal, 0xBB},        {XK_comma, 0xBC},
    {XK_minus, 0xBD},       {XK_period, 0xBE},     {XK_slash, 0xBF},        {XK_grave, 0xC0},
    {XK_bracketleft, 0xDB}, {XK_backslash, 0xDC},  {XK_bracketright, 0xDD}, {XK_apostrophe, 0xDE},
};

}  // namespace

WPARAM VirtualKeyFromKeysym(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return keysym - XK_a + 'A';
    if (keysym >= XK_A && keysym <= XK_Z) return keysym - XK_A + 'A';
    if (keysym >= XK_0 && keysym <= XK_9) return keysym - XK_0 + '0';
    if (keysym >= XK_F1 && keysym <= XK_F24) return keysym - XK_F1 + 0x70;
    for (const KeyPair& pair : kKeys) {
        if (pair.keysym == keysym) return pair.virtualKey;
    }
    return 0;
}

bool IsSystemKey(unsigned long keysym) { return keysym == XK_Alt_L || keysym == XK_Alt_R || keysym == XK_F10; }

}  // namespace plat
