#include <gtest/gtest.h>

#include "recognition/DictionaryAlternates.h"

namespace {

using namespace zel;

TEST(DictionaryAlternates, GeneratedWordsGetThemHandWrittenOnesDoNot) {
    const std::string dic =
        "pr\xF3ximo\tP R OW SH Y M OW \r\n"     // as the letter rules spell it
        "subir\tS UW B IY R\r\n"                 // typed by the user
        "abrir+porta\tAA B R Y R  P OW R T AA \r\n"
        "fim(2)\tF IY M\r\n";                    // an alternate written by hand
    TDictionaryAlternates out = DictionaryWithAlternates(dic, {"x-s", "r-hh"}, 3);
    EXPECT_EQ(out.Text, dic +
                            "pr\xF3ximo(2)\tP R OW S Y M OW\r\n"
                            "abrir+porta(2)\tAA B R Y HH P OW R T AA\r\n");
    EXPECT_EQ(out.Words, 2u);
    EXPECT_EQ(out.Added, 2u);
    // A last line without its line end still ends before the alternates.
    EXPECT_EQ(DictionaryWithAlternates("fechar\tF EH SH AA R", {"r-hh"}, 3).Text,
              "fechar\tF EH SH AA R\r\nfechar(2)\tF EH SH AA HH\r\n");
    EXPECT_EQ(DictionaryWithAlternates(dic, {}, 3).Text, dic);
}

TEST(DictionaryAlternates, WordsWhoseLettersTheRulesDropAreHeardWithThemRestored) {
    // As the letter rules spell them: "av\xF4" without its o, "\xD4nibus"
    // without its first letter, "\xC1GUA" without its A.
    const std::string dic =
        "av\xF4\tAA V \r\n"
        "\xD4nibus\tN Y B W S \r\n"
        "\xC1GUA\tG W AA \r\n"
        "p\xF4r\tP R \r\n"
        "av\xF3\tAA V OW \r\n"              // nothing dropped: nothing added without rules
        "c\xE2mera\tK M EH R AA \r\n"
        "v\xF4o\tV OW UW\r\n"                // typed by the user: kept as it is
        "\xE0s\tS \r\n";
    TDictionaryAlternates out = DictionaryWithAlternates(dic, {"letters"}, 3);
    EXPECT_EQ(out.Text, dic +
                            "av\xF4(2)\tAA V OW\r\n"
                            "\xD4nibus(2)\tOW N Y B W S\r\n"
                            "\xC1GUA(2)\tAA G W AA\r\n"
                            "p\xF4r(2)\tP OW R\r\n"
                            "c\xE2mera(2)\tK AA M EH R AA\r\n"
                            "\xE0s(2)\tAA S\r\n");
    EXPECT_EQ(out.Words, 6u);
    // The rules' variants are of the restored spelling, after it.
    EXPECT_EQ(DictionaryWithAlternates("p\xF4r\tP R \r\n", {"r-hh", "letters"}, 3).Text,
              "p\xF4r\tP R \r\np\xF4r(2)\tP OW R\r\np\xF4r(3)\tP OW HH\r\n");
    // Not among the rules: not restored, the other rules apply to the spelling as it is.
    EXPECT_EQ(DictionaryWithAlternates("p\xF4r\tP R \r\n", {"r-hh"}, 3).Text, "p\xF4r\tP R \r\np\xF4r(2)\tP HH\r\n");
}

TEST(DictionaryAlternates, RulesFromTheArgumentFile) {
    EXPECT_TRUE(AlternateRulesFromArg("none").empty());
    EXPECT_TRUE(AlternateRulesFromArg(" NO ").empty());
    EXPECT_EQ(AlternateRulesFromArg("x-s, e-ey  r-hh"), (std::vector<std::string>{"x-s", "e-ey", "r-hh"}));
    EXPECT_FALSE(AlternateRulesFromArg("").empty());
}

}  // namespace
