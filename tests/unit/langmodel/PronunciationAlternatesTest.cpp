#include <gtest/gtest.h>

#include <random>
#include <string>

#include "langmodel/ParserPortugues.h"
#include "langmodel/PhoneSegments.h"
#include "langmodel/PronunciationAlternates.h"

namespace {

using namespace zel;
using V = std::vector<std::string>;

V Alt(std::string_view text, V rules, size_t most = 8) { return PronunciationAlternates(text, rules, most); }

TEST(PronunciationAlternates, EachRuleChangesOnlyItsLetters) {
    // x as S or as Z, never both at once.
    EXPECT_EQ(Alt("pr\xF3ximo", {"x-s", "x-z"}), (V{"P R OW S Y M OW", "P R OW Z Y M OW"}));
    // Only an inner e: not the first letter of a word, not the last.
    EXPECT_EQ(Alt("pesquisar", {"e-ey"}), (V{"P EY S K Y Z AA R"}));
    EXPECT_EQ(Alt("excluir sete", {"e-ey"}), (V{"EH SH K L W Y R Z EY T EH"}));
    // A final r of every word of a phrase, not the r after a consonant.
    EXPECT_EQ(Alt("abrir navegador", {"r-hh"}), (V{"AA B R Y HH N AA V EH G AA D OW HH"}));
    // u between consonants; the u of "gua" stays a glide.
    EXPECT_EQ(Alt("subir", {"u-uw"}), (V{"S UW B Y R"}));
    EXPECT_TRUE(Alt("\xE1gua", {"u-uw"}).empty());
    // Rules that do not apply, and names that are no rule, add nothing.
    EXPECT_TRUE(Alt("casa", {"x-s", "r-hh", "no-such-rule"}).empty());
    EXPECT_TRUE(Alt("", {"x-s"}).empty());
}

TEST(PronunciationAlternates, SingleRulesFirstThenPairsUpToTheCap) {
    const V rules = {"e-ey", "r-hh"};
    EXPECT_EQ(Alt("desenhar", rules), (V{"D EY Z EY N AA R", "D EH Z EH N AA HH", "D EY Z EY N AA HH"}));
    EXPECT_EQ(Alt("desenhar", rules, 1), (V{"D EY Z EY N AA R"}));
    EXPECT_TRUE(Alt("desenhar", rules, 0).empty());
}

TEST(PronunciationAlternates, StepsSpellTheGeneratedPronunciation) {
    // The steps the rules work on are exactly the letter rules' output, for
    // any bytes.
    std::mt19937 gen(7);
    for (int n = 0; n < 2000; ++n) {
        std::string text(gen() % 12, ' ');
        for (char& c : text) c = static_cast<char>(n % 2 ? gen() % 256 : "aeioursxlgnh \xE3\xE9"[gen() % 15]);
        std::string joined;
        for (const auto& s : PhoneSegments(text)) joined += s.Phones + " ";
        ASSERT_EQ(joined, TParserPortugues::TextToPhonemes(text));
        for (const auto& a : Alt(text, V{"e-ey", "x-s", "x-z", "r-hh", "u-uw", "l-w", "g-zh", "nh-ny", "lh-ly", "a-ah"}))
            ASSERT_EQ(a, NormalizePhones(a));
    }
}

}  // namespace
