#include <gtest/gtest.h>

#include <random>
#include <string>

#include "langmodel/WrittenForm.h"

namespace {

using zel::NeedsWrittenForm;
using zel::WordFromWrittenForm;
using zel::WrittenForm;

TEST(WrittenForm, OrdinaryWordsAreTheirOwnForm) {
    for (std::string w : {"CASA", "A\xE7\xE3O", "<s>", "</s>", "abrir", "O_RDONLY", "[X]"}) {
        EXPECT_FALSE(NeedsWrittenForm(w)) << w;
        EXPECT_EQ(WrittenForm(w), w);
        EXPECT_EQ(WordFromWrittenForm(w), w);
    }
}

TEST(WrittenForm, APhraseIsOneWordAndComesBack) {
    EXPECT_EQ(WrittenForm("abrir navegador"), "abrir+navegador");
    EXPECT_EQ(WordFromWrittenForm("abrir+navegador"), "abrir navegador");
    EXPECT_EQ(WrittenForm("ctrl+c"), "ctrl%2Bc");
    EXPECT_EQ(WordFromWrittenForm("ctrl%2Bc"), "ctrl+c");
    EXPECT_EQ(WrittenForm("50% (meio)"), "50%25+%28meio%29");
    EXPECT_EQ(WrittenForm("a\tb"), "a%09b");
    EXPECT_EQ(WrittenForm("#1"), "%231");
}

TEST(WrittenForm, NoBlankNoControlInAWrittenForm) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string token;
        int length = static_cast<int>(rng() % 12);
        for (int i = 0; i < length; ++i) token += static_cast<char>(rng() % 256);
        std::string written = WrittenForm(token);
        for (char c : written) {
            unsigned char u = static_cast<unsigned char>(c);
            EXPECT_GT(u, 0x20);
            EXPECT_NE(u, 0x7F);
        }
        EXPECT_EQ(WordFromWrittenForm(written), token);
    }
}

TEST(WrittenForm, AStrayPercentStays) {
    EXPECT_EQ(WordFromWrittenForm("a%"), "a%");
    EXPECT_EQ(WordFromWrittenForm("a%4"), "a%4");
    EXPECT_EQ(WordFromWrittenForm("a%zz"), "a%zz");
}

}  // namespace
