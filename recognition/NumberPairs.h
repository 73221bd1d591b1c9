#pragma once
// "dezesseis esquerda": a number word and a command in one breath. The model
// the switch-on writes knows a number word only as the start of a sentence
// and gives every command a high probability after "<s>", so a number
// followed by a command had to back off twice to the command's unigram and
// lost against a single command that sounded a little like both (measured:
// half the pairs misheard or rejected). The control gives the model it hands
// the engine one bigram "number command" per pair, as probable as the
// command at the start of a sentence. The files on disk stay as written.
#include <string>
#include <vector>

namespace zel {

struct TNumberPairs {
    std::string Model;  // the ARPA text with the pairs; empty when nothing was added
    size_t Added = 0;
};

// Words in their written forms. A pair already in the model is kept as it
// is; so are models that are no ARPA text or have no bigram section. At most
// maxPairs bigrams are added (a huge profile gets none, with Added 0).
TNumberPairs ModelWithNumberPairs(const std::string& arpa, const std::vector<std::string>& numbers,
                                  const std::vector<std::string>& commands, size_t maxPairs = 500000);

}  // namespace zel
