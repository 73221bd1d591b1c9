// A profile turned into the recognizer's files, as switch-on does, gives a
// model that passes the check and that the engine's own reader loads.
#include <sphinxbase/err.h>
#include <sphinxbase/logmath.h>
#include <sphinxbase/ngram_model.h>

#include "commands/Profile.h"
#include "commands/ZelError.h"
#include "fuzz/FuzzSupport.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/ArpaCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static logmath_t* lmath = [] {
        err_set_logfp(nullptr);
        return logmath_init(1.0001, 0, 0);
    }();
    std::string in = zelfuzz::WriteInput("in.zpr", data, size);
    zel::TProfileState profile;
    zel::LoadProfile(profile, in);
    // The vocabulary of switch-on (recognition/RecognitionSwitch.cpp).
    zel::TParserPortugues parser;
    parser.ResetCounts();
    for (const zel::TComando& c : profile.Comandos) {
        if (c.Cmd.empty()) continue;
        parser.AddUnigram(c.Cmd);
        parser.AddBigram("<s> " + c.Cmd);
        parser.AddBigram(c.Cmd + " </s>");
        parser.AddTrigram("<s> " + c.Cmd + " </s>");
        parser.AddDictionaryEntry(c.Cmd, c.Fonemas);
    }
    try {
        parser.AddBundleLines(profile.Ditado);
    } catch (const zel::TError&) {
        // a count that is no integer ends the bundle; what was added stays
    }
    const std::string folder = zelfuzz::Scratch().string() + "/";
    parser.GenerateModelFiles(folder);
    const std::string lm = folder + zel::kLanguageModelFileName;
    zel::CheckArpaModel(lm);  // a refusal of our own model ends the run
    ngram_model_t* model = ngram_model_read(nullptr, lm.c_str(), NGRAM_ARPA, lmath);
    ZELFUZZ_CHECK(model != nullptr);
    ngram_model_free(model);
    return 0;
}
