#include "recognition/WavWriter.h"

namespace zel {

namespace {

void Put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

std::string WavFileBytes(const std::vector<int16_t>& samples, int32_t rate) {
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out;
    out.reserve(44 + bytes);
    out += "RIFF";
    Put32(out, 36 + bytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate) * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, bytes);
    for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
    return out;
}

}  // namespace zel
