#pragma once
// X keycode → Windows virtual-key code, from the same ABNT2 key table that the
// typing back-end uses in the other direction.
#include <array>
#include <cstdint>

typedef struct _XDisplay Display;

namespace zeldll {

// One entry per X keycode; 0 for a key that has no virtual-key code.
using TKeycodeToVk = std::array<uint8_t, 256>;

// Reads the key names of the display's keyboard and fills the table.
TKeycodeToVk BuildKeycodeToVk(Display* display);

}  // namespace zeldll
