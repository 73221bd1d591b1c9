#include "recognition/DictionaryAlternates.h"

#include "commands/TextUtil.h"
#include "langmodel/ParserPortugues.h"
#include "langmodel/PronunciationAlternates.h"
#include "langmodel/WrittenForm.h"

namespace zel {

TDictionaryAlternates DictionaryWithAlternates(const std::string& dictionary, const std::vector<std::string>& rules,
                                               size_t maxAlternates) {
    TDictionaryAlternates out;
    out.Text = dictionary;
    if (!out.Text.empty() && out.Text.back() != '\n') out.Text += "\r\n";
    size_t at = 0;
    while (at < dictionary.size()) {
        size_t end = dictionary.find('\n', at);
        if (end == std::string::npos) end = dictionary.size();
        std::string_view line(dictionary.data() + at, end - at);
        at = end + 1;
        size_t cut = 0;
        while (cut < line.size() && static_cast<unsigned char>(line[cut]) > ' ') ++cut;
        std::string_view word = line.substr(0, cut);
        // "(" never stands in a written form: such a word is an alternate
        // someone wrote by hand.
        if (word.empty() || word.find('(') != std::string_view::npos) continue;
        std::string phones = NormalizePhones(line.substr(cut));
        std::string phrase = WordFromWrittenForm(word);
        if (phones.empty() || phones != NormalizePhones(TParserPortugues::TextToPhonemes(phrase))) continue;
        std::vector<std::string> alts = PronunciationAlternates(phrase, rules, maxAlternates);
        if (alts.empty()) continue;
        ++out.Words;
        for (size_t k = 0; k < alts.size(); ++k) {
            out.Text.append(word);
            out.Text += "(" + std::to_string(k + 2) + ")\t" + alts[k] + "\r\n";
            ++out.Added;
        }
    }
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
