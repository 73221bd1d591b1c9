#include "recognition/decoding/UtteranceAudio.h"

#include <algorithm>

namespace zel {

// The detector says "speech" some frames after it began; the grammar hears a
// little of the silence before the speech.
TUtteranceAudio::TUtteranceAudio(int32_t rate, int64_t maxSeconds)
    : detectorLag_(static_cast<size_t>(rate / 4)),
      grammarLeadIn_(static_cast<size_t>(rate / 2)),
      maxSamples_(static_cast<size_t>(maxSeconds * rate)) {}

void TUtteranceAudio::Add(const std::vector<int16_t>& chunk) {
    if (!whole_) return;
    if (audio_.size() + chunk.size() > maxSamples_) {
        audio_.clear();
        audio_.shrink_to_fit();
        whole_ = false;
        return;
    }
    audio_.insert(audio_.end(), chunk.begin(), chunk.end());
}

void TUtteranceAudio::SpeechBegan() {
    // The silence before the speech is not kept for a second decoding beyond
    // what the grammar hears: the second decoding is what the user waits for
    // after the run's first utterance.
    const size_t lead = detectorLag_ + grammarLeadIn_;
    if (audio_.size() > lead) audio_.erase(audio_.begin(), audio_.end() - static_cast<std::ptrdiff_t>(lead));
    speechStart_ = audio_.size() > detectorLag_ ? audio_.size() - detectorLag_ : 0;
}

void TUtteranceAudio::Clear() {
    audio_.clear();
    whole_ = true;
    speechStart_ = 0;
}

std::pair<const int16_t*, size_t> TUtteranceAudio::GrammarSlice() const {
    const size_t from = speechStart_ - std::min(speechStart_, grammarLeadIn_);
    return {audio_.data() + from, audio_.size() - from};
}

}  // namespace zel
