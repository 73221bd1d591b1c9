#pragma once
// The ABNT2 keyboard's keys by Windows virtual-key code: the one table that
// both the typing back-end (code → key) and the hook library (key → code)
// use. A key is named by XKB (AD11 is the dead acute key, AC10 the Ç), so the
// table holds whatever keycodes the server gives those names. The keysyms
// say what each key types on ABNT2: the core's key sequences are written for
// that keyboard, and the desktop reads them back as characters.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// XKB's keyboard description (XkbDescRec); no X header here, so that any
// file may include this one.
struct _XkbDesc;

namespace zel {

struct TVkKey {
    uint8_t vk;
    const char* name;  // XKB key name, up to 4 characters
};

// Every virtual-key code that has a key, with the XKB name of that key. A few
// keys have two codes (Shift is 0x10 and 0xA0): the generic code comes first.
std::span<const TVkKey> Abnt2Keys();

// The X keycode of each virtual-key code on a keyboard description read with
// its key names and aliases (XkbGetNames with XkbKeyNamesMask |
// XkbKeyAliasesMask); 0 for a code without a key there.
std::array<unsigned, 256> Abnt2Keycodes(const _XkbDesc* xkb);

// What the key of a virtual-key code types on ABNT2, without and with Shift
// (X keysyms; dead keys as dead_acute and the like); zeros for no key.
struct TAbnt2Symbols {
    unsigned long plain = 0, shifted = 0;
};
TAbnt2Symbols Abnt2Symbols(uint8_t vk);

}  // namespace zel
