#pragma once
// The audio server's recording sources, for the microphone choice, and a
// level meter that shows a source is alive before recognition is switched on.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zel {

// What the choice shows for the server's own default source (empty name).
inline constexpr const char* kDefaultSourceCaption = "padr\xE3o";

struct TAudioSourceInfo {
    std::string Name;         // the server's name for it; empty: its default
    std::string Description;  // what the server calls it for people
};

// "padrão" first, then the server's sources that record something (the
// monitors of its outputs are left out). Raises a clear message when the
// audio server cannot be reached. Core text.
std::vector<TAudioSourceInfo> ListAudioSources();

// Reads a source on a thread of its own while it runs. A source that stalls
// cannot hold Stop: the thread is left to end when its read returns.
class TLevelMeter {
public:
    TLevelMeter() = default;
    ~TLevelMeter() { Stop(); }
    TLevelMeter(const TLevelMeter&) = delete;
    TLevelMeter& operator=(const TLevelMeter&) = delete;

    // device: a source name, empty for the default. Raises the microphone's
    // message when it cannot be opened.
    void Start(const std::string& device);
    void Stop();
    bool Running() const { return static_cast<bool>(state_); }
    // The loudest sample since the last call, 0..100 on a scale of 60 dB
    // below full scale; -1 once the source has failed or ended.
    int32_t TakeLevel();

    struct TState;

private:
    std::shared_ptr<TState> state_;
};

// The level (0..100) of a peak sample: 60 dB below full scale and quieter
// is 0, full scale is 100.
int32_t LevelOfPeak(int32_t peak);

}  // namespace zel
