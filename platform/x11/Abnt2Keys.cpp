#include "platform/x11/Abnt2Keys.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <cstring>
#include <string>

namespace zel {

namespace {

constexpr TVkKey kVkKeys[] = {
    {0x08, "BKSP"}, {0x09, "TAB"},  {0x0D, "RTRN"}, {0x10, "LFSH"}, {0x11, "LCTL"}, {0x12, "LALT"},
    {0x13, "PAUS"}, {0x14, "CAPS"}, {0x1B, "ESC"},  {0x20, "SPCE"}, {0x21, "PGUP"}, {0x22, "PGDN"},
    {0x23, "END"},  {0x24, "HOME"}, {0x25, "LEFT"}, {0x26, "UP"},   {0x27, "RGHT"}, {0x28, "DOWN"},
    {0x2C, "PRSC"}, {0x2D, "INS"},  {0x2E, "DELE"},
    {0x30, "AE10"}, {0x31, "AE01"}, {0x32, "AE02"}, {0x33, "AE03"}, {0x34, "AE04"}, {0x35, "AE05"},
    {0x36, "AE06"}, {0x37, "AE07"}, {0x38, "AE08"}, {0x39, "AE09"},
    {0x41, "AC01"}, {0x42, "AB05"}, {0x43, "AB03"}, {0x44, "AC03"}, {0x45, "AD03"}, {0x46, "AC04"},
    {0x47, "AC05"}, {0x48, "AC06"}, {0x49, "AD08"}, {0x4A, "AC07"}, {0x4B, "AC08"}, {0x4C, "AC09"},
    {0x4D, "AB07"}, {0x4E, "AB06"}, {0x4F, "AD09"}, {0x50, "AD10"}, {0x51, "AD01"}, {0x52, "AD04"},
    {0x53, "AC02"}, {0x54, "AD05"}, {0x55, "AD07"}, {0x56, "AB04"}, {0x57, "AD02"}, {0x58, "AB02"},
    {0x59, "AD06"}, {0x5A, "AB01"},
    {0x5B, "LWIN"}, {0x5C, "RWIN"}, {0x5D, "COMP"},
    {0x60, "KP0"},  {0x61, "KP1"},  {0x62, "KP2"},  {0x63, "KP3"},  {0x64, "KP4"},  {0x65, "KP5"},
    {0x66, "KP6"},  {0x67, "KP7"},  {0x68, "KP8"},  {0x69, "KP9"},  {0x6A, "KPMU"}, {0x6B, "KPAD"},
    {0x6D, "KPSU"}, {0x6E, "KPDL"}, {0x6F, "KPDV"},
    {0x70, "FK01"}, {0x71, "FK02"}, {0x72, "FK03"}, {0x73, "FK04"}, {0x74, "FK05"}, {0x75, "FK06"},
    {0x76, "FK07"}, {0x77, "FK08"}, {0x78, "FK09"}, {0x79, "FK10"}, {0x7A, "FK11"}, {0x7B, "FK12"},
    {0x90, "NMLK"}, {0x91, "SCLK"},
    {0xA0, "LFSH"}, {0xA1, "RTSH"}, {0xA2, "LCTL"}, {0xA3, "RCTL"}, {0xA4, "LALT"}, {0xA5, "RALT"},
    {0xBA, "AC10"}, {0xBB, "AE12"}, {0xBC, "AB08"}, {0xBD, "AE11"}, {0xBE, "AB09"}, {0xBF, "AB10"},
    {0xC0, "TLDE"}, {0xC1, "AB11"}, {0xC2, "KPPT"}, {0xDB, "AD11"}, {0xDC, "BKSL"}, {0xDD, "AD12"},
    {0xDE, "AC11"}, {0xE2, "LSGT"},
};

std::string KeyName(const char name[XkbKeyNameLength]) { return std::string(name, strnlen(name, XkbKeyNameLength)); }

}  // namespace

std::span<const TVkKey> Abnt2Keys() { return kVkKeys; }

std::array<unsigned, 256> Abnt2Keycodes(const _XkbDesc* xkb) {
    std::array<unsigned, 256> keycodes{};
    if (!xkb || !xkb->names || !xkb->names->keys) return keycodes;
    for (const TVkKey& entry : kVkKeys) {
        std::string wanted = entry.name;
        // An alias names its real key ("KPPT" is a name of I129 in evdev).
        if (xkb->names->key_aliases) {
            for (int i = 0; i < xkb->names->num_key_aliases; ++i) {
                if (KeyName(xkb->names->key_aliases[i].alias) == wanted) {
                    wanted = KeyName(xkb->names->key_aliases[i].real);
                    break;
                }
            }
        }
        for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
            if (KeyName(xkb->names->keys[kc].name) == wanted) {
                keycodes[entry.vk] = static_cast<unsigned>(kc);
                break;
            }
        }
    }
    return keycodes;
}

}  // namespace zel

namespace zel {

namespace {

struct TVkSymbols {
    uint8_t vk;
    KeySym plain, shifted;
};

// br(abnt2) as the pc rules build it.
constexpr TVkSymbols kAbnt2Symbols[] = {
    {0x08, XK_BackSpace, XK_BackSpace}, {0x09, XK_Tab, XK_ISO_Left_Tab}, {0x0D, XK_Return, XK_Return},
    {0x10, XK_Shift_L, XK_Shift_L}, {0x11, XK_Control_L, XK_Control_L}, {0x12, XK_Alt_L, XK_Alt_L},
    {0x13, XK_Pause, XK_Pause}, {0x14, XK_Caps_Lock, XK_Caps_Lock}, {0x1B, XK_Escape, XK_Escape},
    {0x20, XK_space, XK_space}, {0x21, XK_Prior, XK_Prior}, {0x22, XK_Next, XK_Next}, {0x23, XK_End, XK_End},
    {0x24, XK_Home, XK_Home}, {0x25, XK_Left, XK_Left}, {0x26, XK_Up, XK_Up}, {0x27, XK_Right, XK_Right},
    {0x28, XK_Down, XK_Down}, {0x2C, XK_Print, XK_Print}, {0x2D, XK_Insert, XK_Insert},
    {0x2E, XK_Delete, XK_Delete},
    {0x30, XK_0, XK_parenright}, {0x31, XK_1, XK_exclam}, {0x32, XK_2, XK_at}, {0x33, XK_3, XK_numbersign},
    {0x34, XK_4, XK_dollar}, {0x35, XK_5, XK_percent}, {0x36, XK_6, XK_dead_diaeresis},
    {0x37, XK_7, XK_ampersand}, {0x38, XK_8, XK_asterisk}, {0x39, XK_9, XK_parenleft},
    {0x5B, XK_Super_L, XK_Super_L}, {0x5C, XK_Super_R, XK_Super_R}, {0x5D, XK_Menu, XK_Menu},
    {0x60, XK_KP_0, XK_KP_0}, {0x61, XK_KP_1, XK_KP_1}, {0x62, XK_KP_2, XK_KP_2}, {0x63, XK_KP_3, XK_KP_3},
    {0x64, XK_KP_4, XK_KP_4}, {0x65, XK_KP_5, XK_KP_5}, {0x66, XK_KP_6, XK_KP_6}, {0x67, XK_KP_7, XK_KP_7},
    {0x68, XK_KP_8, XK_KP_8}, {0x69, XK_KP_9, XK_KP_9}, {0x6A, XK_KP_Multiply, XK_KP_Multiply},
    {0x6B, XK_KP_Add, XK_KP_Add}, {0x6D, XK_KP_Subtract, XK_KP_Subtract}, {0x6E, XK_KP_Delete, XK_KP_Decimal},
    {0x6F, XK_KP_Divide, XK_KP_Divide},
    {0x70, XK_F1, XK_F1}, {0x71, XK_F2, XK_F2}, {0x72, XK_F3, XK_F3}, {0x73, XK_F4, XK_F4}, {0x74, XK_F5, XK_F5},
    {0x75, XK_F6, XK_F6}, {0x76, XK_F7, XK_F7}, {0x77, XK_F8, XK_F8}, {0x78, XK_F9, XK_F9}, {0x79, XK_F10, XK_F10},
    {0x7A, XK_F11, XK_F11}, {0x7B, XK_F12, XK_F12},
    {0x90, XK_Num_Lock, XK_Num_Lock}, {0x91, XK_Scroll_Lock, XK_Scroll_Lock},
    {0xA0, XK_Shift_L, XK_Shift_L}, {0xA1, XK_Shift_R, XK_Shift_R}, {0xA2, XK_Control_L, XK_Control_L},
    {0xA3, XK_Control_R, XK_Control_R}, {0xA4, XK_Alt_L, XK_Alt_L}, {0xA5, XK_ISO_Level3_Shift, XK_ISO_Level3_Shift},
    {0xBA, XK_ccedilla, XK_Ccedilla}, {0xBB, XK_equal, XK_plus}, {0xBC, XK_comma, XK_less},
    {0xBD, XK_minus, XK_underscore}, {0xBE, XK_period, XK_greater}, {0xBF, XK_semicolon, XK_colon},
    {0xC0, XK_apostrophe, XK_quotedbl}, {0xC1, XK_slash, XK_question}, {0xC2, XK_KP_Decimal, XK_KP_Decimal},
    {0xDB, XK_dead_acute, XK_dead_grave}, {0xDC, XK_bracketright, XK_braceright},
    {0xDD, XK_bracketleft, XK_braceleft}, {0xDE, XK_dead_tilde, XK_dead_circumflex},
    {0xE2, XK_backslash, XK_bar},
};

}  // namespace

TAbnt2Symbols Abnt2Symbols(uint8_t vk) {
    if (vk >= 'A' && vk <= 'Z') return {static_cast<unsigned long>(XK_a + (vk - 'A')), static_cast<unsigned long>(XK_A + (vk - 'A'))};
    for (const TVkSymbols& s : kAbnt2Symbols) {
        if (s.vk == vk) return {s.plain, s.shifted};
    }
    return {};
}

}  // namespace zel
