#pragma once
// Whether a dictated sentence is typed. A command sentence is judged by its
// worst word (GrammarCheck.h); a long dictated sentence nearly always holds
// one badly matched word, so that measure rejected nine right sentences in
// ten and did not follow which ones were wrong. A dictated sentence is judged
// by how well all its words matched the sound together, against a milder
// threshold: its errors are words the language model preferred, which the
// sound cannot tell, and a rejected sentence loses every word it had right.
// Music and plain tones are told apart by matching better than any voice in
// a room does.
#include <cstdint>

#include "recognition/RecognizerControl.h"

namespace zel {

// The dictation's confidence: the acoustic score per frame over all the
// sentence's words, on the commands' 0..100 scale.
int32_t DictationConfidence(const TUtteranceScore& score);
// The "Confiança" threshold as it applies to dictation: three fifths of it
// (the default 50 asks 30 of the sentence as a whole).
int32_t DictationThreshold(int32_t threshold);
// Matched better than -2 natural-log units a frame on the average: no voice
// through a microphone did (speech ranged from -6.1 to -2.5 on the tuning
// voices), a tone or a chord does.
bool TooCleanForAVoice(const TUtteranceScore& score);
bool AcceptDictation(const TUtteranceScore& score, int32_t threshold);

// The decision on any scored result: a dictated one by the rule above, the
// others by the commands' (AcceptUtterance, with the grammar's verdict).
bool AcceptResult(const TUtteranceScore& score, int32_t threshold);

}  // namespace zel
