#include "langmodel/Confusability.h"

#include <algorithm>
#include <string>

namespace zel {
namespace {

std::vector<std::string_view> Phones(std::string_view s) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
        size_t start = i;
        while (i < s.size() && static_cast<unsigned char>(s[i]) > ' ') ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

// Kinds of phonemes whose members are easily heard for one another. The
// letter rules use Y for the vowel i.
int Kind(std::string_view p) {
    static const std::vector<std::pair<std::vector<std::string_view>, int>> kinds = {
        {{"AA", "AE", "AH", "AO", "AW", "AY", "EH", "ER", "EY", "IH", "IY", "OW", "OY", "UH", "UW", "Y", "W"}, 1},
        {{"M", "N", "NG"}, 2},
        {{"P", "B"}, 3},
        {{"T", "D"}, 4},
        {{"K", "G"}, 5},
        {{"F", "V"}, 6},
        {{"S", "Z"}, 7},
        {{"SH", "ZH", "JH", "CH"}, 8},
        {{"R", "L", "HH"}, 9},
        {{"TH", "DH"}, 10},
    };
    for (const auto& [members, kind] : kinds)
        if (std::find(members.begin(), members.end(), p) != members.end()) return kind;
    return 0;
}

}  // namespace

double PhoneDistance(std::string_view a, std::string_view b) {
    std::vector<std::string_view> x = Phones(a), y = Phones(b);
    std::vector<double> prev(y.size() + 1), cur(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j) prev[j] = static_cast<double>(j);
    for (size_t i = 1; i <= x.size(); ++i) {
        cur[0] = static_cast<double>(i);
        for (size_t j = 1; j <= y.size(); ++j) {
            double sub = x[i - 1] == y[j - 1] ? 0.0 : (Kind(x[i - 1]) != 0 && Kind(x[i - 1]) == Kind(y[j - 1]) ? 0.5 : 1.0);
            cur[j] = std::min({prev[j] + 1.0, cur[j - 1] + 1.0, prev[j - 1] + sub});
        }
        std::swap(prev, cur);
    }
    return prev[y.size()];
}

bool SoundAlike(std::string_view a, std::string_view b) {
    size_t longer = std::max(Phones(a).size(), Phones(b).size());
    return PhoneDistance(a, b) <= std::max(1.5, 0.25 * static_cast<double>(longer));
}

std::vector<TSoundAlike> FindSoundAlikes(std::string_view pronunciation, std::span<const std::string> candidates) {
    std::vector<TSoundAlike> out;
    const size_t mine = Phones(pronunciation).size();
    if (mine == 0) return out;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const size_t theirs = Phones(candidates[i]).size();
        // The distance is at least the difference in length: most candidates
        // are passed over without computing it.
        const double limit = std::max(1.5, 0.25 * static_cast<double>(std::max(mine, theirs)));
        if (theirs == 0 || static_cast<double>(mine > theirs ? mine - theirs : theirs - mine) > limit) continue;
        double d = PhoneDistance(pronunciation, candidates[i]);
        if (d <= limit) out.push_back({i, d});
    }
    std::stable_sort(out.begin(), out.end(), [](const TSoundAlike& l, const TSoundAlike& r) { return l.Distance < r.Distance; });
    return out;
}

namespace {

// The pronunciations of a list, one per entry ("" for an empty phrase).
std::vector<std::string> Pronunciations(const TListaComandos& list) {
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(list.Count()));
    for (const TComando& c : list) out.push_back(c.Cmd.empty() ? std::string() : c.Fonemas);
    return out;
}

}  // namespace

std::vector<std::string> SoundAlikePhrases(const TListaComandos& comandos, int32_t index, const TListaComandos& numeros,
                                           size_t most) {
    if (index < 0 || index >= comandos.Count() || comandos[index].Cmd.empty()) return {};
    std::vector<std::string> candidates = Pronunciations(comandos);
    candidates[static_cast<size_t>(index)].clear();
    const size_t nComandos = candidates.size();
    for (std::string& p : Pronunciations(numeros)) candidates.push_back(std::move(p));
    std::vector<std::string> out;
    for (const TSoundAlike& s : FindSoundAlikes(comandos[index].Fonemas, candidates)) {
        const std::string& phrase = s.Index < nComandos ? comandos[static_cast<int32_t>(s.Index)].Cmd
                                                        : numeros[static_cast<int32_t>(s.Index - nComandos)].Cmd;
        if (std::find(out.begin(), out.end(), phrase) == out.end()) out.push_back(phrase);
        if (out.size() == most) break;
    }
    return out;
}

std::string SoundAlikeWarning(const TListaComandos& comandos, int32_t index, const TListaComandos& numeros) {
    std::string out;
    for (const std::string& p : SoundAlikePhrases(comandos, index, numeros)) out += (out.empty() ? "" : ", ") + p;
    return out.empty() ? out : "Parecido com: " + out;
}

std::vector<TSoundAlikePair> SoundAlikePairs(const TListaComandos& comandos, const TListaComandos& numeros) {
    std::vector<std::string> pc = Pronunciations(comandos), pn = Pronunciations(numeros);
    std::vector<TSoundAlikePair> out;
    for (size_t i = 0; i < pc.size(); ++i) {
        if (pc[i].empty()) continue;
        for (const TSoundAlike& s : FindSoundAlikes(pc[i], std::span<const std::string>(pc).subspan(i + 1)))
            out.push_back({comandos[static_cast<int32_t>(i)].Cmd, comandos[static_cast<int32_t>(i + 1 + s.Index)].Cmd, s.Distance});
        for (const TSoundAlike& s : FindSoundAlikes(pc[i], pn))
            out.push_back({comandos[static_cast<int32_t>(i)].Cmd, numeros[static_cast<int32_t>(s.Index)].Cmd, s.Distance});
    }
    return out;
}

}  // namespace zel
