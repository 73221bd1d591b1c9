// A model named in the argument file is checked before the engine reads it.
#include "recognition/ArpaCheck.h"

#include <gtest/gtest.h>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

// What the check says of a model with these lines (empty when it passes).
std::string Verdict(const zeltest::TTempDir& dir, const std::vector<std::string>& lines) {
    std::string file = dir.File("m.lm");
    WriteLines(file, lines);
    try {
        CheckArpaModel(file);
    } catch (const TError& e) {
        std::string m = Cp1252ToUtf8(e.what());
        std::string prefix = "O reconhecedor recusou o modelo: " + file;
        return m.rfind(prefix, 0) == 0 ? m.substr(prefix.size()) : m;
    }
    return "";
}

// Two lines of text before "\data\", as this program's own models have.
std::vector<std::string> Model(std::vector<std::string> header, std::vector<std::string> uni,
                               std::vector<std::string> bi) {
    std::vector<std::string> m = {"Modelo de linguagem", "criado aqui", "", "\\data\\"};
    m.insert(m.end(), header.begin(), header.end());
    m.push_back("");
    m.push_back("\\1-grams:");
    m.insert(m.end(), uni.begin(), uni.end());
    m.push_back("");
    m.push_back("\\2-grams:");
    m.insert(m.end(), bi.begin(), bi.end());
    m.push_back("");
    m.push_back("\\end\\");
    return m;
}

const std::vector<std::string> kUni = {"-1.0 </s>", "-99 <s> -0.3", "-0.5 copiar -0.3"};

TEST(ArpaCheck, TextBeforeTheHeaderDoesNotHideWrongCounts) {
    zeltest::TTempDir dir;
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=3", "ngram 2=1"}, kUni, {"-0.1 <s> copiar"})), "");
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=4", "ngram 2=1"}, kUni, {"-0.1 <s> copiar"})),
              " declara 4 1-gramas e lista 3");
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=3", "ngram 2=1"}, kUni, {"-0.1 <s> copiar", "-0.2 copiar </s>"})),
              " declara 1 2-gramas e lista 2");
}

TEST(ArpaCheck, EachLineIsCheckedForItsFieldsAndNumbers) {
    zeltest::TTempDir dir;
    // A word missing: the right number of lines, the wrong number of fields.
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=3", "ngram 2=1"}, kUni, {"-0.1 copiar"})),
              ", linha 14: um 2-grama tem 2 campos (esperados 3 ou 4)");
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=3", "ngram 2=1"}, {"-1.0 </s>", "x <s> -0.3", "-0.5 copiar -0.3"},
                              {"-0.1 <s> copiar"})),
              ", linha 10: número inválido num 1-grama");
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=3", "ngram 2=1"}, kUni, {"-0.1 <s> copiar nan"})),
              ", linha 14: número inválido num 2-grama");
}

TEST(ArpaCheck, HeadersAndSectionsMustAgree) {
    zeltest::TTempDir dir;
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=3", "ngram 3=1"}, kUni, {"-0.1 <s> copiar"})),
              ", linha 6: ordem de n-grama fora de sequência no cabeçalho");
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=3", "ngram 2=99999999999"}, kUni, {"-0.1 <s> copiar"})),
              ", linha 6: esperado \"ngram N=quantidade\", encontrado \"ngram 2=99999999999\"");
    EXPECT_EQ(Verdict(dir, Model({"ngram 1=3"}, kUni, {"-0.1 <s> copiar"})),
              ", linha 12: seção \"\\2-grams:\" fora de ordem ou não declarada");
    EXPECT_EQ(Verdict(dir, {"\\data\\", "ngram 1=1", "ngram 2=1", "", "\\1-grams:", "-1 <s>", "", "\\end\\"}),
              ", linha 8: falta a seção \\2-grams:");
    EXPECT_EQ(Verdict(dir, {"\\data\\", "ngram 1=1", "", "\\1-grams:", "-1 <s>"}),
              ", linha 5: falta \\end\\ no fim do modelo");
    // The engine's reader splits a line with a NUL byte where its buffer
    // ends: a "\data\" after 127 bytes of them was a header to it alone.
    using namespace std::string_literals;
    EXPECT_EQ(Verdict(dir, {"\xFF"s + std::string(126, '\0') + "\\data\\", "lixo"}),
              ", linha 1: byte nulo num modelo de texto");
    EXPECT_EQ(Verdict(dir, {"\\data\\", "ngram 1=1", "", "\\1-grams:", "-1 <s>\0"s, "", "\\end\\"}),
              ", linha 5: byte nulo num modelo de texto");
    // The engine stops reading counts at a line of another shape.
    EXPECT_EQ(Verdict(dir, {"\\data\\", "ngram 1 = 1", "", "\\1-grams:", "-1 <s>", "", "\\end\\"}),
              ", linha 2: esperado \"ngram N=quantidade\", encontrado \"ngram 1 = 1\"");
    // No "\data\" line: no ARPA model, left to the engine.
    EXPECT_EQ(Verdict(dir, {"isto nao e um modelo"}), "");
}

}  // namespace
}  // namespace zel
