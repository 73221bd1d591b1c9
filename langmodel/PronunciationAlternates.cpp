#include "langmodel/PronunciationAlternates.h"

#include <algorithm>
#include <functional>
#include <map>

#include "langmodel/ParserPortugues.h"
#include "langmodel/PhoneSegments.h"

namespace zel {
namespace {

unsigned char Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c; }
bool IsLetter(unsigned char c) {
    c = Lower(c);
    return (c >= 'a' && c <= 'z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}
bool IsVowel(unsigned char c) {
    c = Lower(c);
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || (c >= 0xE0 && c <= 0xFC && c != 0xE7 && c != 0xF1 && c != 0xF7);
}

// What a rule sees of one step: its letters and the letters around them.
struct TStep {
    std::string_view Text;
    const TPhoneSegment& Seg;
    unsigned char Letter() const { return Lower(static_cast<unsigned char>(Text[Seg.Letter])); }
    unsigned char At(size_t i) const { return i < Text.size() ? Lower(static_cast<unsigned char>(Text[i])) : 0; }
    unsigned char Next() const { return At(Seg.Letter + Seg.Letters); }
    unsigned char Prev() const { return Seg.Letter ? At(Seg.Letter - 1) : 0; }
    bool WordStart() const { return Seg.Letter == 0 || !IsLetter(Prev()); }
    bool WordEnd() const { return !IsLetter(Next()); }
};

struct TRule {
    TAlternateRule Info;
    // The step's new phones, or nothing when the rule does not apply there.
    std::function<bool(const TStep&, std::string&)> Apply;
};

const std::vector<TRule>& Rules() {
    static const std::vector<TRule> rules = {
        {{"e-ey", "unstressed inner e also as EY"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'e' || s.Seg.Phones != "EH" || s.WordStart() || s.WordEnd()) return false;
             out = "EY";
             return true;
         }},
        {{"x-s", "x also as S"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'x') return false;
             out = "S";
             return true;
         }},
        {{"x-z", "x also as Z"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'x') return false;
             out = "Z";
             return true;
         }},
        {{"r-hh", "final r also as HH"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'r' || s.Seg.Phones != "R" || !s.WordEnd()) return false;
             out = "HH";
             return true;
         }},
        {{"u-uw", "u between consonants also as UW"},
         [](const TStep& s, std::string& out) {
             unsigned char c = s.Letter();
             if ((c != 'u' && c != 0xFA) || s.Seg.Phones != "W" || IsVowel(s.Next()) || IsVowel(s.Prev())) return false;
             out = "UW";
             return true;
         }},
        {{"l-w", "l before a consonant or at the end also as W"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'l' || s.Next() == 'h' || IsVowel(s.Next()) || s.WordStart()) return false;
             out = "W";
             return true;
         }},
        {{"g-zh", "g before e or i also as ZH"},
         [](const TStep& s, std::string& out) {
             unsigned char n = s.Next();
             if (s.Letter() != 'g' || !(n == 'e' || n == 'i' || n == 0xE9 || n == 0xEA || n == 0xED)) return false;
             out = "ZH";
             return true;
         }},
        {{"nh-ny", "nh also as N Y"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'n' || s.Next() != 'h') return false;
             out = "N Y";
             return true;
         }},
        {{"lh-ly", "lh also as L Y"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'l' || s.Next() != 'h') return false;
             out = "L Y";
             return true;
         }},
        {{"a-ah", "final a also as AH"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'a' || s.Seg.Phones != "AA" || !s.WordEnd() || s.WordStart()) return false;
             out = "AH";
             return true;
         }},
        {{"i-iy", "i also as IY"},
         [](const TStep& s, std::string& out) {
             unsigned char c = s.Letter();
             if ((c != 'i' && c != 0xED) || s.Seg.Phones != "Y" || IsVowel(s.Next()) || IsVowel(s.Prev())) return false;
             out = "IY";
             return true;
         }},
        {{"e-iy", "final e also as IY"},
         [](const TStep& s, std::string& out) {
             if (s.Letter() != 'e' || s.Seg.Phones != "EH" || !s.WordEnd() || s.WordStart()) return false;
             out = "IY";
             return true;
         }},
    };
    return rules;
}

std::string Join(const std::vector<TPhoneSegment>& segs, const std::map<size_t, std::string>& changes) {
    std::string out;
    for (size_t i = 0; i < segs.size(); ++i) {
        auto c = changes.find(i);
        const std::string& p = c == changes.end() ? segs[i].Phones : c->second;
        if (p.empty()) continue;
        if (!out.empty()) out += ' ';
        out += p;
    }
    return out;
}

}  // namespace

const std::vector<TAlternateRule>& AlternateRules() {
    static const std::vector<TAlternateRule> infos = [] {
        std::vector<TAlternateRule> v;
        for (const auto& r : Rules()) v.push_back(r.Info);
        return v;
    }();
    return infos;
}

const std::vector<std::string>& DefaultAlternateRules() {
    static const std::vector<std::string> rules = {kRestoredLettersRule, "e-ey", "x-s", "x-z", "r-hh", "u-uw"};
    return rules;
}

std::string WithDroppedLettersRestored(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        const unsigned char c = static_cast<unsigned char>(ch);
        unsigned char to = c;
        if (c == 0xE2 || c == 0xC2) to = 0xE1;       // â Â as á
        else if (c == 0xE0 || c == 0xC0) to = 'a';   // à À as a
        else if (c == 0xF4 || c == 0xD4) to = 0xF3;  // ô Ô as ó
        else if (c >= 0xC1 && c <= 0xDD && c != 0xD7) to = static_cast<unsigned char>(c + 0x20);
        ch = static_cast<char>(to);
    }
    return out;
}

std::string RestoredLettersPronunciation(std::string_view text) {
    const std::string restored = WithDroppedLettersRestored(text);
    if (restored == text) return {};
    std::string phones = NormalizePhones(TParserPortugues::TextToPhonemes(restored));
    return phones == NormalizePhones(TParserPortugues::TextToPhonemes(text)) ? std::string() : phones;
}

std::string NormalizePhones(std::string_view phones) {
    std::string out;
    size_t i = 0;
    while (i < phones.size()) {
        while (i < phones.size() && static_cast<unsigned char>(phones[i]) <= ' ') ++i;
        size_t start = i;
        while (i < phones.size() && static_cast<unsigned char>(phones[i]) > ' ') ++i;
        if (i > start) {
            if (!out.empty()) out += ' ';
            out.append(phones.substr(start, i - start));
        }
    }
    return out;
}

std::vector<std::string> PronunciationAlternates(std::string_view text, const std::vector<std::string>& ruleNames,
                                                 size_t maxAlternates) {
    std::vector<TPhoneSegment> segs = PhoneSegments(text);
    // Each named rule that applies somewhere: its changes, step → phones.
    std::vector<std::map<size_t, std::string>> applying;
    for (const std::string& name : ruleNames) {
        auto rule = std::find_if(Rules().begin(), Rules().end(), [&](const TRule& r) { return name == r.Info.Name; });
        if (rule == Rules().end()) continue;
        std::map<size_t, std::string> changes;
        for (size_t i = 0; i < segs.size(); ++i) {
            std::string phones;
            if (!segs[i].Phones.empty() && rule->Apply(TStep{text, segs[i]}, phones)) changes[i] = phones;
        }
        if (!changes.empty()) applying.push_back(std::move(changes));
    }
    std::vector<std::string> out;
    const std::string base = Join(segs, {});
    // Sets of rules by size: all single rules first, then pairs, …; rules that
    // change the same step (x as S or as Z) are never combined.
    const size_t n = std::min<size_t>(applying.size(), 16);
    for (size_t size = 1; size <= n && out.size() < maxAlternates; ++size) {
        std::vector<bool> pick(n, false);
        std::fill(pick.begin(), pick.begin() + static_cast<std::ptrdiff_t>(size), true);
        do {
            std::map<size_t, std::string> changes;
            bool clash = false;
            for (size_t r = 0; r < n && !clash; ++r)
                if (pick[r])
                    for (const auto& [step, phones] : applying[r]) clash |= !changes.emplace(step, phones).second;
            if (clash) continue;
            std::string alt = Join(segs, changes);
            if (alt != base && std::find(out.begin(), out.end(), alt) == out.end()) out.push_back(alt);
        } while (out.size() < maxAlternates && std::prev_permutation(pick.begin(), pick.end()));
    }
    return out;
}

}  // namespace zel
