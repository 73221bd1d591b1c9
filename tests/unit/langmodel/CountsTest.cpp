// Counting: the three lists, their counts, the order of entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/LocaleCollator.h"
#include "commands/ZelError.h"
#include "commands/TextUtil.h"
#include "langmodel/ParserPortugues.h"
#include "tests/support/TempDir.h"

namespace {

using zel::TParserPortugues;
using Strings = std::vector<std::string>;
using Counts = std::vector<int32_t>;

TEST(Counts, ResetSeedsTheMarkersAndKeepsTheDictionary) {
    TParserPortugues p;
    p.AddDictionaryLine("casa\tK AA Z AA");
    p.AddSentence("uma frase qualquer");
    p.ResetCounts();
    EXPECT_EQ(p.Unigrams(), (Strings{"<s>", "</s>"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{1, 1}));
    EXPECT_EQ(p.Bigrams(), (Strings{"<s> </s>"}));
    EXPECT_EQ(p.BigramCounts(), (Counts{1}));
    EXPECT_TRUE(p.Trigrams().empty());
    EXPECT_EQ(p.Dictionary(), (Strings{"casa\tK AA Z AA"}));
}

TEST(Counts, ASentenceCountsItsWordsBetweenMarkers) {
    TParserPortugues p;
    p.AddSentence("Abrir o navegador, agora!");
    EXPECT_EQ(p.Unigrams(), (Strings{"<s>", "ABRIR", "O", "NAVEGADOR", "AGORA", "</s>"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(p.Bigrams(), (Strings{"<s> ABRIR", "ABRIR O", "O NAVEGADOR", "NAVEGADOR AGORA", "AGORA </s>"}));
    EXPECT_EQ(p.Trigrams(), (Strings{"<s> ABRIR O", "ABRIR O NAVEGADOR", "O NAVEGADOR AGORA", "NAVEGADOR AGORA </s>"}));
}

TEST(Counts, PunctuationSplitsAccentsStayLowerCase) {
    TParserPortugues p;
    p.AddSentence("guarda-chuva");
    EXPECT_EQ(p.Unigrams(), (Strings{"<s>", "GUARDA", "CHUVA", "</s>"}));
    TParserPortugues q;
    q.AddSentence("a\xE7\xE3o");
    EXPECT_EQ(q.Unigrams(), (Strings{"<s>", "A\xE7\xE3O", "</s>"}));
    TParserPortugues r;
    r.AddSentence("2004");
    r.AddSentence("");
    r.AddSentence(" \t\x01,. ");
    EXPECT_EQ(r.Unigrams(), (Strings{"<s>", "</s>"}));
    EXPECT_EQ(r.UnigramCounts(), (Counts{3, 3}));
    EXPECT_EQ(r.Bigrams(), (Strings{"<s> </s>"}));
    EXPECT_EQ(r.BigramCounts(), (Counts{3}));
}

TEST(Counts, BytesFromTheLetterAUpStay) {
    TParserPortugues p;
    p.AddSentence("[x]_{y} ~z\x80\xFF");
    EXPECT_EQ(p.Unigrams(), (Strings{"<s>", "[X]_{Y}", "~Z\x80\xFF", "</s>"}));
}

TEST(Counts, AnEntryKeepsItsFirstFormAndIgnoresCase) {
    TParserPortugues p;
    p.AddUnigram("abrir");
    p.AddUnigram("ABRIR");
    EXPECT_EQ(p.Unigrams(), (Strings{"abrir"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{2}));
    p.AddUnigram("\xC1GUA");
    p.AddUnigram("\xE1gua");
    p.AddUnigram("agua");  // accents count
    EXPECT_EQ(p.Unigrams(), (Strings{"abrir", "\xC1GUA", "agua"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{2, 2, 1}));
}

TEST(Counts, NgramTokensAreGivenInTheFormOfTheirUnigram) {
    TParserPortugues p;
    p.ResetCounts();
    p.AddUnigram("Aten\xE7\xE3o");  // a command phrase counted first
    p.AddBigram("<s> Aten\xE7\xE3o");
    p.AddSentence("ATEN\xC7\xC3O agora");  // the corpus form differs in case
    EXPECT_EQ(p.Unigrams(), (Strings{"<s>", "</s>", "Aten\xE7\xE3o", "AGORA"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{2, 2, 2, 1}));
    EXPECT_EQ(p.Bigrams(), (Strings{"<s> </s>", "<s> Aten\xE7\xE3o", "Aten\xE7\xE3o AGORA", "AGORA </s>"}));
    EXPECT_EQ(p.BigramCounts(), (Counts{1, 2, 1, 1}));
}

TEST(Counts, CountLinesSelectTheListByTheirBlanks) {
    TParserPortugues p;
    p.AddCountLine("3\tBOM DIA");
    p.AddCountLine("### DIC ###");
    p.AddCountLine("2\tUM DOIS TRES QUATRO");
    p.AddCountLine("0\tCASA");
    p.AddCountLine("-4\tCASA");
    p.AddCountLine("  2\tCASA\r\n");
    p.AddCountLine("1\tUM DOIS TRES");
    p.AddCountLine("1\t\tCASA");
    p.AddCountLine("");
    p.AddCountLine("1\tCASA\tCASA");
    EXPECT_EQ(p.Unigrams(), (Strings{"CASA"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{2}));
    EXPECT_EQ(p.Bigrams(), (Strings{"BOM DIA"}));
    EXPECT_EQ(p.BigramCounts(), (Counts{3}));
    EXPECT_EQ(p.Trigrams(), (Strings{"UM DOIS TRES"}));
}

TEST(Counts, ACountLineWithoutANumberRaisesAndAddsNothing) {
    TParserPortugues p;
    p.AddCountLine("1\tCASA");
    try {
        p.AddCountLine("CASA\tCASA");
        FAIL() << "no error";
    } catch (const zel::TError& e) {
        EXPECT_STREQ(e.what(), "'CASA' is not a valid integer value");
    }
    EXPECT_EQ(p.UnigramCounts(), (Counts{1}));
    EXPECT_THROW(p.AddCountLine("99999999999\tCASA"), zel::TError);
    EXPECT_EQ(p.UnigramCounts(), (Counts{1}));
}

TEST(Counts, AHugeCountIsAddedAtOnceAndSaturates) {
    TParserPortugues p;
    p.AddCountLine("2147483647\tCASA");
    p.AddCountLine("2147483647\tCASA");
    p.AddSentence("casa");
    EXPECT_EQ(p.UnigramCounts()[0], 2147483647);
    p.AddCountLine("$7FFFFFFF\tBOM DIA");
    EXPECT_EQ(p.BigramCounts().back(), 2147483647);
}

TEST(Counts, APhraseWithBlanksIsOneTokenOfItsNgrams) {
    TParserPortugues p;
    p.ResetCounts();
    p.AddUnigram("abrir navegador");
    p.AddBigram("<s> abrir navegador");
    p.AddBigram("abrir navegador </s>");
    p.AddTrigram("<s> abrir navegador </s>");
    p.AddSentence("abrir navegador");  // the words on their own
    EXPECT_EQ(p.Unigrams(), (Strings{"<s>", "</s>", "abrir navegador", "ABRIR", "NAVEGADOR"}));
    EXPECT_EQ(p.Bigrams(), (Strings{"<s> </s>", "<s> abrir navegador", "abrir navegador </s>", "<s> ABRIR",
                                    "ABRIR NAVEGADOR", "NAVEGADOR </s>"}));
    EXPECT_EQ(p.Trigrams(), (Strings{"<s> abrir navegador </s>", "<s> ABRIR NAVEGADOR", "ABRIR NAVEGADOR </s>"}));
    // As count lines the phrase travels in its written form.
    TParserPortugues q;
    q.AddCountLine("2\tabrir+navegador");
    q.AddCountLine("2\t<s> abrir+navegador");
    q.AddCountLine("1\tctrl%2Bc");
    EXPECT_EQ(q.Unigrams(), (Strings{"abrir navegador", "ctrl+c"}));
    EXPECT_EQ(q.Bigrams(), (Strings{"<s> abrir navegador"}));
}

TEST(Counts, NoNgramWithoutEnoughBlanksOrWithAnEmptyToken) {
    TParserPortugues p;
    p.AddBigram("CASA");
    p.AddTrigram("BOM DIA");
    p.AddBigram("CASA ");
    p.AddTrigram(" BOM DIA");
    p.AddUnigram("");
    EXPECT_TRUE(p.Unigrams().empty());
    EXPECT_TRUE(p.Bigrams().empty());
    EXPECT_TRUE(p.Trigrams().empty());
}

TEST(Counts, SortOrdersByTheLocaleAndLaterAdditionsAreAppended) {
    TParserPortugues p;
    p.AddCountLine("5\tbeta");
    p.AddCountLine("2\tAlfa");
    p.AddCountLine("1\tgama");
    p.SortNgrams();
    EXPECT_EQ(p.Unigrams(), (Strings{"Alfa", "beta", "gama"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{2, 5, 1}));
    p.AddUnigram("aaa");
    EXPECT_EQ(p.Unigrams(), (Strings{"Alfa", "beta", "gama", "aaa"}));
    p.SortNgrams();
    EXPECT_EQ(p.Unigrams(), (Strings{"aaa", "Alfa", "beta", "gama"}));
}

TEST(Counts, NgramsSortByTheirWholeText) {
    // All primary weights are compared before any accent: "É B" before "E C".
    TParserPortugues p;
    for (const char* b : {"E C", "\xC9 B", "E B", "\xC9 A", "EA A", "E AB", "E\xC9 A", "\xC9 \xC1"})
        p.AddCountLine(std::string("1\t") + b);
    p.SortNgrams();
    EXPECT_EQ(p.Bigrams(), (Strings{"\xC9 A", "\xC9 \xC1", "E AB", "E B", "\xC9 B", "E C", "EA A", "E\xC9 A"}));
}

TEST(Counts, NgramOrderIsTheLocaleOrderOfTheWholeTexts) {
    // Tokens from a wide alphabet, phrases with blanks and no-break spaces
    // among them; the order must be LocaleCompare's on the whole texts.
    const std::string letters[] = {"a", "A", "\xE1", "\xC1", "\xE2", "b", "e", "\xE9", "\xEA", "\xE7", "\xC7", "_",
                                   "[", "~", "\xAA", "\xA0", "\xAD", "ae", "\xE6", "ss", "\xDF", "o", "\xF4"};
    unsigned x = 99;
    auto next = [&x] { return (x = x * 1103515245u + 12345u) >> 16; };
    auto token = [&] {
        std::string t;
        int n = 1 + static_cast<int>(next() % 3);
        for (int i = 0; i < n; ++i) t += letters[next() % 23];
        if (next() % 15 == 0) t += " " + letters[next() % 23];
        return t;
    };
    TParserPortugues p;
    for (int i = 0; i < 400; ++i) {
        std::string a = token(), b = token(), c = token();
        p.AddUnigram(a), p.AddUnigram(b), p.AddUnigram(c);
        p.AddBigram(a + " " + b);
        p.AddTrigram(a + " " + b + " " + c);
    }
    p.SortNgrams();
    for (const Strings& list : {p.Unigrams(), p.Bigrams(), p.Trigrams()}) {
        ASSERT_GT(list.size(), 100u);
        for (size_t i = 1; i < list.size(); ++i)
            EXPECT_LE(zel::LocaleCompare(list[i - 1], list[i]), 0) << list[i - 1] << " / " << list[i];
    }
}

// A corpus saved in UTF-8 (as Linux editors save it) gives the very model
// files of the same corpus in Windows-1252.
TEST(Counts, AUtf8CorpusGivesTheModelOfTheWindows1252One) {
    zeltest::TTempDir cpDir, utfDir;
    cpDir.Write("c.txt", "ol\xE1 aten\xE7\xE3o\r\nvoc\xEA est\xE1 a\xED\r\nol\xE1 voc\xEA\r\n");
    utfDir.Write("c.txt", "olá atenção\nvocê está aí\nolá você\n");
    TParserPortugues a, b;
    a.LoadCorpusFile(cpDir.File("c.txt"));
    b.LoadCorpusFile(utfDir.File("c.txt"));
    EXPECT_EQ(b.Unigrams(), (Strings{"</s>", "<s>", "A\xED", "ATEN\xE7\xE3O", "EST\xE1", "OL\xE1", "VOC\xEA"}));
    a.GenerateModelFiles(cpDir.File(""));
    b.GenerateModelFiles(utfDir.File(""));
    for (const char* file : {zel::kDictionaryFileName, zel::kLanguageModelFileName})
        EXPECT_EQ(utfDir.Read(file), cpDir.Read(file)) << file;
}

TEST(Counts, CorpusFileLinesEndInCrLfCrOrLf) {
    zeltest::TTempDir dir;
    dir.Write("c.txt", std::string("um\r\ndois\rtr\xEAs\n\nquatro\x00 cinco", 28));
    TParserPortugues p;
    p.LoadCorpusFile(dir.File("c.txt"));
    EXPECT_EQ(p.Unigrams(), (Strings{"</s>", "<s>", "CINCO", "DOIS", "QUATRO", "TR\xEAS", "UM"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{5, 5, 1, 1, 1, 1, 1}));
    EXPECT_EQ(p.Trigrams().size(), 5u);
}

TEST(Counts, ALineOfMegabytesWithoutAnEnd) {
    std::string line;
    const std::string separators[] = {std::string(1, '\0'), " ", ",", "\x01", "\t"};
    for (int i = 0; i < 300000; ++i) line += "palavra" + std::string(1, static_cast<char>('a' + i % 26)) + separators[i % 5];
    zeltest::TTempDir dir;
    dir.Write("big.txt", line);
    TParserPortugues p;
    p.LoadCorpusFile(dir.File("big.txt"));
    EXPECT_EQ(p.NumUnigrams(), 2 + 26);
    EXPECT_EQ(p.UnigramCounts()[0], 1);  // "</s>": one sentence
    int64_t words = 0;
    for (int32_t c : p.UnigramCounts()) words += c;
    EXPECT_EQ(words, 2 + 300000);
    EXPECT_EQ(p.NumBigrams(), 26 + 2);
    EXPECT_EQ(p.NumTrigrams(), 26 + 2);
}

TEST(Counts, AnUnreadableCorpusChangesNoCount) {
    zeltest::TTempDir dir;
    TParserPortugues p;
    p.ResetCounts();
    try {
        p.LoadCorpusFile(dir.File("missing.txt"));
        FAIL() << "no error";
    } catch (const zel::TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir.File("missing.txt"));
    }
    EXPECT_EQ(p.Unigrams(), (Strings{"<s>", "</s>"}));
    EXPECT_THROW(p.LoadCorpusFile(dir.Path().string()), zel::TError);
}

TEST(Counts, AnyBytesNeverBreakTheCounts) {
    std::string junk;
    unsigned x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        junk += static_cast<char>(x >> 16);
    }
    TParserPortugues p;
    p.ResetCounts();
    size_t from = 0;
    while (from < junk.size()) {
        size_t len = std::min<size_t>(junk.size() - from, 1 + (from * 7919) % 3000);
        p.AddSentence(std::string_view(junk).substr(from, len));
        p.AddUnigram(std::string_view(junk).substr(from, std::min<size_t>(len, 40)));
        p.AddBigram(std::string_view(junk).substr(from, std::min<size_t>(len, 60)));
        p.AddTrigram(std::string_view(junk).substr(from, std::min<size_t>(len, 80)));
        try {
            p.AddCountLine(std::string_view(junk).substr(from, std::min<size_t>(len, 50)));
        } catch (const zel::TError&) {
        }
        p.AddDictionaryLine(std::string_view(junk).substr(from, std::min<size_t>(len, 50)));
        from += len;
    }
    // The same bytes as bundle lines.
    std::vector<std::string> lines;
    for (size_t at = 0; at + 64 < junk.size(); at += 64) lines.emplace_back(junk.substr(at, 64));
    lines.insert(lines.begin() + 100, "### ENDUBT ###");
    for (size_t from = 0; from < lines.size(); ++from) {
        try {
            p.AddBundleLines(std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end()));
            break;
        } catch (const zel::TError&) {
        }
    }
    zeltest::TTempDir dir;
    p.GenerateModelFiles(dir.Path().string());
    EXPECT_EQ(p.Unigrams().size(), p.UnigramCounts().size());
    EXPECT_EQ(p.Bigrams().size(), p.BigramCounts().size());
    EXPECT_EQ(p.Trigrams().size(), p.TrigramCounts().size());
    std::string lm = dir.Read("languagemodel.lm");
    EXPECT_EQ(lm.find("nan"), std::string::npos);
    EXPECT_EQ(lm.find("inf"), std::string::npos);
}

}  // namespace

namespace {

// A word first seen in capitals is the word in small letters: "É" is "é",
// "TAMBÉM" is "também", and its pronunciation keeps every letter.
TEST(Counts, AccentedCapitalsCountAsTheirSmallLetters) {
    TParserPortugues p;
    p.AddSentence("\xC9 TAMB\xC9M a INTEN\xC7\xC3O");  // É TAMBÉM a INTENÇÃO
    p.AddSentence("\xE9 tamb\xE9m");                   // é também
    EXPECT_EQ(p.Unigrams(), (Strings{"<s>", "\xE9", "TAMB\xE9M", "A", "INTEN\xE7\xE3O", "</s>"}));
    EXPECT_EQ(p.UnigramCounts(), (Counts{2, 2, 2, 1, 1, 2}));
    zeltest::TTempDir dir;
    p.GenerateModelFiles(dir.Path().string());
    const std::string dictionary = dir.Read("dictionary.dic");
    // Every letter sounds: "é" is not silent, "também" ends as it should.
    EXPECT_NE(dictionary.find("\xE9\tEH\r\n"), std::string::npos) << dictionary;
    EXPECT_NE(dictionary.find("TAMB\xE9M\t" + zel::Trim(TParserPortugues::TextToPhonemes("tamb\xE9m")) + "\r\n"), std::string::npos)
        << dictionary;
}

}  // namespace
