#pragma once
// The message the hook library (zeldll) sends to the main window for every
// key pressed or released anywhere on the desktop. On Windows it is window
// message 0x1400 with these two parameters; on X11 it travels as a
// ClientMessage of format 32 whose message type is the atom named
// kActivationKeyAtomName, with:
//   data[0] = kWmActivationKey (0x1400, the Windows user-message base 0x400 + 0x1000)
//   data[1] = the key's virtual-key code (the first parameter; low 16 bits read)
//   data[2] = the second parameter: bit 31 set for a release, clear for a press;
//             bit 30 set when the key was already down; low 16 bits the repeat count
// The library includes this header too, so both sides agree on the layout.
// No X or OS header here: the window's event filter decodes with it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

inline constexpr uint32_t kWmActivationKey = 0x1400;
inline constexpr const char* kActivationKeyAtomName = "ZEL_ACTIVATIONKEY";
inline constexpr uint32_t kKeyReleasedBit = 0x80000000u;
inline constexpr uint32_t kKeyWasDownBit = 0x40000000u;

// The shared memory that names the receiving window: three 32-bit words, the
// window (its X id, or its HWND, whose value fits 32 bits), the activation key's virtual-key code (the library grabs that
// key while it watches; 0 for none) and the owning process.
inline constexpr size_t kReceptorWindow = 0, kReceptorKey = 1, kReceptorPid = 2, kReceptorWords = 3;

// On Windows the shared memory is a file mapping in the namespace of the
// logon session, so that two users, or two sessions of one user, each have
// their own.
inline constexpr const char* kReceptorMappingName = "Local\\ElReceptor";

// Its name on Linux: one per user and X display ("/ElReceptor-1000-:0"), so that two
// users, or one user's two displays, never take each other's reports. The
// screen number does not count (":0.1" is display ":0").
inline std::string ReceptorShmName(uint32_t uid, std::string_view display) {
    std::string name = "/ElReceptor-" + std::to_string(uid);
    if (display.empty()) return name;
    const size_t colon = display.rfind(':');
    const size_t dot = display.find('.', colon == std::string_view::npos ? 0 : colon);
    if (colon != std::string_view::npos && dot != std::string_view::npos) display = display.substr(0, dot);
    name += '-';
    for (char c : display) name += c == '/' ? '_' : c;
    return name;
}

struct TActivationKeyMessage {
    uint16_t key = 0;       // virtual-key code
    bool released = false;  // bit 31 of the second parameter
};

// The two parameters as the handler reads them.
inline TActivationKeyMessage DecodeActivationKey(uint32_t wParam, uint32_t lParam) {
    return TActivationKeyMessage{static_cast<uint16_t>(wParam & 0xFFFFu), (lParam & kKeyReleasedBit) != 0};
}

// True when the three data words of a ClientMessage are an activation-key report.
inline bool IsActivationKeyMessage(uint32_t data0) { return data0 == kWmActivationKey; }

}  // namespace zel
