#include "tests/integration/recognition/SpeechFixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>

#include "recognition/AudioSource.h"
#include "recognition/WavWriter.h"

namespace zeltest {

namespace {

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

}  // namespace

std::vector<TVoice> TestVoices() {
    return {{"pt-br", 150}, {"pt-br+m3", 130}, {"pt-br+f2", 160}, {"pt-br+m7", 140},
            {"pt-br", 120}, {"pt-br+f2", 170}};
}

std::vector<int16_t> Speak(const std::string& utf8Text, const TVoice& voice) {
    char name[] = "/tmp/zelspeechXXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp");
    close(fd);
    std::string wav = std::string(name) + ".wav";
    std::string cmd = "espeak-ng -v " + ShellQuote(voice.Name) + " -s " + std::to_string(voice.Speed) +
                      " --stdout " + ShellQuote(utf8Text) + " | sox -q -t wav - -r 16000 -c 1 -b 16 " +
                      ShellQuote(wav) + " 2>/dev/null";
    int rc = std::system(cmd.c_str());
    std::remove(name);
    if (rc != 0) {
        std::remove(wav.c_str());
        throw std::runtime_error("espeak-ng/sox failed: " + cmd);
    }
    int32_t rate = 0;
    std::vector<int16_t> samples = zel::ReadWavSamples(wav, rate);
    std::remove(wav.c_str());
    // espeak leaves some digital silence at both ends: cut it, the pauses are
    // the recording's business.
    auto loud = [](int16_t s) { return s > 64 || s < -64; };
    auto first = std::find_if(samples.begin(), samples.end(), loud);
    auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    if (first >= last) return {};
    return std::vector<int16_t>(first, last);
}

void TRecording::AddSilence(double seconds) {
    samples_.insert(samples_.end(), static_cast<size_t>(seconds * rate_), 0);
}

double TRecording::AddSpeech(const std::vector<int16_t>& samples) {
    samples_.insert(samples_.end(), samples.begin(), samples.end());
    return Seconds();
}

void TRecording::AddNoiseFloor(double amplitude, uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> d(-amplitude * 32767.0, amplitude * 32767.0);
    for (auto& s : samples_) {
        double v = s + d(gen);
        s = static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
    }
}

void TRecording::AddNoise(double seconds, double amplitude, uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> d(-amplitude * 32767.0, amplitude * 32767.0);
    size_t n = static_cast<size_t>(seconds * rate_);
    for (size_t i = 0; i < n; ++i) samples_.push_back(static_cast<int16_t>(d(gen)));
}

void TRecording::WriteWav(const std::string& fileName) const { zeltest::WriteWav(fileName, samples_, rate_); }

void WriteWav(const std::string& fileName, const std::vector<int16_t>& samples, int32_t rate) {
    std::ofstream out(fileName, std::ios::binary);
    const std::string bytes = zel::WavFileBytes(samples, rate);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + fileName);
}

}  // namespace zeltest
