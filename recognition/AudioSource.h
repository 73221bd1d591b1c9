#pragma once
// Where the recognizer's samples come from: the microphone through the audio
// server, or a WAV file (tests, `zelcmd listen --audio`, a user's recording).
// 16-bit signed mono samples at the engine's rate: sources recorded at
// another rate are converted.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zel {

inline constexpr int32_t kSourceGone = -2;

class IAudioSource {
public:
    virtual ~IAudioSource() = default;
    // Blocks until some samples are there. Returns the number read (> 0), 0 at
    // the end of the source, -1 when the source failed, or kSourceGone when
    // the chosen source left the audio server.
    virtual int32_t Read(int16_t* buffer, int32_t maxSamples) = 0;
};

// Converts a recording's rate to the engine's by linear interpolation, chunk
// by chunk (a 16 kHz model then still hears an 8 kHz microphone, with less of
// the high frequencies). Equal rates pass unchanged.
class TRateConverter {
public:
    TRateConverter(int32_t fromRate, int32_t toRate) : from_(fromRate), to_(toRate) {}
    void Convert(const int16_t* in, size_t n, std::vector<int16_t>& out);

private:
    int32_t from_, to_;
    double position_ = 0;  // of the next output sample, in input samples
    int16_t last_ = 0;     // the previous chunk's last sample
};

// The rates a WAV file may declare.
inline constexpr uint32_t kMinWavRate = 1000;
inline constexpr uint32_t kMaxWavRate = 192000;

// The samples of a WAV file (PCM, 16 bits, mono, 1 kHz to 192 kHz, converted
// to samplesPerSecond as they are read; anything else raises a message saying
// what the file holds). realTime: Read hands out the samples no faster than
// they would be spoken.
class TWavFileSource : public IAudioSource {
public:
    TWavFileSource(const std::string& fileName, int32_t samplesPerSecond, bool realTime);
    int32_t Read(int16_t* buffer, int32_t maxSamples) override;
    // The samples in the file, at its own rate.
    size_t SampleCount() const { return recorded_.size(); }

private:
    std::vector<int16_t> recorded_;
    size_t inAt_ = 0;
    TRateConverter converter_{1, 1};
    std::vector<int16_t> pending_;  // converted, not yet handed out
    size_t pendingAt_ = 0;
    int64_t handedOut_ = 0;
    int32_t fileRate_ = 0;
    int32_t rate_;
    bool realTime_;
    int64_t startNs_ = -1;
};

// Reads a whole WAV file's samples (same rules as above); rate gets the
// file's rate.
std::vector<int16_t> ReadWavSamples(const std::string& fileName, int32_t& rate);

// The default (or named) source of the audio server, recorded at
// captureRate and delivered at engineRate. Raises a clear message when the
// server or the microphone cannot be opened, when the server has not answered
// within timeout, or as soon as cancelled (polled every 50 ms) says so.
inline constexpr std::chrono::milliseconds kMicrophoneTimeout{3000};
std::unique_ptr<IAudioSource> OpenMicrophone(const std::string& device, int32_t captureRate, int32_t engineRate,
                                             const std::function<bool()>& cancelled = {},
                                             std::chrono::milliseconds timeout = kMicrophoneTimeout);

}  // namespace zel
