// A profile turned into the recognizer's files, as switch-on does (its
// commands, the shipped number words and its dictation memo), gives a model
// that passes the check and that the engine's own reader loads with the
// n-gram counts we wrote.
#include "actions/NumericModifiers.h"
#include "commands/Profile.h"
#include "commands/ZelError.h"
#include "fuzz/FuzzModelFiles.h"
#include "langmodel/Vocabulary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const zel::TListaComandos numbers = [] {
        zel::TListaComandos table;
        zel::LoadNumericModifiers(table, ZEL_SOURCE_DIR "/data/modnum.ini");
        return table;
    }();
    std::string in = zelfuzz::WriteInput("in.zpr", data, size);
    zel::TProfileState profile;
    try {
        zel::LoadProfile(profile, in);
    } catch (const zel::TError&) {
        return 0;  // no profile
    }
    zel::TParserPortugues parser;
    try {
        zel::CountRecognizerVocabulary(parser, profile.Comandos, &numbers, profile.Ditado);
    } catch (const zel::TError&) {
        // a count that is no integer ends the bundle; what was added stays
    }
    ZELFUZZ_CHECK(zelfuzz::GeneratedModelCounts(parser)[0] == static_cast<uint32_t>(parser.NumUnigrams()));
    return 0;
}
