#include "recognition/AudioSource.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zel {

namespace {

uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
uint16_t Le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::vector<int16_t> ReadWavSamples(const std::string& fileName, int32_t& rate) {
    std::string bytes = ReadFileBytes(fileName);
    auto bad = [&](const std::string& why) -> std::vector<int16_t> {
        throw TError(Utf8ToCp1252("Arquivo de áudio ") + FileNameForDisplay(fileName) + Utf8ToCp1252(" não suportado: ") + why);
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return bad(Utf8ToCp1252("não é um arquivo WAV"));
    size_t at = 12;
    bool haveFormat = false;
    uint32_t fileRate = 0;
    uint16_t channels = 0, bits = 0, format = 0;
    while (at + 8 <= bytes.size()) {
        std::string id = bytes.substr(at, 4);
        size_t size = Le32(bytes, at + 4);
        size_t body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            format = Le16(bytes, body);
            channels = Le16(bytes, body + 2);
            fileRate = Le32(bytes, body + 4);
            bits = Le16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return bad("sem formato antes dos dados");
            // WAVE_FORMAT_EXTENSIBLE (0xFFFE) carries PCM too.
            if ((format != 1 && format != 0xFFFE) || bits != 16 || channels != 1)
                return bad(Utf8ToCp1252("esperado PCM de 16 bits, mono (há ") + std::to_string(channels) + " canais, " +
                           std::to_string(bits) + " bits, formato " + std::to_string(format) + ")");
            // A rate out of this range is a damaged header, and converting
            // from it would multiply the samples by up to 16000.
            if (fileRate < kMinWavRate || fileRate > kMaxWavRate)
                return bad("taxa de amostragem de " + std::to_string(fileRate) + " Hz (aceitas de " +
                           std::to_string(kMinWavRate) + " a " + std::to_string(kMaxWavRate) + " Hz)");
            rate = static_cast<int32_t>(fileRate);
            // Streams written to a pipe declare a huge size: take what is there.
            size_t n = std::min(size, bytes.size() - body) / 2;
            std::vector<int16_t> samples(n);
            for (size_t i = 0; i < n; ++i) samples[i] = static_cast<int16_t>(Le16(bytes, body + 2 * i));
            return samples;
        }
        at = body + size + (size & 1);
    }
    return bad(Utf8ToCp1252("sem dados de áudio"));
}

void TRateConverter::Convert(const int16_t* in, size_t n, std::vector<int16_t>& out) {
    out.clear();
    if (from_ == to_ || from_ <= 0 || to_ <= 0) {
        out.assign(in, in + n);
        return;
    }
    if (n == 0) return;
    const double step = static_cast<double>(from_) / to_;
    const double lastIndex = static_cast<double>(n - 1);
    // position_ counts in this chunk's samples; -1 is the previous chunk's
    // last sample, so the streams join without a seam.
    while (position_ <= lastIndex) {
        double whole = std::floor(position_);
        long i = static_cast<long>(whole);
        double f = position_ - whole;
        double a = i < 0 ? last_ : in[i];
        double b = i + 1 < static_cast<long>(n) ? in[i + 1] : a;
        out.push_back(static_cast<int16_t>(std::lround(a + (b - a) * f)));
        position_ += step;
    }
    position_ -= static_cast<double>(n);
    last_ = in[n - 1];
}

TWavFileSource::TWavFileSource(const std::string& fileName, int32_t samplesPerSecond, bool realTime)
    : rate_(samplesPerSecond), realTime_(realTime) {
    int32_t fileRate = 0;
    recorded_ = ReadWavSamples(fileName, fileRate);
    converter_ = TRateConverter(fileRate, samplesPerSecond);
    fileRate_ = fileRate;
}

int32_t TWavFileSource::Read(int16_t* buffer, int32_t maxSamples) {
    if (maxSamples <= 0) return 0;
    // Converted a piece at a time, about as much as is asked for: a
    // recording is never held twice, at its rate and at the engine's.
    if (pendingAt_ >= pending_.size()) {
        pending_.clear();
        pendingAt_ = 0;
        while (pending_.empty() && inAt_ < recorded_.size()) {
            size_t want = std::max<size_t>(1, static_cast<size_t>(static_cast<int64_t>(maxSamples) * fileRate_ / rate_));
            size_t n = std::min(recorded_.size() - inAt_, want);
            converter_.Convert(recorded_.data() + inAt_, n, pending_);
            inAt_ += n;
        }
        if (pending_.empty()) return 0;
    }
    size_t n = std::min(pending_.size() - pendingAt_, static_cast<size_t>(maxSamples));
    if (realTime_) {
        if (startNs_ < 0) startNs_ = NowNs();
        // The chunk is "spoken" once its last sample's time has come.
        int64_t due = startNs_ + static_cast<int64_t>((handedOut_ + n) * 1000000000.0 / rate_);
        int64_t wait = due - NowNs();
        if (wait > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
    }
    std::memcpy(buffer, pending_.data() + pendingAt_, n * sizeof(int16_t));
    pendingAt_ += n;
    handedOut_ += n;
    return static_cast<int32_t>(n);
}

}  // namespace zel
