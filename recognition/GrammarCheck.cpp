#include "recognition/GrammarCheck.h"

#include <unordered_set>

namespace zel {

std::string CommandGrammar(const std::vector<std::string>& numbers, const std::vector<std::string>& commands) {
    // State 0: the start; 1: after a number word; 2: the end. From the start
    // every word is equally likely; after a number a command costs nothing
    // more (with 1/commands there, the grammar heard "quinze diminuir
    // volume" as "diminuir volume").
    std::unordered_set<std::string> c(commands.begin(), commands.end()), n(numbers.begin(), numbers.end());
    for (const auto& w : c) n.erase(w);
    const double fromStart = 1.0 / static_cast<double>(c.size() + n.size());
    const double afterNumber = 1.0;
    std::string out = "FSG_BEGIN commands\nN 3\nS 0\nF 2\n";
    std::unordered_set<std::string> seen;
    for (const auto& w : commands) {
        if (w.empty() || !seen.insert(w).second) continue;
        out += "T 0 2 " + std::to_string(fromStart) + " " + w + "\n";
        if (!n.empty()) out += "T 1 2 " + std::to_string(afterNumber) + " " + w + "\n";
    }
    for (const auto& w : numbers)
        if (!w.empty() && n.count(w) && seen.insert(w).second) out += "T 0 1 " + std::to_string(fromStart) + " " + w + "\n";
    // A number word alone is a sentence too (it does nothing).
    if (!n.empty()) out += "T 1 2 1.0\n";
    out += "FSG_END\n";
    return out;
}

std::vector<std::string> ResultWords(std::string_view hypothesis) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < hypothesis.size()) {
        while (i < hypothesis.size() && hypothesis[i] == ' ') ++i;
        size_t start = i;
        while (i < hypothesis.size() && hypothesis[i] != ' ') ++i;
        if (i == start) break;
        std::string_view w = hypothesis.substr(start, i - start);
        if (w.size() > 3 && w.back() == ')') {
            size_t open = w.rfind('(');
            if (open != std::string_view::npos && open > 0) w = w.substr(0, open);
        }
        out.emplace_back(w);
    }
    return out;
}

TGrammarVerdict CompareDecodings(const std::vector<std::string>& main, const std::vector<std::string>& grammar,
                                 const std::unordered_set<std::string>& numbers) {
    if (main == grammar) return TGrammarVerdict::Agrees;
    auto number = [&](const std::string& w) { return numbers.count(w) > 0; };
    const bool numberLost = main.size() == 2 && number(main[0]) && !number(main[1]) && grammar.size() == 1 &&
                            grammar[0] == main[1];
    const bool commandAsNumber = main.size() == 1 && !number(main[0]) && grammar.size() == 1 && number(grammar[0]);
    return numberLost || commandAsNumber ? TGrammarVerdict::Agrees : TGrammarVerdict::Disagrees;
}

bool AcceptUtterance(bool empty, int32_t confidence, int32_t threshold, TGrammarVerdict verdict) {
    if (empty) return false;
    if (threshold <= 0) return true;
    return confidence >= threshold && verdict != TGrammarVerdict::Disagrees;
}

}  // namespace zel
