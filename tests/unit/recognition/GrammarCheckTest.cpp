#include "recognition/GrammarCheck.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(GrammarCheck, AGrammarOfCommandsWithOrWithoutANumberBefore) {
    EXPECT_EQ(CommandGrammar({"dois", "tr\xEAs"}, {"descer", "abrir+porta", "descer"}),
              "FSG_BEGIN commands\nN 3\nS 0\nF 2\n"
              "T 0 2 0.250000 descer\nT 1 2 1.000000 descer\n"
              "T 0 2 0.250000 abrir+porta\nT 1 2 1.000000 abrir+porta\n"
              "T 0 1 0.250000 dois\nT 0 1 0.250000 tr\xEAs\n"
              "T 1 2 1.0\nFSG_END\n");
    // A number word that is also a command is a command; no numbers, no
    // transitions after one.
    EXPECT_EQ(CommandGrammar({"um"}, {"um"}), "FSG_BEGIN commands\nN 3\nS 0\nF 2\nT 0 2 1.000000 um\nFSG_END\n");
}

TEST(GrammarCheck, ResultWordsLeaveTheMarksOfAlternatesOut) {
    EXPECT_EQ(ResultWords("dois(2)  abrir+porta(3) x(y)"), (std::vector<std::string>{"dois", "abrir+porta", "x"}));
    EXPECT_EQ(ResultWords("(2) a"), (std::vector<std::string>{"(2)", "a"}));
    EXPECT_TRUE(ResultWords(" ").empty());
}

TEST(GrammarCheck, ALostNumberOrAShortCommandHeardAsANumberStillAgrees) {
    using V = TGrammarVerdict;
    const std::unordered_set<std::string> numbers{"dez", "cinco", "vinte", "oito", "tr\xEAs"};
    auto verdict = [&](std::string_view main, std::string_view grammar) {
        return CompareDecodings(ResultWords(main), ResultWords(grammar), numbers);
    };
    EXPECT_EQ(verdict("dez retroceder", "dez retroceder(2)"), V::Agrees);
    // The grammar lost the number before the same command.
    EXPECT_EQ(verdict("dez retroceder", "retroceder"), V::Agrees);
    EXPECT_EQ(verdict("dez diminuir+volume", "diminuir+volume"), V::Agrees);
    // One command heard by the grammar as one number word.
    EXPECT_EQ(verdict("fim", "vinte"), V::Agrees);
    // Every other disagreement is a refusal.
    EXPECT_EQ(verdict("tr\xEAs descer", "dez descer"), V::Disagrees);  // another number: a wrong count
    EXPECT_EQ(verdict("dez retroceder", "apagar"), V::Disagrees);
    EXPECT_EQ(verdict("retroceder", "dez retroceder"), V::Disagrees);
    EXPECT_EQ(verdict("dez", "retroceder"), V::Disagrees);          // a number heard, a command in the grammar
    EXPECT_EQ(verdict("fim", "apagar"), V::Disagrees);
    EXPECT_EQ(verdict("fim apagar", "vinte"), V::Disagrees);
    EXPECT_EQ(verdict("fim", "vinte oito"), V::Disagrees);
    EXPECT_EQ(verdict("cinco dez retroceder", "retroceder"), V::Disagrees);
}

TEST(GrammarCheck, BothTestsMustPassExceptAtThresholdZero) {
    using V = TGrammarVerdict;
    EXPECT_TRUE(AcceptUtterance(false, 50, 50, V::Agrees));
    EXPECT_TRUE(AcceptUtterance(false, 50, 50, V::NotChecked));  // dictation words
    EXPECT_FALSE(AcceptUtterance(false, 100, 50, V::Disagrees));
    EXPECT_FALSE(AcceptUtterance(false, 49, 50, V::Agrees));
    EXPECT_TRUE(AcceptUtterance(false, 0, 0, V::Disagrees));  // 0 accepts everything
    EXPECT_FALSE(AcceptUtterance(true, 100, 0, V::Agrees));   // but never nothing
}

}  // namespace
}  // namespace zel
