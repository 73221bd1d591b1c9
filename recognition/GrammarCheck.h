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
#include <unordered_set>
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
// decoding's words against the grammar decoding's. numbers: the number words
// that are no command. Besides the same words, two disagreements are taken
// as agreement, because the main decoding was right in most of them on the
// tuning speakers and they turned no ordinary speech into an action:
//  - "number command" where the grammar heard the command alone (it loses
//    the number before a command: "dez retroceder", "quinze diminuir volume");
//  - one command where the grammar heard one number word ("fim" as "vinte",
//    "ponto" as "oito", "cima" as "cinco").
// Two different numbers before the same command stay a refusal: the main
// decoding was as often wrong there, and a wrong number repeats a key.
TGrammarVerdict CompareDecodings(const std::vector<std::string>& main, const std::vector<std::string>& grammar,
                                 const std::unordered_set<std::string>& numbers);

// Threshold 0 accepts every result, as it always did; otherwise the
// confidence must reach it and the grammar must not disagree.
bool AcceptUtterance(bool empty, int32_t confidence, int32_t threshold, TGrammarVerdict verdict);

}  // namespace zel
