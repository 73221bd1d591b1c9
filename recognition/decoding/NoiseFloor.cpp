#include "recognition/decoding/NoiseFloor.h"

#include <algorithm>
#include <cstdlib>

namespace zel {

void TNoiseFloor::Apply(std::vector<int16_t>& chunk) {
    int32_t peak = 0;
    for (int16_t v : chunk) peak = std::max(peak, std::abs(static_cast<int32_t>(v)));
    if (peak <= kSilentPeak) on_ = true;
    if (!on_) return;
    for (auto& v : chunk) {
        state_ = state_ * 1664525u + 1013904223u;
        const int32_t n = static_cast<int32_t>(state_ >> 16) % (2 * kPeak + 1) - kPeak;
        v = static_cast<int16_t>(std::clamp<int32_t>(v + n, -32768, 32767));
    }
}

}  // namespace zel
