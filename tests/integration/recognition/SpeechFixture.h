#pragma once
// Speech made by the tests themselves: espeak-ng's Brazilian-Portuguese voices
// at several speeds, converted with sox to the recognizer's 16 kHz mono, laid
// out as a recording with pauses and a faint noise floor (a real microphone
// always has one; digital silence is not what the recognizer will hear).
#include <cstdint>
#include <string>
#include <vector>

namespace zeltest {

struct TVoice {
    std::string Name;  // espeak-ng voice, e.g. "pt-br+m3"
    int Speed = 150;   // words per minute
    std::string Label() const { return Name + "@" + std::to_string(Speed); }
};
// pt-br, pt-br+m3, pt-br+f2, pt-br+m7 at 120..170 words per minute.
std::vector<TVoice> TestVoices();

// The samples of text (UTF-8) spoken by the voice, at 16 kHz, mono.
std::vector<int16_t> Speak(const std::string& utf8Text, const TVoice& voice);

// A recording built piece by piece.
class TRecording {
public:
    explicit TRecording(int32_t rate = 16000) : rate_(rate) {}
    void AddSilence(double seconds);
    // Appends the samples; returns the time (s) where they end.
    double AddSpeech(const std::vector<int16_t>& samples);
    // Adds white noise of the given peak amplitude (full scale = 1.0) over
    // everything, from a fixed seed, so that every run hears the same.
    void AddNoiseFloor(double amplitude, uint32_t seed = 12345);
    // Fills with noise only.
    void AddNoise(double seconds, double amplitude, uint32_t seed = 777);
    double Seconds() const { return static_cast<double>(samples_.size()) / rate_; }
    const std::vector<int16_t>& Samples() const { return samples_; }
    void WriteWav(const std::string& fileName) const;

private:
    int32_t rate_;
    std::vector<int16_t> samples_;
};

// The faint floor used by the tests: about -50 dB, like a quiet room.
inline constexpr double kNoiseFloor = 0.003;

// Writes 16-bit mono samples as a WAV file.
void WriteWav(const std::string& fileName, const std::vector<int16_t>& samples, int32_t rate);

}  // namespace zeltest
