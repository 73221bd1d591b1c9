#include "recognition/training/MixtureWeights.h"

#include "recognition/training/SphinxModelFiles.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"

namespace zel {

namespace {

// The engine stores -log(weight) in base 1.0001, shifted right by 10 bits.
constexpr double kLogBase = 1.0001;
constexpr int kWeightShift = 10;

uint32_t Swap32(uint32_t v) { return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24); }

class TReader {
public:
    TReader(std::string_view bytes, const std::string& fileName) : bytes_(bytes), name_(fileName) {}
    uint32_t U32() {
        Need(4);
        uint32_t v;
        std::memcpy(&v, bytes_.data() + at_, 4);
        at_ += 4;
        return swap_ ? Swap32(v) : v;
    }
    std::string_view Take(size_t n) {
        Need(n);
        std::string_view s = bytes_.substr(at_, n);
        at_ += n;
        return s;
    }
    void SetSwap(bool swap) { swap_ = swap; }
    size_t Left() const { return bytes_.size() - at_; }
    [[noreturn]] void Bad(const char* why) const {
        throw TError(Utf8ToCp1252("Pesos de mistura ilegíveis em ") + name_ + ": " + Utf8ToCp1252(why));
    }

private:
    void Need(size_t n) const {
        if (Left() < n) Bad("arquivo truncado");
    }
    std::string_view bytes_;
    const std::string& name_;
    size_t at_ = 0;
    bool swap_ = false;
};

// "name 123" of a header string, or -1 when the string is another one.
long HeaderValue(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line.compare(0, name.size(), name) != 0 || line[name.size()] != ' ') return -1;
    return std::strtol(std::string(line.substr(name.size() + 1)).c_str(), nullptr, 10);
}

}  // namespace

TMixtureWeights ReadSendump(std::string_view bytes, const std::string& fileName) {
    TReader in(bytes, fileName);
    // The first length tells the byte order: a title is short.
    uint32_t n = in.U32();
    if (n < 1 || n > 999) {
        if (Swap32(n) < 1 || Swap32(n) > 999) in.Bad("cabeçalho desconhecido");
        in.SetSwap(true);
        n = Swap32(n);
    }
    long features = 1, clusters = 0, bits = 8;
    for (; n != 0; n = in.U32()) {
        std::string_view line = in.Take(n);
        if (!line.empty() && line.back() == '\0') line.remove_suffix(1);
        if (long v = HeaderValue(line, "feature_count"); v >= 0) features = v;
        if (long v = HeaderValue(line, "cluster_count"); v >= 0) clusters = v;
        if (long v = HeaderValue(line, "cluster_bits"); v >= 0) bits = v;
    }
    // Clustered (compressed) weights and 4-bit ones are other formats.
    if (clusters != 0 || bits != 8) in.Bad("formato comprimido");
    const uint32_t densities = in.U32();
    const uint32_t senones = in.U32();
    if (features < 1 || features > 16 || densities < 1 || densities > 4096 || senones < 1)
        in.Bad("contagens fora do limite");
    if (in.Left() < size_t(features) * densities * senones) in.Bad("arquivo truncado");

    TMixtureWeights w;
    w.Senones = senones;
    w.Features = static_cast<uint32_t>(features);
    w.Densities = densities;
    w.Weights.assign(size_t(senones) * w.Features * densities, 0.0f);
    // The 256 weights a byte can stand for, computed once.
    double value[256];
    for (int b = 0; b < 256; ++b) value[b] = std::pow(kLogBase, -static_cast<double>(b << kWeightShift));
    for (uint32_t f = 0; f < w.Features; ++f)
        for (uint32_t d = 0; d < densities; ++d) {
            std::string_view row = in.Take(senones);
            for (uint32_t s = 0; s < senones; ++s)
                w.Weights[(size_t(s) * w.Features + f) * densities + d] =
                    static_cast<float>(value[static_cast<unsigned char>(row[s])]);
        }
    // Quantization leaves each senone's weights a little short of 1; the
    // trainer takes them as probabilities.
    for (size_t at = 0; at < w.Weights.size(); at += densities) {
        double sum = 0;
        for (uint32_t d = 0; d < densities; ++d) sum += w.Weights[at + d];
        for (uint32_t d = 0; d < densities; ++d) w.Weights[at + d] = static_cast<float>(w.Weights[at + d] / sum);
    }
    return w;
}

std::string MixtureWeightsFile(const TMixtureWeights& weights) {
    return SphinxBinaryFile({weights.Senones, weights.Features, weights.Densities}, weights.Weights);
}

}  // namespace zel
