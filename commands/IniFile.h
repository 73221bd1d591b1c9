#pragma once
// An INI document with the rules of the Windows private-profile functions,
// which the profile, config.ini and modnum.ini were written for:
// - section and key names match without regard to case; the first section
//   and the first key of a name win;
// - a value read loses its blanks at both ends and one pair of enclosing
//   quotation marks, and is cut to 2047 characters;
// - integers are decimal, or hexadecimal after "0x" or "$"; any other text
//   gives the default;
// - a key written replaces its line where it stands; a new key goes after the
//   last line of its section; a new section goes at the end.
// Lookups go through an index, so writing N keys costs O(N), not O(N²).
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zel {

class TIniDocument {
public:
    static constexpr size_t kMaxValueLength = 2047;

    TIniDocument() = default;
    explicit TIniDocument(const std::vector<std::string>& lines);
    // A file's bytes (CR LF, CR or LF) for reading only: blank lines,
    // comments, lines that hold no key and repeated sections and keys (which
    // are never read) are left out, so Lines() is no copy of the file and a
    // file of them costs nothing.
    // wanted, when given, picks the sections worth keeping by their folded
    // name (a profile reads only "geral" and "cmd..." sections).
    using TSectionFilter = bool (*)(std::string_view foldedName);
    static TIniDocument ForReading(std::string_view bytes, TSectionFilter wanted = nullptr);
    // A file the user may have written in UTF-8 (see ReadTextFile); a missing
    // or unreadable one is empty.
    static TIniDocument ForReadingOrEmpty(const std::string& fileName, TSectionFilter wanted = nullptr);

    // A missing or unreadable file reads as an empty document, as the
    // platform's functions return their defaults then.
    static TIniDocument LoadOrEmpty(const std::string& fileName);

    bool HasKey(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
    // Booleans are integers: anything but 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
    // Is there a section of this name at all?
    bool HasSection(std::string_view section) const;
    // The names of the section headers, in file order, duplicates included.
    std::vector<std::string> SectionNames() const;
    // The same names one at a time, without a list of them all.
    void ForEachSectionName(const std::function<void(const std::string&)>& name) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);

    std::vector<std::string> Lines() const;
    // Atomic write with CR LF line ends; raises "Unable to write to %s".
    void Save(const std::string& fileName) const;

private:
    struct Section {
        std::string header;              // the "[name]" line as written; empty for the lines before any section
        std::vector<std::string> lines;  // the lines after the header, up to the next header
        // Folded key → line, first occurrence; only for a section of more
        // than kSmallSection lines (a small one is searched line by line), so
        // that a file of tiny sections does not pay for an index each.
        std::unique_ptr<std::unordered_map<std::string, size_t>> keyIndex;

        Section() = default;
        Section(std::string h, std::vector<std::string> l, std::unique_ptr<std::unordered_map<std::string, size_t>> k)
            : header(std::move(h)), lines(std::move(l)), keyIndex(std::move(k)) {}
        Section(const Section& o)
            : header(o.header),
              lines(o.lines),
              keyIndex(o.keyIndex ? std::make_unique<std::unordered_map<std::string, size_t>>(*o.keyIndex) : nullptr) {}
        Section& operator=(const Section& o) {
            if (this != &o) *this = Section(o);
            return *this;
        }
        Section(Section&&) = default;
        Section& operator=(Section&&) = default;
    };

    void AddLine(std::string line);
    static constexpr size_t kSmallSection = 8;
    void IndexSection(size_t sectionIndex);
    static void IndexSection(Section& s);
    // The line of a folded key in s.
    static std::optional<size_t> FindKey(const Section& s, const std::string& folded);
    const std::string* FindValueLine(std::string_view section, std::string_view key) const;

    // A deque: a file of many sections grows it without moving them all (a
    // vector's growth held the old and the new copy, three sections' room
    // for each one read).
    std::deque<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;  // folded name → first section of that name
};

// Parses a "[name]" line; returns false for any other line.
bool ParseSectionHeader(std::string_view line, std::string& name);
// The integer rule of the INI values: decimal, or hexadecimal after 0x or $.
int32_t IniStrToIntDef(std::string_view text, int32_t fallback);

}  // namespace zel
