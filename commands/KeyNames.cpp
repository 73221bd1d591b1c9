#include "commands/KeyNames.h"

#include <array>

namespace zel {

namespace {

struct TNamedKey {
    const char* name;
    uint8_t code;
};

// In the order KeyNameToCode compares them (exact comparison, so "F10" is
// never taken for "F1").
constexpr std::array<TNamedKey, 30> kNamedKeys = {{
    {"SHIFT", 0x10},  {"CTRL", 0x11},   {"ALT", 0x12},    {"ESC", 0x1B},   {"UP", 0x26},
    {"LEFT", 0x25},   {"RIGHT", 0x27},  {"DOWN", 0x28},   {"NEXT", 0x22},  {"PRIOR", 0x21},
    {"DELETE", 0x2E}, {"INSERT", 0x2D}, {"HOME", 0x24},   {"END", 0x23},   {"ENTER", 0x0D},
    {"F1", 0x70},     {"F2", 0x71},     {"F3", 0x72},     {"F4", 0x73},    {"F5", 0x74},
    {"F6", 0x75},     {"F7", 0x76},     {"F8", 0x77},     {"F9", 0x78},    {"F10", 0x79},
    {"F11", 0x7A},    {"F12", 0x7B},    {"CAPS", 0x14},   {"NUMLOCK", 0x90}, {"SCROLL", 0x91},
}};

}  // namespace

std::string KeyCodeToName(uint16_t code) {
    for (const auto& key : kNamedKeys) {
        if (key.code == code) return key.name;
    }
    if (code >= 0x30 && code <= 0x5A) return std::string(1, static_cast<char>(code));
    return {};
}

uint8_t KeyNameToCode(std::string_view name) {
    if (name.empty()) return kNoKey;
    for (const auto& key : kNamedKeys) {
        if (name == key.name) return key.code;
    }
    return static_cast<uint8_t>(name[0]);
}

}  // namespace zel
