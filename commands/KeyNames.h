#pragma once
// Key names: the text form of a key in a key-command's arguments and in the
// activation-key setting. Codes are Windows virtual-key codes, as the profiles
// store them; the desktop back-end maps them to the keys of the ABNT2 keyboard.
#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

// The name of a key, or empty for a key without one (Backspace, Tab, Space,
// the keypad, punctuation keys...). Digits and capital letters are their own
// character.
std::string KeyCodeToName(uint16_t code);

// The code of a name, matched exactly (case matters, no trimming). A name
// that is no key name gives the code of its first character ("TAB" gives the
// code of T, "a" gives 0x61). An empty name gives kNoKey: callers press
// nothing for it.
inline constexpr uint8_t kNoKey = 0;
uint8_t KeyNameToCode(std::string_view name);

}  // namespace zel
