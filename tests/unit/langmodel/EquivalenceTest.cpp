// The builder against the literal, slow reference on random corpora: the same
// lists, counts and files, byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "NaiveModel.h"
#include "commands/LocaleCollator.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "langmodel/ParserPortugues.h"
#include "tests/support/TempDir.h"

namespace {

using zel::TParserPortugues;
using zeltest::TNaiveModel;
using zeltest::TTempDir;

struct TRandomText {
    std::mt19937 rng;
    bool caseVariants;  // accented letters sometimes in capitals: ç and Ç are one token
    std::vector<std::string> vocabulary;

    TRandomText(unsigned seed, bool variants) : rng(seed), caseVariants(variants) {
        const char* syllables[] = {"ca", "sa", "ba", "to", "ri", "lu", "\xE7\xE3o", "n\xE9", "\xE1gua", "xe", "qu", "mo"};
        for (int w = 0; w < 24; ++w) {
            std::string word;
            int n = 1 + static_cast<int>(rng() % 3);
            for (int s = 0; s < n; ++s) word += syllables[rng() % 12];
            vocabulary.push_back(word);
        }
    }
    size_t Pick(size_t n) { return rng() % n; }
    std::string Word() {
        std::string w = vocabulary[Pick(vocabulary.size())];
        for (char& c : w) {
            unsigned char u = static_cast<unsigned char>(c);
            if (u >= 'a' && u <= 'z' && Pick(3) == 0) c = static_cast<char>(u - 32);
            if (caseVariants && u >= 0xE0 && u != 0xF7 && Pick(2) == 0) c = static_cast<char>(u - 32);
        }
        return w;
    }
    std::string Sentence() {
        const char* separators[] = {" ", ", ", ".", "  ", "\t", "-", "1", "?", " \x01 "};
        std::string line = Pick(4) == 0 ? " " : "";
        int words = static_cast<int>(Pick(9));
        for (int i = 0; i < words; ++i) {
            if (i) line += separators[Pick(9)];
            line += Word();
        }
        if (Pick(4) == 0) line += "!";
        return line;
    }
};

// Both builders get the same calls.
struct TBoth {
    TParserPortugues real;
    TNaiveModel naive;
    explicit TBoth(bool mend) : naive(mend) {}
    void Reset() { real.ResetCounts(), naive.ResetCounts(); }
    void Sentence(const std::string& s) { real.AddSentence(s), naive.AddSentence(s); }
    void CountLine(const std::string& s) { real.AddCountLine(s), naive.AddCountLine(s); }
    void Unigram(const std::string& s) { real.AddUnigram(s), naive.AddUnigram(s); }
    void Bigram(const std::string& s) { real.AddBigram(s), naive.AddBigram(s); }
    void Trigram(const std::string& s) { real.AddTrigram(s), naive.AddTrigram(s); }
    void Dictionary(const std::string& s) { real.AddDictionaryLine(s), naive.AddDictionaryLine(s); }
    void Sort() { real.SortNgrams(), naive.SortNgrams(); }
};

std::vector<std::string> MendedList(const TNaiveModel& naive, const std::vector<std::string>& list, bool mend) {
    if (!mend) return list;
    // The reference keeps first-addition forms; the builder gives unigram forms.
    std::vector<std::string> out;
    for (const auto& entry : list) {
        std::string mended;
        size_t from = 0;
        for (;;) {
            size_t to = entry.find(' ', from);
            std::string token = entry.substr(from, to == std::string::npos ? std::string::npos : to - from);
            std::string form = token;
            for (const auto& u : naive.Unigrams())
                if (zel::LocaleEqual(u, token)) form = u;
            mended += (from ? " " : "") + form;
            if (to == std::string::npos) break;
            from = to + 1;
        }
        out.push_back(mended);
    }
    return out;
}

void ExpectSameLists(TBoth& b, bool mend) {
    EXPECT_EQ(b.real.Unigrams(), b.naive.Unigrams());
    EXPECT_EQ(b.real.UnigramCounts(), b.naive.UnigramCounts());
    EXPECT_EQ(b.real.Bigrams(), MendedList(b.naive, b.naive.Bigrams(), mend));
    EXPECT_EQ(b.real.BigramCounts(), b.naive.BigramCounts());
    EXPECT_EQ(b.real.Trigrams(), MendedList(b.naive, b.naive.Trigrams(), mend));
    EXPECT_EQ(b.real.TrigramCounts(), b.naive.TrigramCounts());
}

void RunRandomCorpus(unsigned seed, bool mend) {
    TRandomText text(seed, mend);
    TBoth b(mend);
    b.Reset();
    // Command phrases first, as recognition start counts them.
    for (int c = 0; c < 4; ++c) {
        // With one form per word the phrases are written as a corpus writes them.
        std::string w = mend ? text.Word() : zel::AsciiUpper(text.Word());
        b.Unigram(w);
        b.Bigram("<s> " + w);
        b.Bigram(w + " </s>");
        b.Trigram("<s> " + w + " </s>");
        b.Dictionary(w + "\tK AA Z AA");
    }
    for (int i = 0; i < 50; ++i) {
        b.Sentence(text.Sentence());
        if (text.Pick(10) == 0) {
            std::string w = text.Word();
            for (char& c : w)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
            std::string n = std::to_string(1 + text.Pick(3));
            b.CountLine(n + "\t" + w);
            b.CountLine(n + "\t<s> " + w);
            b.CountLine(n + "\t" + w + " </s>");
            b.CountLine(n + "\t<s> " + w + " </s>");
        }
        if (text.Pick(25) == 0) b.Sort();
    }
    b.CountLine("### DIC ###");
    ExpectSameLists(b, mend);

    TTempDir dir;
    b.real.GenerateModelFiles(dir.Path().string());
    EXPECT_EQ(dir.Read("dictionary.dic"), b.naive.Dictionary());
    EXPECT_EQ(dir.Read("languagemodel.lm"), b.naive.LanguageModel());
    EXPECT_EQ(dir.Read("tokens.ubt"), b.naive.CountFile());
    ExpectSameLists(b, mend);
}

TEST(Equivalence, RandomCorporaWithOneFormPerWord) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        RunRandomCorpus(seed, false);
    }
}

TEST(Equivalence, RandomCorporaWithCaseVariantsOfAccentedLetters) {
    for (unsigned seed = 11; seed <= 14; ++seed) {
        SCOPED_TRACE(seed);
        RunRandomCorpus(seed, true);
    }
}

// A corpus file is counted in batches; the result is that of the reference's
// sentences one by one. Also with counts that were there before.
TEST(Equivalence, CorpusFileAgainstSentenceBySentence) {
    for (unsigned seed = 21; seed <= 24; ++seed) {
        SCOPED_TRACE(seed);
        const bool mend = seed % 2 == 0;
        TRandomText text(seed, mend);
        std::string file;
        const char* ends[] = {"\r\n", "\n", "\r", "\n\n"};
        for (int i = 0; i < 60; ++i) file += text.Sentence() + ends[text.Pick(4)];
        file += "sem fim de linha";
        const std::vector<std::string> lines = zel::SplitLines(file);
        ASSERT_GT(lines.size(), 60u);
        TTempDir dir;
        dir.Write("corpus.txt", file);

        TParserPortugues real;
        TNaiveModel naive(mend);
        real.ResetCounts(), naive.ResetCounts();
        real.AddUnigram("CASA"), naive.AddUnigram("CASA");
        real.AddBigram("<s> CASA"), naive.AddBigram("<s> CASA");
        real.LoadCorpusFile(dir.File("corpus.txt"));
        for (const auto& line : lines) naive.AddSentence(line);
        naive.SortNgrams();
        EXPECT_EQ(real.Unigrams(), naive.Unigrams());
        EXPECT_EQ(real.UnigramCounts(), naive.UnigramCounts());
        EXPECT_EQ(real.Bigrams(), MendedList(naive, naive.Bigrams(), mend));
        EXPECT_EQ(real.BigramCounts(), naive.BigramCounts());
        EXPECT_EQ(real.Trigrams(), MendedList(naive, naive.Trigrams(), mend));
        EXPECT_EQ(real.TrigramCounts(), naive.TrigramCounts());
        real.GenerateModelFiles(dir.Path().string());
        EXPECT_EQ(dir.Read("languagemodel.lm"), naive.LanguageModel());
        EXPECT_EQ(dir.Read("tokens.ubt"), naive.CountFile());
    }
}

}  // namespace
