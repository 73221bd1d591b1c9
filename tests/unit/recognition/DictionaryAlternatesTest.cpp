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

TEST(DictionaryAlternates, RulesFromTheArgumentFile) {
    EXPECT_TRUE(AlternateRulesFromArg("none").empty());
    EXPECT_TRUE(AlternateRulesFromArg(" NO ").empty());
    EXPECT_EQ(AlternateRulesFromArg("x-s, e-ey  r-hh"), (std::vector<std::string>{"x-s", "e-ey", "r-hh"}));
    EXPECT_FALSE(AlternateRulesFromArg("").empty());
}

}  // namespace
