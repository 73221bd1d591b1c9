#include "recognition/training/MixtureWeights.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "commands/ZelError.h"

namespace zel {
namespace {

std::string Le32(uint32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (8 * i));
    return b;
}
std::string Be32(uint32_t v) {
    std::string b = Le32(v);
    return std::string(b.rbegin(), b.rend());
}
uint32_t At32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

// A sendump as the engine reads it: header strings, an empty one, the
// densities and senones, then a byte per weight by stream, density, senone.
std::string Sendump(const std::vector<std::string>& header, uint32_t densities, uint32_t senones,
                    const std::string& weights, std::string (*put)(uint32_t) = Le32) {
    std::string out;
    for (const auto& h : header) out += put(static_cast<uint32_t>(h.size() + 1)) + h + '\0';
    out += put(0) + put(densities) + put(senones) + weights;
    return out;
}

// 1.0001 ^ -(b * 1024): what one byte stands for before the weights of a
// senone are scaled to add up to 1.
double Raw(int b) { return std::pow(1.0001, -1024.0 * b); }

TEST(ReadSendump, BytesBecomeWeightsBySenoneStreamAndDensityAddingUpToOne) {
    // Two streams, three densities, two senones: rows are (stream, density),
    // columns senones.
    const std::string bytes = {0, 5,  //
                               10, 5,  //
                               20, 5,  //
                               0, 0,   //
                               30, 0,  //
                               60, 0};
    const TMixtureWeights w = ReadSendump(Sendump({"title", "feature_count 2", "cluster_count 0"}, 3, 2, bytes), "s");
    ASSERT_EQ(w.Senones, 2u);
    ASSERT_EQ(w.Features, 2u);
    ASSERT_EQ(w.Densities, 3u);
    ASSERT_EQ(w.Weights.size(), 12u);
    const double sum0 = Raw(0) + Raw(10) + Raw(20);
    EXPECT_NEAR(w.At(0, 0, 0), Raw(0) / sum0, 1e-6);
    EXPECT_NEAR(w.At(0, 0, 1), Raw(10) / sum0, 1e-6);
    EXPECT_NEAR(w.At(0, 0, 2), Raw(20) / sum0, 1e-7);
    // Equal bytes: equal thirds.
    for (uint32_t d = 0; d < 3; ++d) EXPECT_NEAR(w.At(1, 0, d), 1.0 / 3, 1e-6);
    EXPECT_NEAR(w.At(0, 1, 1), Raw(30) / (Raw(0) + Raw(30) + Raw(60)), 1e-7);
    for (uint32_t s = 0; s < 2; ++s)
        for (uint32_t f = 0; f < 2; ++f) EXPECT_NEAR(w.At(s, f, 0) + w.At(s, f, 1) + w.At(s, f, 2), 1.0, 1e-6);
}

TEST(ReadSendump, AFileOfTheOtherByteOrderReadsTheSame) {
    const std::string bytes = {1, 2, 3, 4};
    const TMixtureWeights le = ReadSendump(Sendump({"t", "feature_count 1"}, 2, 2, bytes), "s");
    const TMixtureWeights be = ReadSendump(Sendump({"t", "feature_count 1"}, 2, 2, bytes, Be32), "s");
    EXPECT_EQ(le.Weights, be.Weights);
    EXPECT_EQ(be.Senones, 2u);
}

TEST(ReadSendump, FilesItCannotReadAreNamedWithTheReason) {
    auto message = [](const std::string& bytes) {
        try {
            ReadSendump(bytes, "/m/sendump");
        } catch (const TError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    const std::string ok = Sendump({"t", "feature_count 1"}, 2, 2, std::string(4, '\1'));
    EXPECT_EQ(message(ok.substr(0, ok.size() - 1)), "Pesos de mistura ileg\xEDveis em /m/sendump: arquivo truncado");
    EXPECT_EQ(message(Sendump({"t", "cluster_count 8"}, 2, 2, std::string(4, '\1'))),
              "Pesos de mistura ileg\xEDveis em /m/sendump: formato comprimido");
    EXPECT_EQ(message(std::string(16, '\xFF')), "Pesos de mistura ileg\xEDveis em /m/sendump: cabe\xE7" "alho desconhecido");
    EXPECT_EQ(message(""), "Pesos de mistura ileg\xEDveis em /m/sendump: arquivo truncado");
}

TEST(MixtureWeightsFile, HeaderCountsValuesInOrderAndAChecksum) {
    TMixtureWeights w;
    w.Senones = 2;
    w.Features = 1;
    w.Densities = 2;
    w.Weights = {0.25f, 0.75f, 0.5f, 0.5f};
    const std::string file = MixtureWeightsFile(w);
    const size_t end = file.find("endhdr\n") + 7;
    ASSERT_NE(end, std::string::npos + 7);
    EXPECT_EQ(file.substr(0, 27), "s3\nversion 1.0\nchksum0 yes\n");
    EXPECT_EQ(file.find_first_not_of(' ', 27), end - 7);  // blanks only up to "endhdr"
    EXPECT_EQ(end % 4, 0u);
    EXPECT_EQ(At32(file, end), 0x11223344u);
    EXPECT_EQ(At32(file, end + 4), 2u);
    EXPECT_EQ(At32(file, end + 8), 1u);
    EXPECT_EQ(At32(file, end + 12), 2u);
    EXPECT_EQ(At32(file, end + 16), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(std::bit_cast<float>(At32(file, end + 20 + 4 * i)), w.Weights[i]);
    EXPECT_EQ(file.size(), end + 20 + 16 + 4);
    // The checksum covers the counts and the values: another value, another sum.
    w.Weights[3] = 0.4f;
    const std::string other = MixtureWeightsFile(w);
    EXPECT_NE(At32(other, other.size() - 4), At32(file, file.size() - 4));
}

}  // namespace
}  // namespace zel
