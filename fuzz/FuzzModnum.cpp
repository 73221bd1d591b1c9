// The modifier table holds at most one entry per section of the file plus
// one, and a word of the table gives the number of its first entry.
#include "actions/NumericModifiers.h"
#include "commands/IniFile.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string file = zelfuzz::WriteInput("modnum.ini", data, size);
    zel::TListaComandos table;
    try {
        zel::LoadNumericModifiers(table, file);
    } catch (const zel::TError&) {
        return 0;  // a negative count: the range error
    }
    // The sections of the text as the loader reads it (a UTF-8 file decoded,
    // its unknown bytes left out), not of the raw bytes.
    const std::string text = zel::DecodeFileText(std::string_view(reinterpret_cast<const char*>(data), size)).Text;
    size_t sections = zel::TIniDocument(zel::SplitLines(text)).SectionNames().size();
    ZELFUZZ_CHECK(static_cast<size_t>(table.Count()) <= sections + 1);
    for (int32_t i = 0; i < table.Count() && i < 64; ++i) {
        int32_t found = table.FindPhrase(table[i].Cmd);
        ZELFUZZ_CHECK(found >= 0 && found <= i);
    }
    return 0;
}
