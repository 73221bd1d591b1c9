#include "platform/x11/Abnt2Keys.h"

#include <X11/XKBlib.h>

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
