#pragma once
// The recognizer's files made from a parser's counts in the scratch folder:
// our own check must pass, and the engine's reader must load the model. Gives
// the n-gram counts the engine read (unigrams, bigrams, trigrams).
#include <sphinxbase/err.h>
#include <sphinxbase/logmath.h>
#include <sphinxbase/ngram_model.h>

#include <array>

#include "fuzz/FuzzSupport.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/ArpaCheck.h"

namespace zelfuzz {

inline std::array<uint32_t, 3> GeneratedModelCounts(zel::TParserPortugues& parser) {
    static logmath_t* lmath = [] {
        err_set_logfp(nullptr);
        return logmath_init(1.0001, 0, 0);
    }();
    const std::string folder = Scratch().string() + "/";
    parser.GenerateModelFiles(folder);
    const std::string lm = folder + zel::kLanguageModelFileName;
    zel::CheckArpaModel(lm);  // a refusal of our own model ends the run
    ngram_model_t* model = ngram_model_read(nullptr, lm.c_str(), NGRAM_ARPA, lmath);
    ZELFUZZ_CHECK(model != nullptr);
    const int order = ngram_model_get_size(model);
    const uint32* counts = ngram_model_get_counts(model);
    std::array<uint32_t, 3> out{};
    for (int i = 0; i < order && i < 3; ++i) out[static_cast<size_t>(i)] = counts[i];
    ngram_model_free(model);
    return out;
}

}  // namespace zelfuzz
