#include "recognition/NumberPairs.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace zel {

namespace {

struct TLine {
    size_t Begin, End;  // without the line end
};

std::string_view Field(std::string_view line, size_t n) {
    size_t i = 0;
    for (size_t k = 0;; ++k) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (k == n || start == i) return line.substr(start, i - start);
    }
}

}  // namespace

TNumberPairs ModelWithNumberPairs(const std::string& arpa, const std::vector<std::string>& numbers,
                                  const std::vector<std::string>& commands, size_t maxPairs) {
    TNumberPairs out;
    if (numbers.empty() || commands.empty() || numbers.size() * commands.size() > maxPairs) return out;
    size_t data = arpa.find("\\data\\");
    if (data == std::string::npos) return out;

    // The header's bigram count and the bigram section's last line.
    size_t countLine = std::string::npos, countValue = 0, countEnd = 0, sectionEnd = std::string::npos;
    std::unordered_map<std::string_view, std::string_view> startProb;  // command → log prob after <s>
    std::unordered_set<std::string> present;
    int section = 0;
    long long declared = -1;
    for (size_t at = data; at < arpa.size();) {
        size_t end = arpa.find('\n', at);
        if (end == std::string::npos) end = arpa.size();
        std::string_view line(arpa.data() + at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t lineStart = at;
        at = end + 1;
        if (line.size() >= 8 && line[0] == '\\' && line.substr(line.size() - 7) == "-grams:") {
            section = line[1] - '0';
            continue;
        }
        if (line == "\\end\\") break;
        if (section == 0 && line.rfind("ngram 2=", 0) == 0) {
            countLine = lineStart;
            countValue = lineStart + 8;
            countEnd = lineStart + line.size();
            declared = std::atoll(std::string(line.substr(8)).c_str());
        }
        if (section != 2 || line.empty()) continue;
        sectionEnd = end == arpa.size() ? end : end + 1;
        std::string_view w1 = Field(line, 1), w2 = Field(line, 2);
        if (w1 == "<s>") startProb[w2] = Field(line, 0);
        present.insert(std::string(w1) + ' ' + std::string(w2));
    }
    if (countLine == std::string::npos || sectionEnd == std::string::npos || declared < 0) return out;

    std::string added;
    for (const std::string& c : commands) {
        auto p = startProb.find(c);
        if (p == startProb.end()) continue;
        for (const std::string& n : numbers) {
            if (!present.insert(n + ' ' + c).second) continue;
            added.append(p->second);
            added += ' ' + n + ' ' + c + "\r\n";
            ++out.Added;
        }
    }
    if (out.Added == 0) return out;
    out.Model.reserve(arpa.size() + added.size() + 16);
    out.Model.append(arpa, 0, countValue);
    out.Model += std::to_string(declared + static_cast<long long>(out.Added));
    out.Model.append(arpa, countEnd, sectionEnd - countEnd);
    if (sectionEnd == arpa.size() && !arpa.empty() && arpa.back() != '\n') out.Model += "\r\n";
    out.Model += added;
    out.Model.append(arpa, sectionEnd, std::string::npos);
    return out;
}

}  // namespace zel
