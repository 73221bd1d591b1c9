#pragma once
// The core writes what it types as key sequences of the ABNT2 keyboard (the
// keyboard the profiles were written for): Shift with 2 for "@", the dead
// tilde key and A for "ã". A back-end that sends characters instead of keys
// reads them back here, as the characters they type on that keyboard, so
// that the user's own layout is neither changed nor relied on.
#include <bitset>
#include <cstdint>
#include <vector>

namespace zel {

// What one key event of the core stands for.
struct TTypedEvent {
    enum TKind : uint8_t {
        Key,        // the key itself, by virtual-key code (modifiers, named keys, combinations)
        Character,  // a character (Unicode code point), pressed or released
    };
    TKind Kind = Key;
    bool Down = true;
    uint8_t Vk = 0;
    char32_t Char = 0;
    bool operator==(const TTypedEvent&) const = default;
};

// Reads the core's key events one by one. Keys pressed with Ctrl, Alt or the
// Windows key are a combination and go as keys (Ctrl+C is Ctrl with the key
// of c); so do the modifiers themselves and every key that types no
// character (arrows, Enter, F1...). The other keys are characters: a dead
// key waits for the next one and composes with it ("ã"), or comes out on its
// own ("~") before a key it does not compose with.
class TAbnt2Reader {
public:
    // What to send for a press (none for a dead key that waits).
    std::vector<TTypedEvent> KeyDown(uint8_t vk);
    // What to send for a release: the release of what the press sent.
    std::vector<TTypedEvent> KeyUp(uint8_t vk);
    // The keys the core holds down now, by code.
    bool Down(uint8_t vk) const { return down_[vk]; }

private:
    bool ShiftDown() const;
    bool Combination() const;
    std::bitset<256> down_;
    // What each held code's press sent: the key itself, a character, or
    // nothing (a dead key).
    struct THeld {
        enum { Key, Character, Nothing } sent = Key;
        char32_t ch = 0;
    };
    THeld held_[256]{};
    char32_t pendingDead_ = 0;  // the combining accent of a dead key waiting for its letter
};

// What the key of a virtual-key code types on ABNT2, without and with Shift:
// a character, a dead key (as its combining accent, U+0300..U+0308) or 0.
struct TAbnt2Characters {
    char32_t plain = 0, shifted = 0;
};
TAbnt2Characters Abnt2Characters(uint8_t vk);
// The letter a dead key's accent and a base letter compose, 0 for none.
char32_t ComposeAccent(char32_t accent, char32_t base);
// The accent on its own, as the dead key and the space bar type it.
char32_t SpacingAccent(char32_t accent);

}  // namespace zel
