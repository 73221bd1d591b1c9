// A corpus counted by the file loader (in batches) gives the very lists and
// counts that its lines give one by one; the model made from it passes our
// check, and the engine's reader loads it with the same number of n-grams.
#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "fuzz/FuzzModelFiles.h"
#include "langmodel/ParserPortugues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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

    const auto counts = zelfuzz::GeneratedModelCounts(batch);
    ZELFUZZ_CHECK(counts[0] == static_cast<uint32_t>(batch.NumUnigrams()));
    ZELFUZZ_CHECK(counts[1] == static_cast<uint32_t>(batch.NumBigrams()));
    return 0;
}
