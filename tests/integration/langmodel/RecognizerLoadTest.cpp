// The files the builder writes, loaded by the real recognizer (PocketSphinx
// with its US-English acoustic model) and converted by sphinx_lm_convert.
#include <gtest/gtest.h>
#include <pocketsphinx.h>
#include <sphinxbase/err.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands/TextFile.h"
#include "langmodel/ParserPortugues.h"
#include "langmodel/WrittenForm.h"
#include "tests/support/TempDir.h"

namespace {

using zel::TParserPortugues;
using zeltest::TTempDir;

std::string ReadText(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Initializes a decoder on the folder's model and dictionary; returns the
// recognizer's log.
std::string LoadInRecognizer(const TTempDir& dir, bool& loaded, std::vector<std::string>* hypothesisWords = nullptr) {
    const std::string log = dir.File("ps.log");
    const std::string lm = dir.File("languagemodel.lm"), dic = dir.File("dictionary.dic");
    const std::string hmm = std::string(MODELDIR) + "/en-us/en-us";
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-lm", lm.c_str(), "-dict",
                                   dic.c_str(), "-logfn", log.c_str(), nullptr);
    loaded = false;
    if (!config) return "cmd_ln_init failed";
    ps_decoder_t* ps = ps_init(config);
    loaded = ps != nullptr;
    if (ps && hypothesisWords) {
        // Half a second of faint noise: the decoder runs over the model.
        std::vector<int16_t> audio(8000);
        unsigned x = 1;
        for (auto& s : audio) s = static_cast<int16_t>(static_cast<int>((x = x * 1103515245u + 12345u) >> 16) % 200 - 100);
        ps_start_utt(ps);
        ps_process_raw(ps, audio.data(), audio.size(), FALSE, TRUE);
        ps_end_utt(ps);
        int32 score;
        const char* hyp = ps_get_hyp(ps, &score);
        std::istringstream words(hyp ? hyp : "");
        for (std::string w; words >> w;) hypothesisWords->push_back(w);
    }
    if (ps) ps_free(ps);
    cmd_ln_free_r(config);
    if (FILE* logFile = err_get_logfp()) std::fflush(logFile);
    return ReadText(log);
}

// Lines of the log that speak of an error or a warning.
std::vector<std::string> Complaints(const std::string& log) {
    std::vector<std::string> out;
    for (const auto& line : zel::SplitLines(log))
        if (line.find("ERROR") != std::string::npos || line.find("WARN") != std::string::npos) out.push_back(line);
    return out;
}

void ExpectLoadsAndConverts(const TTempDir& dir) {
    bool loaded = false;
    std::string log = LoadInRecognizer(dir, loaded);
    EXPECT_TRUE(loaded) << log;
    EXPECT_TRUE(Complaints(log).empty()) << ::testing::PrintToString(Complaints(log));
    EXPECT_NE(log.find("#1-grams:"), std::string::npos) << log.substr(log.size() > 6000 ? log.size() - 6000 : 0);

    const std::string dmp = dir.File("model.lm.bin");
    std::string command = "sphinx_lm_convert -i '" + dir.File("languagemodel.lm") + "' -o '" + dmp + "' > '" +
                          dir.File("convert.log") + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadText(dir.File("convert.log"));
    EXPECT_TRUE(zel::FileExists(dmp));
    EXPECT_TRUE(Complaints(ReadText(dir.File("convert.log"))).empty()) << ReadText(dir.File("convert.log"));
}

TEST(RecognizerLoad, ModelAndDictionaryOfACorpus) {
    TTempDir dir;
    dir.Write("corpus.txt",
              "Abrir o navegador, agora!\r\nA\xE7\xC3O e a\xE7\xE3o: guarda-chuva \xE0 vista\r\n\r\n"
              "O guia do Linux em portugu\xEAs.\nQuem quer queijo?\rQUEIJO, p\xE3o e caf\xE9\n"
              "[x] _ ~ { } ` \x80 \xA0 \xFF\n12 de janeiro de 2004\n");
    TParserPortugues parser;
    parser.ResetCounts();
    parser.LoadCorpusFile(dir.File("corpus.txt"));
    parser.GenerateModelFiles(dir.Path().string());
    ExpectLoadsAndConverts(dir);
}

TEST(RecognizerLoad, CorpusWithoutTrigrams) {
    TTempDir dir;
    dir.Write("corpus.txt", "\n2004\n");
    TParserPortugues parser;
    parser.ResetCounts();
    parser.LoadCorpusFile(dir.File("corpus.txt"));
    parser.GenerateModelFiles(dir.Path().string());
    EXPECT_EQ(dir.Read("languagemodel.lm").find("ngram 3"), std::string::npos);
    ExpectLoadsAndConverts(dir);
}

TEST(RecognizerLoad, CommandListWithPhrasesAndABundle) {
    // What switch-on generates: command phrases (with blanks and odd bytes),
    // number words, then a dictation bundle made earlier from a corpus.
    TTempDir corpusDir;
    corpusDir.Write("corpus.txt", "copiar e colar o texto\nfechar a janela agora\n");
    TParserPortugues first;
    first.ResetCounts();
    first.LoadCorpusFile(corpusDir.File("corpus.txt"));
    first.GenerateModelFiles(corpusDir.Path().string());
    const auto bundle = zel::ReadLines(corpusDir.File("zellm.zlm"));

    TTempDir dir;
    TParserPortugues parser;
    parser.ResetCounts();
    struct {
        const char* phrase;
        const char* phonemes;
    } commands[] = {{"abrir navegador", "AA B R Y R  N AA V EH G AA D OW R"},
                    {"copiar", "K OW P Y AA R"},
                    {"COPIAR", "K OW P Y AA R"},
                    {"ctrl+c (50%)", "K T R L"},
                    {"fechar  a janela", ""},
                    {"#1 tecla", "T EH K L AA"}};
    for (const auto& c : commands) {
        std::string p = c.phrase;
        parser.AddUnigram(p);
        parser.AddBigram("<s> " + p);
        parser.AddBigram(p + " </s>");
        parser.AddTrigram("<s> " + p + " </s>");
        parser.AddDictionaryLine(p + "\t" + c.phonemes);
    }
    for (const char* number : {"um", "dois", "tr\xEAs"}) {
        parser.AddUnigram(number);
        parser.AddBigram(std::string("<s> ") + number);
        parser.AddDictionaryLine(std::string(number) + "\t" + TParserPortugues::TextToPhonemes(number));
    }
    parser.AddBundleLines(bundle);
    parser.GenerateModelFiles(dir.Path().string());
    ExpectLoadsAndConverts(dir);

    // Every word of the model has a dictionary line, and a phrase comes back.
    const std::string dic = dir.Read("dictionary.dic");
    EXPECT_NE(dic.find("abrir+navegador\t"), std::string::npos);
    EXPECT_EQ(zel::WordFromWrittenForm("abrir+navegador"), "abrir navegador");
    bool loaded = false;
    std::vector<std::string> words;
    LoadInRecognizer(dir, loaded, &words);
    EXPECT_TRUE(loaded);
}

// The check itself must see a model that the recognizer refuses: the same
// files with a token holding a blank, and with "ngram 3=0" and no section.
TEST(RecognizerLoad, TheCheckSeesARefusedModel) {
    for (int variant = 0; variant < 2; ++variant) {
        TTempDir dir;
        TParserPortugues parser;
        parser.ResetCounts();
        parser.AddSentence(variant == 0 ? "bom dia" : "");
        parser.GenerateModelFiles(dir.Path().string());
        std::string lm = dir.Read("languagemodel.lm");
        if (variant == 0) {
            lm.replace(lm.find(" BOM "), 5, " BOM DIA ");
        } else {
            lm.replace(lm.find("ngram 2=1\r\n"), 11, "ngram 2=1\r\nngram 3=0\r\n");
        }
        dir.Write("languagemodel.lm", lm);
        bool loaded = false;
        std::string log = LoadInRecognizer(dir, loaded);
        EXPECT_TRUE(!loaded || !Complaints(log).empty()) << variant;
    }
}

}  // namespace
