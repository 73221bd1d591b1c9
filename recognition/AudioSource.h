#pragma once
// Where the recognizer's samples come from: the microphone through the audio
// server, or a WAV file (tests, `zelcmd listen --audio`, a user's recording).
// 16-bit signed mono samples at the control's rate.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zel {

class IAudioSource {
public:
    virtual ~IAudioSource() = default;
    // Blocks until some samples are there. Returns the number read (> 0), 0 at
    // the end of the source, or -1 when the source failed.
    virtual int32_t Read(int16_t* buffer, int32_t maxSamples) = 0;
};

// The samples of a WAV file (PCM, 16 bits, mono, at the given rate; anything
// else raises a message saying what the file holds). realTime: Read hands out
// the samples no faster than they would be spoken.
class TWavFileSource : public IAudioSource {
public:
    TWavFileSource(const std::string& fileName, int32_t samplesPerSecond, bool realTime);
    int32_t Read(int16_t* buffer, int32_t maxSamples) override;
    size_t SampleCount() const { return samples_.size(); }

private:
    std::vector<int16_t> samples_;
    size_t position_ = 0;
    int32_t rate_;
    bool realTime_;
    int64_t startNs_ = -1;
};

// Reads a whole WAV file's samples (same rules as above, any rate); rate gets
// the file's rate.
std::vector<int16_t> ReadWavSamples(const std::string& fileName, int32_t& rate);

// The default (or named) source of the audio server. Raises a clear message
// when the server or the microphone cannot be opened.
std::unique_ptr<IAudioSource> OpenMicrophone(const std::string& device, int32_t samplesPerSecond);

}  // namespace zel
