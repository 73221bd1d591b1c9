// A corpus counted by the file loader (in batches) gives the very lists and
// counts that its lines give one by one; the model made from it passes our
// check, and the engine's reader loads it with the same number of n-grams.
#include <sphinxbase/err.h>
#include <sphinxbase/logmath.h>
#include <sphinxbase/ngram_model.h>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "fuzz/FuzzSupport.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/ArpaCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static logmath_t* lmath = [] {
        err_set_logfp(nullptr);
        return logmath_init(1.0001, 0, 0);
    }();
    const std::string file = zelfuzz::WriteInput("corpus.txt", data, size);
    zel::TParserPortugues batch;
    batch.ResetCounts();
    batch.LoadCorpusFile(file);

    zel::TParserPortugues single;
    single.ResetCounts();
    // A UTF-8 file is read as its Windows-1252 text, as the loader reads it.
    const std::string text =
        zel::DecodeFileText(std::string_view(reinterpret_cast<const char*>(data), size)).Text;
    zel::ForEachLine(text, [&](std::string_view line) { single.AddSentence(line); });
    single.SortNgrams();
    ZELFUZZ_CHECK(batch.Unigrams() == single.Unigrams());
    ZELFUZZ_CHECK(batch.UnigramCounts() == single.UnigramCounts());
    ZELFUZZ_CHECK(batch.Bigrams() == single.Bigrams());
    ZELFUZZ_CHECK(batch.BigramCounts() == single.BigramCounts());
    ZELFUZZ_CHECK(batch.Trigrams() == single.Trigrams());
    ZELFUZZ_CHECK(batch.TrigramCounts() == single.TrigramCounts());

    const std::string folder = zelfuzz::Scratch().string() + "/";
    batch.GenerateModelFiles(folder);
    const std::string lm = folder + zel::kLanguageModelFileName;
    zel::CheckArpaModel(lm);  // a refusal of our own model ends the run
    ngram_model_t* model = ngram_model_read(nullptr, lm.c_str(), NGRAM_ARPA, lmath);
    ZELFUZZ_CHECK(model != nullptr);
    const uint32* counts = ngram_model_get_counts(model);
    ZELFUZZ_CHECK(counts[0] == static_cast<uint32>(batch.NumUnigrams()));
    ZELFUZZ_CHECK(counts[1] == static_cast<uint32>(batch.NumBigrams()));
    ngram_model_free(model);
    return 0;
}
