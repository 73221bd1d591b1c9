#include <gtest/gtest.h>

#include <string>

#include "langmodel/ParserPortugues.h"

namespace {

using zel::TParserPortugues;

// The tests write the pronunciations with "_" for each blank, so that runs of
// blanks can be read.
std::string P(std::string_view text) {
    std::string out = TParserPortugues::TextToPhonemes(text);
    for (char& c : out)
        if (c == ' ') c = '_';
    return out;
}

TEST(TextToPhonemes, WordsOfTheRuleTable) {
    EXPECT_EQ(P("casa"), "K_AA_Z_AA_");
    EXPECT_EQ(P("chave"), "SH__AA_V_EH_");
    EXPECT_EQ(P("carro"), "K_AA_HH_OW_");
    EXPECT_EQ(P("rato"), "HH_AA_T_OW_");
    EXPECT_EQ(P("guerra"), "G__EH_HH_AA_");
    EXPECT_EQ(P("queijo"), "K__EY_JH_OW_");
    EXPECT_EQ(P("gente"), "G_EH_N_T_EH_");
    EXPECT_EQ(P("\xE1gua"), "AA_G_W_AA_");
    EXPECT_EQ(P("a\xE7\xE3o"), "AA_S_AH_OW_");
    EXPECT_EQ(P("voc\xEA"), "V_OW_S_EY_");
    EXPECT_EQ(P("av\xF4"), "AA_V__");
    EXPECT_EQ(P("pensar"), "P_EH_N_Z_AA_R_");
    EXPECT_EQ(P("euro"), "EH_W_R_OW_");
    EXPECT_EQ(P("caixa"), "K_AY_SH_AA_");
    EXPECT_EQ(P("hoje"), "_OW_JH_EH_");
    EXPECT_EQ(P("philips"), "P__Y_L_Y_P_S_");
    EXPECT_EQ(P("\xC1GUA"), "_G_W_AA_");
    EXPECT_EQ(P("abrir navegador"), "AA_B_R_Y_R__N_AA_V_EH_G_AA_D_OW_R_");
}

TEST(TextToPhonemes, EmptyBlankAndDigits) {
    EXPECT_EQ(P(""), "");
    EXPECT_EQ(P(" "), "_");
    EXPECT_EQ(P("12"), "__");
}

TEST(TextToPhonemes, PhAtTheStartAndInside) {
    EXPECT_EQ(P("ph"), "P__");
    EXPECT_EQ(P("alpha"), "AA_L_F__AA_");
    EXPECT_EQ(P("a ph"), "AA__F__");
}

TEST(TextToPhonemes, ROnlyAtTheStartOfTheWholeText) {
    EXPECT_EQ(P("ir rua"), "Y_R__R_W_AA_");
    EXPECT_EQ(P("terra"), "T_EH_HH_AA_");
    EXPECT_EQ(P("rr"), "HH_R_");
    EXPECT_EQ(P("arr"), "AA_HH_");
}

TEST(TextToPhonemes, SRules) {
    EXPECT_EQ(P("sapo"), "S_AA_P_OW_");
    EXPECT_EQ(P("massa"), "M_AA_S_AA_");
    EXPECT_EQ(P("as"), "AA_S_");
    EXPECT_EQ(P("as\xE2"), "AA_S__");
    EXPECT_EQ(P("as\xEA"), "AA_S_EY_");
    EXPECT_EQ(P("as\xF4"), "AA_S__");
    EXPECT_EQ(P("as\xF5"), "AA_S_OW_");
    EXPECT_EQ(P("as\xFA"), "AA_S_W_");
    EXPECT_EQ(P("as\xE3"), "AA_Z_AH_");
    EXPECT_EQ(P("asp"), "AA_S_P_");
    EXPECT_EQ(P("os amigos"), "OW_S__AA_M_Y_G_OW_S_");
}

TEST(TextToPhonemes, SilentUAfterGAndQ) {
    EXPECT_EQ(P("guia"), "G__Y_AA_");
    EXPECT_EQ(P("qui"), "K__Y_");
    EXPECT_EQ(P("gu"), "G__");
    EXPECT_EQ(P("qu"), "K__");
    EXPECT_EQ(P("guarda"), "G_W_AA_R_D_AA_");
    EXPECT_EQ(P("quota"), "K_W_OW_T_AA_");
    EXPECT_EQ(P("u"), "W_");
    EXPECT_EQ(P("lu"), "L_W_");
    EXPECT_EQ(P("aigue"), "AY_G__EH_");
}

TEST(TextToPhonemes, GIsAlwaysG) {
    EXPECT_EQ(P("gelo"), "G_EH_L_OW_");
    EXPECT_EQ(P("gibi"), "G_Y_B_Y_");
}

TEST(TextToPhonemes, DiphthongsAndUi) {
    EXPECT_EQ(P("ei"), "EY_");
    EXPECT_EQ(P("eu"), "EH_W_");
    EXPECT_EQ(P("ai"), "AY_");
    EXPECT_EQ(P("au"), "AW_");
    EXPECT_EQ(P("oi"), "OY_");
    EXPECT_EQ(P("ou"), "OW_");
    EXPECT_EQ(P("ui"), "W_Y_");
    EXPECT_EQ(P("\xE1i"), "AY_");
    EXPECT_EQ(P("\xF3u"), "OW_");
}

TEST(TextToPhonemes, CRules) {
    EXPECT_EQ(P("c"), "K_");
    EXPECT_EQ(P("ce"), "S_EH_");
    EXPECT_EQ(P("c\xE9"), "S_EH_");
    EXPECT_EQ(P("c\xED"), "S_Y_");
    EXPECT_EQ(P("ca"), "K_AA_");
    EXPECT_EQ(P("ac"), "AA_K_");
}

TEST(TextToPhonemes, SingleLetters) {
    EXPECT_EQ(P("j"), "JH_");
    EXPECT_EQ(P("q"), "K_");
    EXPECT_EQ(P("w"), "V_");
    EXPECT_EQ(P("x"), "SH_");
    EXPECT_EQ(P("\xE7"), "S_");
    EXPECT_EQ(P("\xFC"), "W_");
    EXPECT_EQ(P("bdfgklmntvyz"), "B_D_F_G_K_L_M_N_T_V_Y_Z_");
    EXPECT_EQ(P("\xE0\xE2\xF4\xC7!"), "_____");
}

TEST(TextToPhonemes, UpperCaseUnaccentedIsLikeLowerCase) {
    EXPECT_EQ(P("ABRIR NAVEGADOR"), P("abrir navegador"));
    EXPECT_EQ(P("QUEIJO"), P("queijo"));
    EXPECT_EQ(P("A\xC7\xC3O"), "AA___OW_");
}

TEST(TextToPhonemes, AnyBytesGiveOneBlankOrMoreEach) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    std::string out = TParserPortugues::TextToPhonemes(all);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), ' ');
    for (char c : out) EXPECT_TRUE(c == ' ' || (c >= 'A' && c <= 'Z')) << static_cast<int>(c);
}

}  // namespace
