// Which dictated sentences are typed at a threshold.
#include <gtest/gtest.h>

#include "recognition/DictationAcceptance.h"

namespace {

zel::TUtteranceScore Dictated(double worstPerFrame, double meanPerFrame) {
    zel::TUtteranceScore s;
    s.Text = u"o gato preto dorme no telhado";
    s.Dictation = true;
    s.AcousticPerFrame = worstPerFrame;
    s.MeanAcousticPerFrame = meanPerFrame;
    s.Confidence = 0;  // what the worst word gives; the dictation does not ask it
    s.Words = 6;
    return s;
}

// A long sentence with one badly matched word is typed at the default
// threshold: the sentence is judged as a whole, with three fifths of it.
TEST(DictationAcceptance, ASentenceIsJudgedWholeWithThreeFifthsOfTheThreshold) {
    EXPECT_EQ(zel::DictationThreshold(50), 30);
    EXPECT_EQ(zel::DictationThreshold(100), 60);
    EXPECT_TRUE(zel::AcceptDictation(Dictated(-10.0, -4.8), 50));
    // -6.4 a frame is confidence 27 on the commands' scale: below 30.
    EXPECT_EQ(zel::DictationConfidence(Dictated(-10.0, -6.4)), 27);
    EXPECT_FALSE(zel::AcceptDictation(Dictated(-10.0, -6.4), 50));
    EXPECT_TRUE(zel::AcceptDictation(Dictated(-10.0, -6.4), 45));
}

// A tone or a chord matched better than any voice does: nothing is typed,
// except at threshold 0, which accepts every result.
TEST(DictationAcceptance, SoundTooCleanForAVoiceTypesNothing) {
    EXPECT_FALSE(zel::AcceptDictation(Dictated(-0.2, -0.16), 50));
    EXPECT_FALSE(zel::AcceptDictation(Dictated(-2.0, -1.9), 1));
    EXPECT_TRUE(zel::AcceptDictation(Dictated(-3.0, -2.6), 50));
    EXPECT_TRUE(zel::AcceptDictation(Dictated(-0.2, -0.16), 0));
}

}  // namespace
