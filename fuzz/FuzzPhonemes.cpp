// Letters to phonemes: any text gives symbols of the list the user is shown
// (phoneset.txt, shipped beside the program), each followed by one blank, and
// the same text always gives the same pronunciation.
#include <set>

#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "fuzz/FuzzSupport.h"
#include "langmodel/ParserPortugues.h"

namespace {

// The symbols of phoneset.txt: the first word of each line of its table, from
// the line after the heading up to the first blank line.
std::set<std::string> ShippedSymbols() {
    std::set<std::string> symbols;
    bool inTable = false;
    for (const std::string& line : zel::ReadLines(ZEL_SOURCE_DIR "/data/phoneset.txt")) {
        std::string t = zel::Trim(line);
        if (!inTable) {
            inTable = t.rfind("S\xEDmbolo", 0) == 0;
            continue;
        }
        if (t.empty()) break;
        symbols.insert(t.substr(0, t.find(' ')));
    }
    ZELFUZZ_CHECK(symbols.size() > 20);
    return symbols;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::set<std::string> symbols = ShippedSymbols();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string phonemes = zel::TParserPortugues::TextToPhonemes(text);
    ZELFUZZ_CHECK(phonemes.empty() || phonemes.back() == ' ');
    size_t start = 0;
    while (start < phonemes.size()) {
        size_t blank = phonemes.find(' ', start);
        ZELFUZZ_CHECK(blank != std::string::npos);
        if (blank > start) ZELFUZZ_CHECK(symbols.count(phonemes.substr(start, blank - start)) == 1);
        start = blank + 1;
    }
    ZELFUZZ_CHECK(zel::TParserPortugues::TextToPhonemes(text) == phonemes);
    return 0;
}
