#pragma once
// The dictionary the engine loads: the program's dictionary.dic as written,
// plus alternate pronunciations ("word(2)", "word(3)" …) of every word whose
// pronunciation is the generated one. A pronunciation the user typed in is
// taken as it is. dictionary.dic itself is never changed.
#include <string>
#include <unordered_set>
#include <vector>

namespace zel {

struct TDictionaryAlternates {
    std::string Text;  // the dictionary followed by the alternates, CR LF lines
    size_t Words = 0;  // words that got alternates
    size_t Added = 0;  // alternate lines
};

TDictionaryAlternates DictionaryWithAlternates(const std::string& dictionary, const std::vector<std::string>& rules,
                                               size_t maxAlternates);

// The words of a dictionary's lines (the first field of each), as written.
std::unordered_set<std::string> DictionaryWords(const std::string& dictionary);

// The "-alternates" value of the argument file: "none" (or "no", "0") for
// none, otherwise rule names separated by blanks or commas; empty means the
// default rules.
std::vector<std::string> AlternateRulesFromArg(const std::string& value);

}  // namespace zel
