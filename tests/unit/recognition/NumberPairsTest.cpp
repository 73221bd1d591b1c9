#include "recognition/NumberPairs.h"

#include <gtest/gtest.h>

#include "commands/Comandos.h"
#include "commands/TextFile.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/RecognitionSwitch.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

// The model the switch-on writes for two commands and two number words.
std::string SwitchOnModel(const zeltest::TTempDir& dir) {
    TListaComandos comandos, numeros;
    for (const char* p : {"descer", "abrir porta"}) {
        TComando c;
        c.Cmd = p;
        c.Fonemas = TParserPortugues::TextToPhonemes(p);
        comandos.Append(c);
    }
    for (const char* p : {"dois", "tr\xEAs"}) {
        TComando m;
        m.Cmd = p;
        m.Fonemas = TParserPortugues::TextToPhonemes(p);
        numeros.Append(m);
    }
    TParserPortugues parser;
    CountRecognizerVocabulary(parser, comandos, &numeros, {});
    parser.GenerateModelFiles(dir.File(""));
    return ReadFileBytes(dir.File(kLanguageModelFileName));
}

TEST(NumberPairs, EveryNumberBeforeEveryCommandAsLikelyAsTheCommandAlone) {
    zeltest::TTempDir dir;
    const std::string model = SwitchOnModel(dir);
    TNumberPairs out = ModelWithNumberPairs(model, {"dois", "tr\xEAs"}, {"descer", "abrir+porta"});
    ASSERT_EQ(out.Added, 4u);
    std::string expected = model;
    auto replace = [&](const std::string& from, const std::string& to) {
        size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace("ngram 2=7\r\n", "ngram 2=11\r\n");
    replace("\r\n\r\n\\3-grams:",
            "\r\n-0.3010 dois descer\r\n-0.3010 tr\xEAs descer\r\n-0.3010 dois abrir+porta\r\n"
            "-0.3010 tr\xEAs abrir+porta\r\n\r\n\\3-grams:");
    EXPECT_EQ(out.Model, expected);
}

TEST(NumberPairs, NothingToAddLeavesTheModelAlone) {
    zeltest::TTempDir dir;
    const std::string model = SwitchOnModel(dir);
    // A pair the model has already, a word that starts no sentence, too many
    // pairs, no numbers, no ARPA text.
    TNumberPairs once = ModelWithNumberPairs(model, {"dois"}, {"descer"});
    EXPECT_EQ(ModelWithNumberPairs(once.Model, {"dois"}, {"descer"}).Added, 0u);
    EXPECT_EQ(ModelWithNumberPairs(model, {"dois"}, {"subir"}).Added, 0u);
    EXPECT_EQ(ModelWithNumberPairs(model, {"dois", "tr\xEAs"}, {"descer"}, 1).Added, 0u);
    EXPECT_EQ(ModelWithNumberPairs(model, {}, {"descer"}).Added, 0u);
    EXPECT_EQ(ModelWithNumberPairs("not a model", {"dois"}, {"descer"}).Added, 0u);
}

}  // namespace
}  // namespace zel
