// Writes the default activation sound: a short rising two-tone beep, 16-bit
// mono PCM at 22050 Hz. Generated at build time so that no sound file is
// taken from elsewhere.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: zel_beepwav SAIDA.wav\n");
        return 1;
    }
    const uint32_t rate = 22050;
    const double pi = 3.14159265358979323846;
    std::vector<int16_t> samples;
    // Two tones of 70 ms each, 660 Hz then 880 Hz, with 5 ms fades against clicks.
    for (double freq : {660.0, 880.0}) {
        const int n = static_cast<int>(rate * 0.070);
        const int fade = static_cast<int>(rate * 0.005);
        for (int i = 0; i < n; ++i) {
            double envelope = 1.0;
            if (i < fade) envelope = static_cast<double>(i) / fade;
            if (n - i < fade) envelope = static_cast<double>(n - i) / fade;
            samples.push_back(static_cast<int16_t>(12000.0 * envelope * std::sin(2.0 * pi * freq * i / rate)));
        }
    }
    std::vector<uint8_t> wav;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    for (char c : {'R', 'I', 'F', 'F'}) wav.push_back(static_cast<uint8_t>(c));
    PutLe(wav, 36 + dataBytes, 4);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) wav.push_back(static_cast<uint8_t>(c));
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);  // PCM
    PutLe(wav, 1, 2);  // mono
    PutLe(wav, rate, 4);
    PutLe(wav, rate * 2, 4);
    PutLe(wav, 2, 2);
    PutLe(wav, 16, 2);
    for (char c : {'d', 'a', 't', 'a'}) wav.push_back(static_cast<uint8_t>(c));
    PutLe(wav, dataBytes, 4);
    for (int16_t s : samples) PutLe(wav, static_cast<uint16_t>(s), 2);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(wav.data(), 1, wav.size(), f) != wav.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "zel_beepwav: não foi possível escrever %s\n", argv[1]);
        return 1;
    }
    return 0;
}
