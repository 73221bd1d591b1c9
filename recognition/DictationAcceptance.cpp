#include "recognition/DictationAcceptance.h"

#include "recognition/GrammarCheck.h"
#include "recognition/decoding/UtteranceScore.h"

namespace zel {

int32_t DictationConfidence(const TUtteranceScore& score) {
    return ConfidenceFromAcousticPerFrame(score.MeanAcousticPerFrame);
}

int32_t DictationThreshold(int32_t threshold) { return threshold * 3 / 5; }

bool TooCleanForAVoice(const TUtteranceScore& score) { return score.MeanAcousticPerFrame > -2.0; }

bool AcceptDictation(const TUtteranceScore& score, int32_t threshold) {
    if (threshold <= 0) return true;  // threshold 0 accepts every result, as for commands
    return !TooCleanForAVoice(score) && DictationConfidence(score) >= DictationThreshold(threshold);
}

bool AcceptResult(const TUtteranceScore& score, int32_t threshold) {
    if (score.Dictation) return AcceptDictation(score, threshold);
    return AcceptUtterance(score.Text.empty(), score.Confidence, threshold,
                           score.GrammarVerdict > 0   ? TGrammarVerdict::Agrees
                           : score.GrammarVerdict < 0 ? TGrammarVerdict::Disagrees
                                                      : TGrammarVerdict::NotChecked);
}

}  // namespace zel
