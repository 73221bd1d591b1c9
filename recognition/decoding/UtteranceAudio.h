#pragma once
// The open utterance's audio, kept for what is decoded a second time: the
// whole utterance again with a new cepstral mean, and the slice around the
// speech that the grammar hears. Longer utterances are not redone, so their
// audio is let go once it passes the bound.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zel {

class TUtteranceAudio {
public:
    // rate: the engine's samples a second.
    TUtteranceAudio(int32_t rate, int64_t maxSeconds);

    void Add(const std::vector<int16_t>& chunk);
    // The speech detector said "speech": the silence before it is kept only
    // as far as the grammar hears it, and the speech is taken to have begun
    // the detector's lag before now.
    void SpeechBegan();
    void Clear();

    // Every sample since the utterance opened is still here.
    bool Whole() const { return whole_; }
    bool Empty() const { return audio_.empty(); }
    const std::vector<int16_t>& Samples() const { return audio_; }
    // What the grammar hears: from half a second before the speech.
    std::pair<const int16_t*, size_t> GrammarSlice() const;

private:
    size_t detectorLag_;
    size_t grammarLeadIn_;
    size_t maxSamples_;
    std::vector<int16_t> audio_;
    bool whole_ = true;
    size_t speechStart_ = 0;
};

}  // namespace zel
