#pragma once
// 16-bit mono PCM samples as the bytes of a WAV file: what the training hands
// to the feature extractor and what a recording of the user is kept as.
#include <cstdint>
#include <string>
#include <vector>

namespace zel {

std::string WavFileBytes(const std::vector<int16_t>& samples, int32_t rate);

}  // namespace zel
