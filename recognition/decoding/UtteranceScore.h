#pragma once
// What the main decoder's result is worth: the measures of its words, taken
// from the engine's segments (fillers left out), and the confidence the
// threshold is compared with.
#include <cstdint>
#include <string>
#include <unordered_set>

#include "recognition/RecognizerControl.h"

struct ps_decoder_s;

namespace zel {

// The confidence (0..100) of a utterance whose words scored at least this
// many natural-log units of acoustic likelihood per frame in the worst word.
int32_t ConfidenceFromAcousticPerFrame(double lnPerFrame);

// text: the decoder's hypothesis (core text); commandWords: the commands'
// and number words' written forms, a result with any other word being
// dictation. The grammar's verdict and the decision are not set here.
TUtteranceScore ScoreResult(ps_decoder_s* ps, const std::string& text,
                            const std::unordered_set<std::string>& commandWords);

}  // namespace zel
