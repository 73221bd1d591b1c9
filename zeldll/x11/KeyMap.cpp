#include "KeyMap.h"

#include "platform/x11/Abnt2Keys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace zeldll {

namespace {

// A keyboard hook reports the left and the right modifier by the one code
// the key names know: SHIFT, CTRL, ALT.
uint8_t Generic(unsigned vk) {
    switch (vk) {
        case 0xA0:
        case 0xA1: return 0x10;
        case 0xA2:
        case 0xA3: return 0x11;
        case 0xA4:
        case 0xA5: return 0x12;
        default: return static_cast<uint8_t>(vk);
    }
}

}  // namespace

TKeycodeToVk BuildKeycodeToVk(Display* display) {
    TKeycodeToVk table{};
    XkbDescPtr xkb = XkbGetMap(display, 0, XkbUseCoreKbd);
    if (!xkb) return table;
    if (XkbGetNames(display, XkbKeyNamesMask | XkbKeyAliasesMask, xkb) == Success) {
        const std::array<unsigned, 256> keycodes = zel::Abnt2Keycodes(xkb);
        // Lowest code first, so that a key with two codes reports the generic
        // one (SHIFT 0x10 before LSHIFT 0xA0).
        for (unsigned vk = 1; vk < keycodes.size(); ++vk) {
            const unsigned kc = keycodes[vk];
            if (kc > 0 && kc < table.size() && table[kc] == 0) table[kc] = Generic(vk);
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
    return table;
}

}  // namespace zeldll
