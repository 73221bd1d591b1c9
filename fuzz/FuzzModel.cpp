// A profile turned into the recognizer's files, as switch-on does (its
// commands, the shipped number words and its dictation memo), gives a model
// that passes the check and that the engine's own reader loads with the
// n-gram counts we wrote.
#include <sphinxbase/err.h>
#include <sphinxbase/logmath.h>
#include <sphinxbase/ngram_model.h>

#include "actions/NumericModifiers.h"
#include "commands/Profile.h"
#include "commands/ZelError.h"
#include "fuzz/FuzzSupport.h"
#include "langmodel/Vocabulary.h"
#include "recognition/ArpaCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static logmath_t* lmath = [] {
        err_set_logfp(nullptr);
        return logmath_init(1.0001, 0, 0);
    }();
    static const zel::TListaComandos numbers = [] {
        zel::TListaComandos table;
        zel::LoadNumericModifiers(table, ZEL_SOURCE_DIR "/data/modnum.ini");
        return table;
    }();
    std::string in = zelfuzz::WriteInput("in.zpr", data, size);
    zel::TProfileState profile;
    zel::LoadProfile(profile, in);
    zel::TParserPortugues parser;
    try {
        zel::CountRecognizerVocabulary(parser, profile.Comandos, &numbers, profile.Ditado);
    } catch (const zel::TError&) {
        // a count that is no integer ends the bundle; what was added stays
    }
    const std::string folder = zelfuzz::Scratch().string() + "/";
    parser.GenerateModelFiles(folder);
    const std::string lm = folder + zel::kLanguageModelFileName;
    zel::CheckArpaModel(lm);  // a refusal of our own model ends the run
    ngram_model_t* model = ngram_model_read(nullptr, lm.c_str(), NGRAM_ARPA, lmath);
    ZELFUZZ_CHECK(model != nullptr);
    ZELFUZZ_CHECK(ngram_model_get_counts(model)[0] == static_cast<uint32>(parser.NumUnigrams()));
    ngram_model_free(model);
    return 0;
}
