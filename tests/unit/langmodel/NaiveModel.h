#pragma once
// A small, slow, literal builder used only to check the real one: linear
// searches with LocaleEqual, back-off sums that scan every bigram per unigram
// and every trigram per bigram. Its files come back as strings.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zeltest {

class TNaiveModel {
public:
    // mendForms: write every token of an n-gram in the form of its unigram
    // entry (and match the back-off sums on those forms).
    explicit TNaiveModel(bool mendForms) : mendForms_(mendForms) {}

    void ResetCounts();
    void AddUnigram(std::string_view text) { Add(uni_, uniCount_, text, 1); }
    void AddBigram(std::string_view text) { Add(bi_, biCount_, text, 1); }
    void AddTrigram(std::string_view text) { Add(tri_, triCount_, text, 1); }
    void AddSentence(std::string_view line);
    void AddCountLine(std::string_view line);
    void SortNgrams();
    void AddDictionaryLine(std::string_view line);

    std::string Dictionary();     // completes the list, like WriteDictionary
    std::string LanguageModel();  // sorts first, like WriteLanguageModel
    std::string CountFile() const;

    const std::vector<std::string>& Unigrams() const { return uni_; }
    const std::vector<std::string>& Bigrams() const { return bi_; }
    const std::vector<std::string>& Trigrams() const { return tri_; }
    const std::vector<int32_t>& UnigramCounts() const { return uniCount_; }
    const std::vector<int32_t>& BigramCounts() const { return biCount_; }
    const std::vector<int32_t>& TrigramCounts() const { return triCount_; }

private:
    static void Add(std::vector<std::string>& list, std::vector<int32_t>& counts, std::string_view text, int32_t n);
    std::string Mended(const std::string& ngram) const;

    bool mendForms_;
    std::vector<std::string> uni_, bi_, tri_, dictionary_;
    std::vector<int32_t> uniCount_, biCount_, triCount_;
};

}  // namespace zeltest
