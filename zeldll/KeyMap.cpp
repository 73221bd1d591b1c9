#include "KeyMap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstring>
#include <utility>

namespace zeldll {

namespace {
// INTERIM until the typing back-end's table is merged.
std::array<unsigned, 256> Abnt2Keycodes(Display* display) {
    const std::pair<uint8_t, const char*> kTable[] = {{0x7B, "FK12"}, {0x41, "AC01"}, {0x10, "LFSH"},
                                                      {0x42, "AB05"}, {0xA1, "RTSH"}, {0xA0, "LFSH"}};
    std::array<unsigned, 256> keycodes{};
    XkbDescPtr xkb = XkbGetMap(display, 0, XkbUseCoreKbd);
    if (!xkb) return keycodes;
    if (XkbGetNames(display, XkbKeyNamesMask, xkb) == Success && xkb->names && xkb->names->keys) {
        for (const auto& [vk, name] : kTable) {
            for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
                if (std::strncmp(xkb->names->keys[kc].name, name, XkbKeyNameLength) == 0) {
                    keycodes[vk] = kc;
                    break;
                }
            }
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
    return keycodes;
}

// A keyboard hook reports the left and the right modifier by the one code
// the key names know: SHIFT, CTRL, ALT.
uint8_t Generic(uint8_t vk) {
    switch (vk) {
        case 0xA0:
        case 0xA1: return 0x10;
        case 0xA2:
        case 0xA3: return 0x11;
        case 0xA4:
        case 0xA5: return 0x12;
        default: return vk;
    }
}
}  // namespace

TKeycodeToVk BuildKeycodeToVk(Display* display) {
    const std::array<unsigned, 256> keycodes = Abnt2Keycodes(display);
    TKeycodeToVk table{};
    // Lowest code first, so that a key with several codes reports the
    // generic one (SHIFT 0x10 before LSHIFT 0xA0).
    for (unsigned vk = 1; vk < keycodes.size(); ++vk) {
        const unsigned kc = keycodes[vk];
        if (kc > 0 && kc < table.size() && table[kc] == 0) table[kc] = Generic(static_cast<uint8_t>(vk));
    }
    return table;
}

}  // namespace zeldll
