#include "KeyMap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstring>
#include <utility>

namespace zeldll {

namespace {
// INTERIM until the typing back-end's table is merged.
const std::pair<uint8_t, const char*> kTable[] = {{0x7B, "FK12"}, {0x41, "AC01"}, {0x10, "LFSH"}, {0x42, "AB05"}};
}  // namespace

TKeycodeToVk BuildKeycodeToVk(Display* display) {
    TKeycodeToVk table{};
    XkbDescPtr xkb = XkbGetMap(display, 0, XkbUseCoreKbd);
    if (!xkb) return table;
    if (XkbGetNames(display, XkbKeyNamesMask, xkb) == Success && xkb->names && xkb->names->keys) {
        for (const auto& [vk, name] : kTable) {
            for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
                if (std::strncmp(xkb->names->keys[kc].name, name, XkbKeyNameLength) == 0) {
                    if (table[kc] == 0) table[kc] = vk;
                    break;
                }
            }
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
    return table;
}

}  // namespace zeldll
