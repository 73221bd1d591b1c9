#pragma once
// Digital silence (files, capture paths with a noise gate) gets a faint floor
// of white noise (peak ~0.3% of full scale) before the engine: a microphone
// always has one, and without it the engine's speech detector and noise
// tracking go wrong between words (70.7% of the test commands against 84.6%
// with the floor; the engine's own dither, one step of the last bit, is too
// small to help). The floor goes on for the rest of the run at the first 20 ms
// that are silent to within a few steps (it must be continuous: added only to
// the silent stretches it helped much less, 75.6%), so audio with a noise of
// its own, like a microphone's, reaches the engine untouched.
#include <cstdint>
#include <vector>

namespace zel {

class TNoiseFloor {
public:
    static constexpr int32_t kPeak = 98;
    static constexpr int32_t kSilentPeak = 4;

    void Apply(std::vector<int16_t>& chunk);
    bool On() const { return on_; }

private:
    uint32_t state_ = 12345;  // the same noise every run: results repeat
    bool on_ = false;
};

}  // namespace zel
