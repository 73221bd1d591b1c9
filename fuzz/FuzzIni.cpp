// The document kept for reading answers every read as the whole document
// does, and a written key reads back as written.
#include "commands/IniFile.h"
#include "commands/TextFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zel::TIniDocument whole(zel::SplitLines(bytes));
    zel::TIniDocument reading = zel::TIniDocument::ForReading(bytes);
    std::vector<std::string> names = whole.SectionNames();
    ZELFUZZ_CHECK(reading.SectionNames().size() <= names.size());
    size_t asked = 0;
    for (const std::string& line : zel::SplitLines(bytes)) {
        if (++asked > 200) break;
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        for (size_t s = 0; s < names.size() && s < 8; ++s)
            ZELFUZZ_CHECK(whole.ReadString(names[s], key, "\x01") == reading.ReadString(names[s], key, "\x01"));
        ZELFUZZ_CHECK(whole.ReadString("", key, "\x01") == reading.ReadString("", key, "\x01"));
    }
    // A value written into the document reads back (blanks at its ends and
    // one pair of quotes aside, cut at 2047 characters).
    std::string value(bytes.substr(0, std::min<size_t>(bytes.size(), 64)));
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    whole.WriteString("zelfuzz", "chave", "<" + value + ">");
    ZELFUZZ_CHECK(whole.ReadString("zelfuzz", "chave", "") == "<" + value + ">");
    return 0;
}
