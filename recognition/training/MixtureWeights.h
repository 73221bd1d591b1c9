#pragma once
// The mixture weights of a semi-continuous or phonetically tied model, moved
// from the engine's quantized file ("sendump", what the installed model
// ships) to the trainer's file ("mixture_weights", what bw reads and
// map_adapt writes). Both formats are the Sphinx toolkit's own.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

struct TMixtureWeights {
    uint32_t Senones = 0;
    uint32_t Features = 0;   // feature streams
    uint32_t Densities = 0;  // Gaussians per codebook
    // Weight of density d in stream f of senone s at [(s * Features + f) * Densities + d];
    // the weights of one senone and stream add up to 1.
    std::vector<float> Weights;
    float At(uint32_t s, uint32_t f, uint32_t d) const { return Weights[(size_t(s) * Features + f) * Densities + d]; }
};

// Reads a sendump file's bytes: length-prefixed header strings ending with an
// empty one, then the row and column counts, then one byte per weight, by
// stream, density and senone. A byte holds -log1.0001(weight) / 1024. Raises
// a message naming fileName when the bytes are not such a file.
TMixtureWeights ReadSendump(std::string_view bytes, const std::string& fileName);

// The trainer's file: a text header ("s3", version, checksum flag,
// "endhdr"), the byte-order mark, the three counts, the number of values,
// the values as 32-bit floats and a checksum over everything after the mark.
std::string MixtureWeightsFile(const TMixtureWeights& weights);

}  // namespace zel
