#pragma once
// The message the hook library (zeldll.so) sends to the main window for every
// key pressed or released anywhere on the desktop. It travels as an X
// ClientMessage of format 32 whose message type is the atom named
// kActivationKeyAtomName, with:
//   data[0] = kWmActivationKey (0x1400, the Windows user-message base 0x400 + 0x1000)
//   data[1] = the key's virtual-key code (the first parameter; low 16 bits read)
//   data[2] = the second parameter: bit 31 set for a release, clear for a press;
//             bit 30 set when the key was already down; low 16 bits the repeat count
// The library includes this header too, so both sides agree on the layout.
// No X or OS header here: the window's event filter decodes with it.
#include <cstdint>

namespace zel {

inline constexpr uint32_t kWmActivationKey = 0x1400;
inline constexpr const char* kActivationKeyAtomName = "ZEL_ACTIVATIONKEY";
inline constexpr uint32_t kKeyReleasedBit = 0x80000000u;
inline constexpr uint32_t kKeyWasDownBit = 0x40000000u;

// The shared memory that names the receiving window: 4 bytes, the X window id.
inline constexpr const char* kReceptorShmName = "/ElReceptor";

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
