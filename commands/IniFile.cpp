#include "commands/IniFile.h"

#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"

namespace zel {
namespace {

std::string_view TrimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// "key=value" → folded key; false for a line without '='.
bool KeyOfLine(std::string_view line, std::string& key) {
    auto eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    auto name = TrimBlanks(line.substr(0, eq));
    if (!name.empty() && name.front() == '[') return false;
    key = NameFold(name);
    return true;
}

// A written value must stay on its line: a line break inside it would start
// new keys or sections in the file.
std::string OneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace

bool ParseSectionHeader(std::string_view line, std::string& name) {
    auto t = TrimBlanks(line);
    if (t.empty() || t.front() != '[') return false;
    auto close = t.find(']');
    if (close == std::string_view::npos) return false;
    name = std::string(TrimBlanks(t.substr(1, close - 1)));
    return true;
}

int32_t IniStrToIntDef(std::string_view text, int32_t fallback) {
    auto value = TryStrToInt(text);
    return value ? *value : fallback;
}

TIniDocument::TIniDocument(const std::vector<std::string>& lines) {
    sections_.push_back(Section{});
    for (const auto& line : lines) AddLine(line);
    for (size_t i = 0; i < sections_.size(); ++i) IndexSection(i);
}

TIniDocument TIniDocument::ForReading(std::string_view bytes, TSectionFilter wanted) {
    TIniDocument doc;
    doc.sections_.push_back(Section{});
    // Only the first section of a name and the first key of a name in it are
    // ever read: repeats are left out with the lines that hold no key.
    bool repeated = false;
    std::string name, key;
    ForEachLine(bytes, [&](std::string_view line) {
        if (line.find_first_of("[=") == std::string_view::npos) return;
        if (ParseSectionHeader(line, name)) {
            std::string folded = NameFold(name);
            repeated = doc.sectionIndex_.count(folded) != 0 || (wanted && !wanted(folded));
            if (!repeated) doc.AddLine(std::string(line));
            return;
        }
        if (repeated || !KeyOfLine(line, key)) return;
        Section& s = doc.sections_.back();
        if (FindKey(s, key)) return;
        s.lines.emplace_back(line);
        if (s.keyIndex) s.keyIndex->emplace(key, s.lines.size() - 1);
        else if (s.lines.size() > kSmallSection) IndexSection(s);
    });
    return doc;
}

TIniDocument TIniDocument::ForReadingOrEmpty(const std::string& fileName, TSectionFilter wanted) {
    try {
        return ForReading(ReadTextFile(fileName), wanted);
    } catch (const TError&) {
        return TIniDocument();
    }
}

void TIniDocument::AddLine(std::string line) {
    std::string name;
    if (ParseSectionHeader(line, name)) {
        sections_.push_back(Section{std::move(line), {}, {}});
        sectionIndex_.try_emplace(NameFold(name), sections_.size() - 1);
    } else {
        sections_.back().lines.push_back(std::move(line));
    }
}

std::vector<std::string> TIniDocument::SectionNames() const {
    std::vector<std::string> names;
    ForEachSectionName([&](const std::string& name) { names.push_back(name); });
    return names;
}

void TIniDocument::ForEachSectionName(const std::function<void(const std::string&)>& each) const {
    std::string name;
    for (const auto& s : sections_)
        if (!s.header.empty() && ParseSectionHeader(s.header, name)) each(name);
}

void TIniDocument::IndexSection(size_t sectionIndex) { IndexSection(sections_[sectionIndex]); }

void TIniDocument::IndexSection(Section& s) {
    s.keyIndex.reset();
    if (s.lines.size() <= kSmallSection) return;
    s.keyIndex = std::make_unique<std::unordered_map<std::string, size_t>>();
    std::string key;
    for (size_t i = 0; i < s.lines.size(); ++i)
        if (KeyOfLine(s.lines[i], key)) s.keyIndex->try_emplace(key, i);
}

std::optional<size_t> TIniDocument::FindKey(const Section& s, const std::string& folded) {
    if (s.keyIndex) {
        auto k = s.keyIndex->find(folded);
        if (k == s.keyIndex->end()) return std::nullopt;
        return k->second;
    }
    std::string key;
    for (size_t i = 0; i < s.lines.size(); ++i)
        if (KeyOfLine(s.lines[i], key) && key == folded) return i;
    return std::nullopt;
}

TIniDocument TIniDocument::LoadOrEmpty(const std::string& fileName) {
    try {
        return TIniDocument(ReadLines(fileName));
    } catch (const TError&) {
        return TIniDocument();
    }
}

bool TIniDocument::HasSection(std::string_view section) const {
    return sectionIndex_.count(NameFold(section)) != 0;
}

const std::string* TIniDocument::FindValueLine(std::string_view section, std::string_view key) const {
    auto s = sectionIndex_.find(NameFold(section));
    if (s == sectionIndex_.end()) return nullptr;
    const Section& sec = sections_[s->second];
    const std::optional<size_t> k = FindKey(sec, NameFold(TrimBlanks(key)));
    return k ? &sec.lines[*k] : nullptr;
}

bool TIniDocument::HasKey(std::string_view section, std::string_view key) const {
    return FindValueLine(section, key) != nullptr;
}

std::string TIniDocument::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
    const std::string* line = FindValueLine(section, key);
    std::string_view value = line ? std::string_view(*line).substr(line->find('=') + 1) : fallback;
    value = TrimBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > kMaxValueLength) value = value.substr(0, kMaxValueLength);
    return std::string(value);
}

int32_t TIniDocument::ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const {
    if (!HasKey(section, key)) return fallback;
    return IniStrToIntDef(ReadString(section, key, ""), fallback);
}

bool TIniDocument::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(TrimBlanks(key)) + "=" + OneLine(value);
    std::string folded = NameFold(section);
    auto s = sectionIndex_.find(folded);
    if (s == sectionIndex_.end()) {
        sections_.push_back(Section{"[" + std::string(section) + "]", {line}, {}});
        sectionIndex_.emplace(folded, sections_.size() - 1);
        IndexSection(sections_.size() - 1);
        return;
    }
    Section& sec = sections_[s->second];
    std::string foldedKey = NameFold(TrimBlanks(key));
    if (const std::optional<size_t> k = FindKey(sec, foldedKey)) {
        sec.lines[*k] = line;
        return;
    }
    // After the last non-empty line of the section, so blank separators stay last.
    size_t at = sec.lines.size();
    while (at > 0 && Trim(sec.lines[at - 1]).empty()) --at;
    sec.lines.insert(sec.lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    if (sec.keyIndex && at == sec.lines.size() - 1) sec.keyIndex->emplace(foldedKey, at);
    else IndexSection(sec);
}

void TIniDocument::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

std::vector<std::string> TIniDocument::Lines() const {
    std::vector<std::string> out;
    for (const auto& s : sections_) {
        if (!s.header.empty()) out.push_back(s.header);
        out.insert(out.end(), s.lines.begin(), s.lines.end());
    }
    return out;
}

void TIniDocument::Save(const std::string& fileName) const {
    try {
        WriteLines(fileName, Lines());
    } catch (const TError& e) {
        RaiseUnableToWrite(fileName, e.Reason());
    }
}

}  // namespace zel
