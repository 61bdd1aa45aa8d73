#include "platform/wayland/key_codes.h"

#include <linux/input-event-codes.h>

namespace plat {

namespace {

struct KeyPair {
    std::uint32_t code;
    WPARAM virtualKey;
};

// Rows of letters, digits and the keys around them, then the rest.
constexpr char kTopRow[] = "QWERTYUIOP";
constexpr char kMiddleRow[] = "ASDFGHJKL";
constexpr char kBottomRow[] = "ZXCVBNM";

constexpr KeyPair kKeys[] = {
    {KEY_ESC, 0x1B},        {KEY_BACKSPACE, 0x08}, {KEY_TAB, 0x09},        {KEY_ENTER, 0x0D},
    {KEY_KPENTER, 0x0D},    {KEY_LEFTCTRL, 0x11},  {KEY_RIGHTCTRL, 0x11},  {KEY_LEFTSHIFT, 0x10},
    {KEY_RIGHTSHIFT, 0x10}, {KEY_LEFTALT, 0x12},   {KEY_RIGHTALT, 0x12},   {KEY_SPACE, 0x20},
    {KEY_CAPSLOCK, 0x14},   {KEY_PAGEUP, 0x21},    {KEY_PAGEDOWN, 0x22},   {KEY_END, 0x23},
    {KEY_HOME, 0x24},       {KEY_LEFT, 0x25},      {KEY_UP, 0x26},         {KEY_RIGHT, 0x27},
    {KEY_DOWN, 0x28},       {KEY_INSERT, 0x2D},    {KEY_DELETE, 0x2E},     {KEY_LEFTMETA, 0x5B},
    {KEY_RIGHTMETA, 0x5C},  {KEY_MINUS, 0xBD},     {KEY_EQUAL, 0xBB},      {KEY_COMMA, 0xBC},
    {KEY_DOT, 0xBE},        {KEY_SLASH, 0xBF},     {KEY_SEMICOLON, 0xBA},  {KEY_APOSTROPHE, 0xDE},
    {KEY_GRAVE, 0xC0},      {KEY_LEFTBRACE, 0xDB}, {KEY_RIGHTBRACE, 0xDD}, {KEY_BACKSLASH, 0xDC},
};

WPARAM FromRow(std::uint32_t code, std::uint32_t first, const char* row) {
    for (std::uint32_t i = 0; row[i] != '\0'; ++i)
        if (code == first + i) return static_cast<WPARAM>(row[i]);
    return 0;
}

}  // namespace

WPARAM VirtualKeyFromKeyCode(std::uint32_t code) {
    if (code >= KEY_1 && code <= KEY_9) return '1' + (code - KEY_1);
    if (code == KEY_0) return '0';
    if (code >= KEY_F1 && code <= KEY_F10) return 0x70 + (code - KEY_F1);
    if (code == KEY_F11) return 0x7A;
    if (code == KEY_F12) return 0x7B;
    if (WPARAM key = FromRow(code, KEY_Q, kTopRow)) return key;
    if (WPARAM key = FromRow(code, KEY_A, kMiddleRow)) return key;
    if (WPARAM key = FromRow(code, KEY_Z, kBottomRow)) return key;
    for (const KeyPair& pair : kKeys)
        if (pair.code == code) return pair.virtualKey;
    return 0;
}

bool IsAltKeyCode(std::uint32_t code) { return code == KEY_LEFTALT || code == KEY_RIGHTALT; }

bool IsSystemKeyCode(std::uint32_t code) { return IsAltKeyCode(code) || code == KEY_F10; }

}  // namespace plat
