#pragma once
// The second opinion on a result. The confidence (how well the worst word
// matched the sound) tells speech that is no command from a command well,
// but a wrong command from the right one poorly. So an utterance whose words
// are all commands and number words is decoded a second time over a grammar
// that allows only what the profile can mean, a command with or without a
// number word before it, and is accepted only when both decodings heard the
// same words. Ordinary speech forced onto the command words rarely comes out
// the same way twice.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// The grammar as the engine's finite-state grammar file: words in their
// written forms, each command alone or after one number word, or a number
// word alone.
std::string CommandGrammar(const std::vector<std::string>& numbers, const std::vector<std::string>& commands);

// The words of a result without the marks of alternate pronunciations
// ("abrir(2)" is "abrir").
std::vector<std::string> ResultWords(std::string_view hypothesis);

enum class TGrammarVerdict {
    NotChecked,  // no grammar, or a word outside it (dictation): the confidence alone decides
    Agrees,
    Disagrees,
};

// The verdict on a result whose words are all the grammar's: the main
// decoding's words against the grammar decoding's.
TGrammarVerdict CompareDecodings(const std::vector<std::string>& main, const std::vector<std::string>& grammar);

// Threshold 0 accepts every result, as it always did; otherwise the
// confidence must reach it and the grammar must not disagree.
bool AcceptUtterance(bool empty, int32_t confidence, int32_t threshold, TGrammarVerdict verdict);

}  // namespace zel
