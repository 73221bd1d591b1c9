#include "recognition/DictionaryAlternates.h"

#include <algorithm>

#include "commands/TextUtil.h"
#include "langmodel/ParserPortugues.h"
#include "langmodel/PronunciationAlternates.h"
#include "langmodel/WrittenForm.h"

namespace zel {

namespace {

// Calls line(word, rest) for every line of a dictionary; word is the first
// blank-separated field.
template <class Line>
void ForEachDictionaryLine(const std::string& dictionary, Line&& line) {
    size_t at = 0;
    while (at < dictionary.size()) {
        size_t end = dictionary.find('\n', at);
        if (end == std::string::npos) end = dictionary.size();
        std::string_view text(dictionary.data() + at, end - at);
        at = end + 1;
        size_t cut = 0;
        while (cut < text.size() && static_cast<unsigned char>(text[cut]) > ' ') ++cut;
        line(text.substr(0, cut), text.substr(cut));
    }
}

}  // namespace

std::unordered_set<std::string> DictionaryWords(const std::string& dictionary) {
    std::unordered_set<std::string> out;
    ForEachDictionaryLine(dictionary, [&](std::string_view word, std::string_view) {
        if (!word.empty()) out.emplace(word);
    });
    return out;
}

TDictionaryAlternates DictionaryWithAlternates(const std::string& dictionary, const std::vector<std::string>& rules,
                                               size_t maxAlternates) {
    TDictionaryAlternates out;
    out.Text = dictionary;
    if (!out.Text.empty() && out.Text.back() != '\n') out.Text += "\r\n";
    const bool restoring = std::find(rules.begin(), rules.end(), kRestoredLettersRule) != rules.end();
    const bool onlyRestored = restoring && rules.size() == 1;
    if (rules.empty()) return out;
    ForEachDictionaryLine(dictionary, [&](std::string_view word, std::string_view rest) {
        // "(" never stands in a written form: such a word is an alternate
        // someone wrote by hand.
        if (word.empty() || word.find('(') != std::string_view::npos) return;
        // With only that rule only accented letters count: a big dictionary
        // is not spelled again for nothing.
        if (onlyRestored && std::none_of(word.begin(), word.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xC0; }))
            return;
        std::string phones = NormalizePhones(rest);
        std::string phrase = WordFromWrittenForm(word);
        if (phones.empty() || phones != NormalizePhones(TParserPortugues::TextToPhonemes(phrase))) return;
        // A word whose letters the rules dropped is heard first with them
        // restored, and the rules' variants are of that spelling.
        std::vector<std::string> alts;
        const std::string restored = restoring ? RestoredLettersPronunciation(phrase) : std::string();
        if (!restored.empty()) alts.push_back(restored);
        for (std::string& a : PronunciationAlternates(restored.empty() ? phrase : WithDroppedLettersRestored(phrase),
                                                      rules, maxAlternates))
            if (a != phones && std::find(alts.begin(), alts.end(), a) == alts.end()) alts.push_back(std::move(a));
        if (alts.empty()) return;
        ++out.Words;
        for (size_t k = 0; k < alts.size(); ++k) {
            out.Text.append(word);
            out.Text += "(" + std::to_string(k + 2) + ")\t" + alts[k] + "\r\n";
            ++out.Added;
        }
    });
    return out;
}

std::vector<std::string> AlternateRulesFromArg(const std::string& value) {
    std::string v = Trim(value);
    if (v.empty()) return DefaultAlternateRules();
    std::string lower = AsciiLower(v);
    if (lower == "none" || lower == "no" || lower == "0") return {};
    std::vector<std::string> out;
    std::string cur;
    for (char c : v + " ") {
        if (c == ',' || static_cast<unsigned char>(c) <= ' ') {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    return out;
}

}  // namespace zel
