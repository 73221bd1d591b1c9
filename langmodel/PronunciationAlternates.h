#pragma once
// Other ways a Brazilian speaker says what the letter rules spell: the
// recognizer gets them as alternate pronunciations of the same word, so that
// "próximo" is heard with the x as S as well as SH. They are made by a few
// rules of Brazilian Portuguese over the steps of the letter rules; each rule
// was kept only where speech that was not used to choose it was heard better.
#include <string>
#include <string_view>
#include <vector>

namespace zel {

struct TAlternateRule {
    const char* Name;         // as written in the argument file's "-alternates"
    const char* Description;  // for the log
};

// Every rule there is, kept or not (the benchmark tries each).
const std::vector<TAlternateRule>& AlternateRules();
// The rules in use when the argument file names none.
const std::vector<std::string>& DefaultAlternateRules();
inline constexpr size_t kMaxAlternates = 3;

// The alternates of text's generated pronunciation (TextToPhonemes), as
// single-blank-separated phonemes, without the generated one itself and
// without repeats, at most maxAlternates: first each rule alone, then pairs
// of rules, and so on. A rule changes every place of the text it applies to.
// Unknown rule names are ignored.
std::vector<std::string> PronunciationAlternates(std::string_view text, const std::vector<std::string>& rules,
                                                 size_t maxAlternates = kMaxAlternates);

// The letter rules say nothing for â, à, ô and the accented capitals, and
// stored pronunciations rely on it, so "avô" is spelled as "av" and "ônibus"
// as "nibus". The text with those letters written as the neighbours they
// sound like: â as á, à as a, ô as ó, À as a, Â as á, Ô as ó, and every other
// accented capital as its small letter. The same text when it has none.
std::string WithDroppedLettersRestored(std::string_view text);
// Its name among the alternates' rules ("-alternates"); one of the default ones.
inline constexpr const char* kRestoredLettersRule = "letters";
// The pronunciation of the restored text when the letter rules dropped
// letters of text (single blanks); empty when they dropped none.
std::string RestoredLettersPronunciation(std::string_view text);

// A pronunciation with single blanks and none at either end.
std::string NormalizePhones(std::string_view phones);

}  // namespace zel
