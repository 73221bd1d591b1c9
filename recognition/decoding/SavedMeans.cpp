#include "recognition/decoding/SavedMeans.h"

#include <cmath>
#include <cstdio>

#include "commands/TextFile.h"

namespace zel {

namespace {

// A cepstral value beyond this is no mean of speech or room noise.
constexpr float kMostCepstral = 1000.0f;
constexpr size_t kMostValues = 64;

// The source's name on one line, whatever bytes it holds.
std::string LineKey(const std::string& source) {
    std::string key = source;
    for (char& c : key)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return key;
}

std::vector<float> ParseValues(std::string_view values) {
    std::vector<float> out;
    size_t i = 0;
    while (i < values.size()) {
        while (i < values.size() && values[i] == ' ') ++i;
        if (i == values.size()) break;
        size_t end = values.find(' ', i);
        if (end == std::string_view::npos) end = values.size();
        std::string number(values.substr(i, end - i));
        char* stop = nullptr;
        const float v = std::strtof(number.c_str(), &stop);
        if (stop != number.c_str() + number.size() || !std::isfinite(v) || std::fabs(v) > kMostCepstral ||
            out.size() == kMostValues)
            return {};
        out.push_back(v);
        i = end;
    }
    return out;
}

}  // namespace

std::vector<float> SavedMeanOf(std::string_view text, const std::string& source) {
    const std::string key = LineKey(source) + "\t";
    for (const std::string& line : SplitLines(text))
        if (line.compare(0, key.size(), key) == 0) return ParseValues(std::string_view(line).substr(key.size()));
    return {};
}

std::string WithSavedMean(std::string_view text, const std::string& source, const std::vector<float>& mean) {
    const std::string key = LineKey(source) + "\t";
    std::string line = key;
    for (size_t i = 0; i < mean.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%.4f", i ? " " : "", static_cast<double>(mean[i]));
        line += number;
    }
    std::vector<std::string> lines{line};
    for (const std::string& old : SplitLines(text)) {
        if (lines.size() == kMaxSavedMeans) break;
        const size_t tab = old.find('\t');
        if (tab == std::string::npos || old.compare(0, key.size(), key) == 0) continue;
        if (ParseValues(std::string_view(old).substr(tab + 1)).empty()) continue;
        lines.push_back(old);
    }
    return JoinLinesCrLf(lines);
}

std::vector<float> ReadSavedMean(const std::string& fileName, const std::string& source) {
    try {
        if (fileName.empty() || !FileExists(fileName)) return {};
        return SavedMeanOf(ReadFileBytes(fileName), source);
    } catch (...) {
        return {};
    }
}

void WriteSavedMean(const std::string& fileName, const std::string& source, const std::vector<float>& mean) {
    std::string old;
    try {
        if (FileExists(fileName)) old = ReadFileBytes(fileName);
    } catch (...) {
        // An unreadable file is replaced by what this run knows.
    }
    WriteFileAtomic(fileName, WithSavedMean(old, source, mean));
}

}  // namespace zel
