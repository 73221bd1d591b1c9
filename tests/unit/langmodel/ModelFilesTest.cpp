// The generated files, byte for byte.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <filesystem>
#include <string>

#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "langmodel/BundleSummary.h"
#include "langmodel/ParserPortugues.h"
#include "langmodel/Vocabulary.h"
#include "tests/support/TempDir.h"

namespace {

using zel::TParserPortugues;
using zeltest::TTempDir;

const std::string kHeader = "Modelo de linguagem criado pelo ParserPortugu\xEAs\r\nCriado com base no script QuickLM\r\n\r\n";

TEST(ModelFiles, WorkedExampleOfOneWord) {
    TTempDir dir;
    TParserPortugues parser;
    parser.ResetCounts();
    parser.AddSentence("casa");
    parser.GenerateModelFiles(dir.Path().string());

    EXPECT_EQ(dir.Read("languagemodel.lm"), kHeader +
                                                "\\data\\\r\n"
                                                "ngram 1=3\r\n"
                                                "ngram 2=3\r\n"
                                                "ngram 3=1\r\n"
                                                "\r\n"
                                                "\\1-grams:\r\n"
                                                "-0.6990 </s> -0.3010\r\n"
                                                "-0.6990 <s> -0.1461\r\n"
                                                "-1.0000 CASA -0.2041\r\n"
                                                "\r\n"
                                                "\\2-grams:\r\n"
                                                "-0.6021 <s> </s> -0.3010\r\n"
                                                "-0.6021 <s> CASA 0.0000\r\n"
                                                "-0.3010 CASA </s> -0.3010\r\n"
                                                "\r\n"
                                                "\\3-grams:\r\n"
                                                "-0.3010 <s> CASA </s>\r\n"
                                                "\r\n"
                                                "\\end\\\r\n");
    const std::string counts =
        "### UNI ###\r\n2\t</s>\r\n2\t<s>\r\n1\tCASA\r\n\r\n"
        "### BI ###\r\n1\t<s> </s>\r\n1\t<s> CASA\r\n1\tCASA </s>\r\n\r\n"
        "### TRI ###\r\n1\t<s> CASA </s>\r\n### ENDUBT ###\r\n";
    EXPECT_EQ(dir.Read("tokens.ubt"), counts);
    EXPECT_EQ(dir.Read("dictionary.dic"), "CASA\tK AA Z AA\r\n");
    EXPECT_EQ(dir.Read("zellm.zlm"), counts + "### DIC ###\r\nCASA\tK AA Z AA\r\n### ENDDIC ###\r\n");
    EXPECT_EQ(parser.Folder(), dir.Path().string() + "/");
}

TEST(ModelFiles, WithoutTrigramsTheModelIsABigramModel) {
    TTempDir dir;
    dir.Write("empty.txt", "");
    TParserPortugues parser;
    parser.ResetCounts();
    parser.LoadCorpusFile(dir.File("empty.txt"));
    parser.GenerateModelFiles(dir.Path().string() + "/");
    EXPECT_EQ(dir.Read("languagemodel.lm"), kHeader +
                                                "\\data\\\r\n"
                                                "ngram 1=2\r\n"
                                                "ngram 2=1\r\n"
                                                "\r\n"
                                                "\\1-grams:\r\n"
                                                "-0.6021 </s> -0.3010\r\n"
                                                "-0.6021 <s> -0.1761\r\n"
                                                "\r\n"
                                                "\\2-grams:\r\n"
                                                "-0.3010 <s> </s> -0.3010\r\n"
                                                "\r\n"
                                                "\r\n"
                                                "\\end\\\r\n");
    EXPECT_EQ(dir.Read("tokens.ubt"),
              "### UNI ###\r\n1\t</s>\r\n1\t<s>\r\n\r\n### BI ###\r\n1\t<s> </s>\r\n\r\n### TRI ###\r\n### ENDUBT ###\r\n");
    EXPECT_EQ(dir.Read("dictionary.dic"), "");
    EXPECT_EQ(dir.Read("zellm.zlm"), dir.Read("tokens.ubt") + "### DIC ###\r\n### ENDDIC ###\r\n");
}

TEST(ModelFiles, DictionaryKeepsCallerLinesAndCompletesTheRest) {
    TTempDir dir;
    TParserPortugues parser;
    parser.AddDictionaryLine("casa\tK AA Z AA");
    parser.AddDictionaryLine("casa\tK AA S AA");
    parser.AddDictionaryLine("Casa\tK AA Z AA");
    parser.AddDictionaryLine("casa");
    parser.AddDictionaryLine("nada\t");
    parser.AddDictionaryLine("nada\tK\tAA");
    parser.AddDictionaryLine("  CHAVE\tX  \r\n");
    parser.ResetCounts();
    parser.AddSentence("chave casa, <S> guarda");
    parser.AddUnigram("<S>");
    parser.AddUnigram("</S>");
    parser.GenerateModelFiles(dir.Path().string());
    EXPECT_EQ(dir.Read("dictionary.dic"),
              "casa\tK AA Z AA\r\nCasa\tK AA Z AA\r\nCHAVE\tX\r\nCASA\tK AA Z AA\r\nS\tS\r\nGUARDA\tG W AA R D AA\r\n");
    // A later generation keeps the first pronunciation of every word.
    parser.ResetCounts();
    parser.AddDictionaryLine("GUARDA\tG AA R D AA");
    parser.AddSentence("chuva");
    parser.GenerateModelFiles(dir.Path().string());
    EXPECT_EQ(dir.Read("dictionary.dic"), "casa\tK AA Z AA\r\nCasa\tK AA Z AA\r\nCHAVE\tX\r\nCASA\tK AA Z AA\r\nS\tS\r\n"
                                          "GUARDA\tG W AA R D AA\r\nCHUVA\tSH  W V AA\r\n");
}

TEST(ModelFiles, ACommandWithoutPronunciationGetsAGeneratedOne) {
    TTempDir dir;
    TParserPortugues parser;
    parser.ResetCounts();
    parser.AddUnigram("abrir");
    parser.AddDictionaryLine("abrir\t");
    parser.AddUnigram("fechar tudo");
    parser.AddDictionaryLine("fechar tudo\t   ");
    parser.GenerateModelFiles(dir.Path().string());
    EXPECT_EQ(dir.Read("dictionary.dic"), "abrir\tAA B R Y R\r\nfechar+tudo\tF EH SH  AA R  T W D OW\r\n");
    EXPECT_EQ(parser.Dictionary(), (std::vector<std::string>{"abrir\tAA B R Y R", "fechar tudo\tF EH SH  AA R  T W D OW"}));
}

TEST(ModelFiles, CommandPhrasesReachEveryFileAsOneWord) {
    TTempDir dir;
    TParserPortugues parser;
    parser.ResetCounts();
    for (const char* phrase : {"abrir navegador", "ctrl+c"}) {
        std::string p = phrase;
        parser.AddUnigram(p);
        parser.AddBigram("<s> " + p);
        parser.AddBigram(p + " </s>");
        parser.AddTrigram("<s> " + p + " </s>");
        parser.AddDictionaryLine(p + "\tAA B R Y R  N AA V EH G AA D OW R");
    }
    parser.GenerateModelFiles(dir.Path().string());
    const std::string lm = dir.Read("languagemodel.lm");
    EXPECT_NE(lm.find(" abrir+navegador "), std::string::npos);
    EXPECT_NE(lm.find("\r\n-0.3010 <s> abrir+navegador </s>\r\n"), std::string::npos);
    EXPECT_NE(lm.find(" ctrl%2Bc "), std::string::npos);
    EXPECT_NE(lm.find("ngram 1=4\r\nngram 2=5\r\nngram 3=2\r\n"), std::string::npos);
    EXPECT_EQ(dir.Read("dictionary.dic"),
              "abrir+navegador\tAA B R Y R  N AA V EH G AA D OW R\r\nctrl%2Bc\tAA B R Y R  N AA V EH G AA D OW R\r\n");
    EXPECT_NE(dir.Read("tokens.ubt").find("\r\n1\t<s> abrir+navegador </s>\r\n"), std::string::npos);

    // The bundle read back into a fresh builder gives the same files again.
    TTempDir again;
    TParserPortugues reader;
    reader.AddBundleLines(zel::ReadLines(dir.File("zellm.zlm")));
    reader.GenerateModelFiles(again.Path().string());
    EXPECT_EQ(reader.Dictionary(), parser.Dictionary());
    for (const char* name : {"languagemodel.lm", "tokens.ubt", "dictionary.dic", "zellm.zlm"})
        EXPECT_EQ(again.Read(name), dir.Read(name)) << name;
}

// Every number of a model line: probabilities never above 0, all finite.
void ExpectSoundModel(const std::string& lm) {
    EXPECT_EQ(lm.find("nan"), std::string::npos);
    EXPECT_EQ(lm.find("inf"), std::string::npos);
    auto lines = zel::SplitLines(lm);
    size_t section = 0, written[4] = {0, 0, 0, 0}, declared[4] = {0, 0, 0, 0};
    for (const auto& line : lines) {
        if (line.rfind("ngram ", 0) == 0) declared[line[6] - '0'] = std::stoul(line.substr(8));
        else if (line.size() == 9 && line[0] == '\\' && line.substr(2) == "-grams:") section = static_cast<size_t>(line[1] - '0');
        else if (section && !line.empty() && line[0] != '\\') {
            ++written[section];
            double p = std::stod(line.substr(0, line.find(' ')));
            EXPECT_LE(p, 0.0) << line;
            EXPECT_GT(p, -100.0) << line;
        }
    }
    for (size_t n = 1; n <= 3; ++n) EXPECT_EQ(written[n], declared[n]) << n;
}

TEST(ModelFiles, InconsistentCountsNeverGiveABrokenModel) {
    TTempDir dir;
    TParserPortugues parser;
    parser.AddBundleLines({"### UNI ###", "1\t<s>", "1\t</s>", "1\tCASA", "2147483647\tMUITO", "", "### BI ###",
                           "900\t<s> CASA", "5\tCASA </s>", "7\tNADA CASA", "3\tCASA NADA", "2147483647\t<s> MUITO",
                           "2147483647\tMUITO MUITO", "### TRI ###", "50\t<s> CASA </s>", "4\tNADA CASA </s>",
                           "9\t<s> MUITO MUITO", "2000000000\tMUITO MUITO MUITO", "### ENDUBT ###"});
    parser.GenerateModelFiles(dir.Path().string());
    const std::string lm = dir.Read("languagemodel.lm");
    ExpectSoundModel(lm);
    // An n-gram whose tokens or history have no entry is left out.
    EXPECT_EQ(lm.find("NADA"), std::string::npos);
    EXPECT_NE(lm.find("ngram 1=4\r\nngram 2=4\r\nngram 3=3\r\n"), std::string::npos);
    EXPECT_NE(lm.find("\r\n0.0000 <s> CASA "), std::string::npos);
    // The count file keeps every count.
    EXPECT_NE(dir.Read("tokens.ubt").find("\r\n7\tNADA CASA\r\n"), std::string::npos);
}

TEST(ModelFiles, RandomBundlesNeverGiveABrokenModel) {
    unsigned x = 4242;
    auto next = [&x] { return (x = x * 1103515245u + 12345u) >> 16; };
    const char* words[] = {"<s>", "</s>", "A", "B", "C", "D"};
    for (int round = 0; round < 30; ++round) {
        std::vector<std::string> lines;
        for (int i = 0; i < 40; ++i) {
            std::string line = std::to_string(1 + next() % (round % 2 ? 5 : 2000000000)) + "\t" + words[next() % 6];
            for (unsigned k = next() % 3; k > 0; --k) line += std::string(" ") + words[next() % 6];
            lines.push_back(line);
        }
        TTempDir dir;
        TParserPortugues parser;
        parser.AddBundleLines(lines);
        parser.GenerateModelFiles(dir.Path().string());
        ExpectSoundModel(dir.Read("languagemodel.lm"));
    }
}

TEST(ModelFiles, BundleReaderStopsAtItsMarkers) {
    TParserPortugues parser;
    parser.AddBundleLines({"### UNI ###", "2\tCASA", "texto digitado", "### ENDUBT ###", "### DIC ###",
                           "CASA\tK AA Z AA", "abrir+navegador\tAA B", "1\tCASA", "### ENDDIC ###", "BOLA\tB OW L AA",
                           "3\tCASA"});
    EXPECT_EQ(parser.Unigrams(), std::vector<std::string>{"CASA"});
    EXPECT_EQ(parser.UnigramCounts(), std::vector<int32_t>{2});
    EXPECT_EQ(parser.Dictionary(), (std::vector<std::string>{"CASA\tK AA Z AA", "abrir navegador\tAA B", "1\tCASA"}));

    // Without "### ENDUBT ###" every line is a count line.
    TParserPortugues all;
    all.AddBundleLines({"2\tCASA", "CASA", "1\tBOM DIA"});
    EXPECT_EQ(all.Bigrams(), std::vector<std::string>{"BOM DIA"});
    EXPECT_TRUE(all.Dictionary().empty());

    // A line with a tab and no integer stops the reading there.
    TParserPortugues stop;
    EXPECT_THROW(stop.AddBundleLines({"2\tCASA", "CASA\tK AA Z AA", "3\tBOLA", "### ENDUBT ###", "X\tY"}), zel::TError);
    EXPECT_EQ(stop.Unigrams(), std::vector<std::string>{"CASA"});
    EXPECT_TRUE(stop.Dictionary().empty());
}

TEST(ModelFiles, NumbersUseAFullStopUnderACommaLocale) {
    struct TComma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    std::locale old = std::locale::global(std::locale(std::locale::classic(), new TComma));
    const char* cLocale = std::setlocale(LC_ALL, "pt_BR.UTF-8");
    TTempDir dir;
    TParserPortugues parser;
    parser.ResetCounts();
    parser.AddSentence("casa");
    parser.GenerateModelFiles(dir.Path().string());
    std::locale::global(old);
    if (cLocale) std::setlocale(LC_ALL, "C");
    const std::string lm = dir.Read("languagemodel.lm");
    EXPECT_NE(lm.find("-0.6990 </s> -0.3010"), std::string::npos);
    EXPECT_EQ(lm.find(','), std::string::npos);
}

TEST(ModelFiles, FolderGetsItsSeparator) {
    TTempDir dir;
    std::filesystem::create_directory(dir.Path() / "sub");
    TParserPortugues parser;
    parser.ResetCounts();
    parser.GenerateModelFiles(dir.File("sub"));
    EXPECT_EQ(parser.Folder(), dir.File("sub") + "/");
    EXPECT_TRUE(zel::FileExists(dir.File("sub/zellm.zlm")));
}

TEST(ModelFiles, AFileThatCannotBeCreatedStopsTheGeneration) {
    TTempDir dir;
    TParserPortugues parser;
    parser.ResetCounts();
    parser.AddSentence("casa");
    parser.GenerateModelFiles(dir.Path().string());
    const std::string oldCounts = dir.Read("tokens.ubt"), oldBundle = dir.Read("zellm.zlm");

    // The model's name is taken by a folder: the dictionary is new, the
    // count file and the bundle keep their old content.
    std::filesystem::remove(dir.Path() / "languagemodel.lm");
    std::filesystem::create_directory(dir.Path() / "languagemodel.lm");
    parser.AddSentence("bola");
    try {
        parser.GenerateModelFiles(dir.Path().string());
        FAIL() << "no error";
    } catch (const zel::TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + dir.Path().string() + "/languagemodel.lm");
    }
    EXPECT_NE(dir.Read("dictionary.dic").find("BOLA\t"), std::string::npos);
    EXPECT_EQ(dir.Read("tokens.ubt"), oldCounts);
    EXPECT_EQ(dir.Read("zellm.zlm"), oldBundle);

    // A folder that does not exist: nothing is written.
    EXPECT_THROW(parser.GenerateModelFiles(dir.File("nowhere")), zel::TError);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "nowhere"));
}

TEST(ModelFiles, BundleNeedsBothFilesOnDisk) {
    TTempDir dir;
    TParserPortugues parser;
    parser.ResetCounts();
    parser.GenerateModelFiles(dir.Path().string());
    std::filesystem::remove(dir.Path() / "tokens.ubt");
    const std::string old = dir.Read("zellm.zlm");
    try {
        parser.WriteModelBundle();
        FAIL() << "no error";
    } catch (const zel::TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir.Path().string() + "/tokens.ubt");
    }
    EXPECT_EQ(dir.Read("zellm.zlm"), old);
}

}  // namespace

namespace {

// Sentences typed or pasted into the dictation memo are a corpus, not lines
// passed over; a memo with a bundle's marker or count line is read as a bundle.
TEST(ModelFiles, PlainSentencesInTheMemoAreCountedAsACorpus) {
    zel::TListaComandos none;
    TParserPortugues plain;
    zel::CountRecognizerVocabulary(plain, none, nullptr, {"bom dia", "", "Bom dia, Jo\xE3o!"});
    EXPECT_EQ(plain.Unigrams(), (std::vector<std::string>{"<s>", "</s>", "BOM", "DIA", "JO\xE3O"}));
    EXPECT_EQ(plain.UnigramCounts(), (std::vector<int32_t>{3, 3, 2, 2, 1}));
    TParserPortugues bundle;
    zel::CountRecognizerVocabulary(bundle, none, nullptr, {"2\tCASA", "bom dia"});
    EXPECT_EQ(bundle.Unigrams(), (std::vector<std::string>{"<s>", "</s>", "CASA"}));
}

// What the dictation page reports after loading a corpus, from the bundle
// written: sentences, distinct words, bigrams and trigrams.
TEST(ModelFiles, TheBundleSummaryCountsWhatWasLearnt) {
    TTempDir dir;
    dir.Write("corpus.txt", "bom dia\r\nbom dia Jo\xE3o\r\n");
    TParserPortugues parser;
    parser.ResetCounts();
    parser.LoadCorpusFile(dir.File("corpus.txt"));
    parser.GenerateModelFiles(dir.Path().string());
    const zel::TBundleSummary learnt = zel::SummarizeBundle(zel::ReadLines(dir.File("zellm.zlm")));
    EXPECT_EQ(learnt.Sentences, 2);
    EXPECT_EQ(learnt.Words, 3);    // BOM DIA JOãO
    EXPECT_EQ(learnt.Pairs, 6);    // <s> </s>, <s> BOM, BOM DIA, DIA </s>, DIA JOãO, JOãO </s>
    EXPECT_EQ(learnt.Triples, 4);  // <s> BOM DIA, BOM DIA </s>, BOM DIA JOãO, DIA JOãO </s>
}

}  // namespace
