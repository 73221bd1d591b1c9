#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "commands/TextFile.h"
#include "recognition/decoding/NoiseFloor.h"
#include "recognition/decoding/SavedMeans.h"
#include "recognition/decoding/UtteranceAudio.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

std::vector<float> Mean(float c0) {
    std::vector<float> m(13, -1.25f);
    m[0] = c0;
    return m;
}

TEST(SavedMeans, EachSourceKeepsItsOwnMeanTheLatestFirstAndAtMostThirtyTwo) {
    std::string text = WithSavedMean("", "microphone  16000", Mean(54.5f));
    text = WithSavedMean(text, "microphone usb 44100", Mean(57.0f));
    EXPECT_EQ(SavedMeanOf(text, "microphone  16000"), Mean(54.5f));
    EXPECT_EQ(SavedMeanOf(text, "microphone usb 44100"), Mean(57.0f));
    EXPECT_TRUE(SavedMeanOf(text, "microphone usb 16000").empty());
    // A source heard again replaces its line and moves to the top.
    text = WithSavedMean(text, "microphone  16000", Mean(55.75f));
    EXPECT_EQ(SplitLines(text).size(), 2u);
    EXPECT_EQ(SplitLines(text)[0].rfind("microphone  16000\t55.7500 ", 0), 0u) << text;
    EXPECT_EQ(SavedMeanOf(text, "microphone  16000"), Mean(55.75f));
    EXPECT_NE(text.find("\r\n"), std::string::npos);

    for (int i = 0; i < 40; ++i) text = WithSavedMean(text, "file /tmp/" + std::to_string(i) + ".wav", Mean(50.0f + i));
    EXPECT_EQ(SplitLines(text).size(), kMaxSavedMeans);
    EXPECT_EQ(SavedMeanOf(text, "file /tmp/39.wav"), Mean(89.0f));
    EXPECT_TRUE(SavedMeanOf(text, "microphone  16000").empty());  // the oldest went
}

TEST(SavedMeans, ADamagedOrForeignLineGivesNoMeanAndIsDroppedAtTheNextWrite) {
    const std::string damaged =
        "microphone a 16000\t54.0 x 1.0\r\n"
        "microphone b 16000\t54.0 nan\r\n"
        "microphone c 16000\t1e9 0\r\n"
        "no tab at all\r\n"
        "microphone d 16000\t\r\n"
        "microphone e 16000\t53.5 -0.5\r\n";
    for (const char* s : {"microphone a 16000", "microphone b 16000", "microphone c 16000", "microphone d 16000"})
        EXPECT_TRUE(SavedMeanOf(damaged, s).empty()) << s;
    EXPECT_EQ(SavedMeanOf(damaged, "microphone e 16000"), (std::vector<float>{53.5f, -0.5f}));
    const std::string rewritten = WithSavedMean(damaged, "microphone f 16000", Mean(50));
    EXPECT_EQ(SplitLines(rewritten).size(), 2u) << rewritten;
    // A name with a tab or a line break cannot split the line.
    const std::string odd = WithSavedMean("", "file /x\tb\r\nc.wav", Mean(51));
    EXPECT_EQ(SplitLines(odd).size(), 1u);
    EXPECT_EQ(SavedMeanOf(odd, "file /x\tb\r\nc.wav"), Mean(51));
}

TEST(SavedMeans, TheFileIsReadWhereverItIsAndAMissingOneHasNoMeans) {
    zeltest::TTempDir dir;
    const std::string file = dir.File(kSavedMeansFileName);
    EXPECT_TRUE(ReadSavedMean(file, "microphone  16000").empty());
    WriteSavedMean(file, "microphone  16000", Mean(54.0f));
    WriteSavedMean(file, "microphone usb 48000", Mean(58.0f));
    EXPECT_EQ(ReadSavedMean(file, "microphone  16000"), Mean(54.0f));
    EXPECT_EQ(ReadSavedMean(file, "microphone usb 48000"), Mean(58.0f));
    EXPECT_THROW(WriteSavedMean(dir.File("no/such/folder/m.txt"), "x", Mean(1)), std::exception);
}

TEST(UtteranceAudio, KeepsTheSpeechAndHalfASecondBeforeItForTheGrammarUpToItsBound) {
    const int32_t rate = 1000;  // samples a second: the lag is 250, the grammar's lead-in 500
    TUtteranceAudio audio(rate, 3);
    std::vector<int16_t> silence(2000, 1), speech(400, 7);
    audio.Add(silence);
    audio.SpeechBegan();
    // 750 samples before "speech" are kept: the detector's lag and the lead-in.
    EXPECT_EQ(audio.Samples().size(), 750u);
    audio.Add(speech);
    // The speech began the lag before the detector said so (at 500 of the
    // 750); the grammar hears from half a second before that.
    auto [from, samples] = audio.GrammarSlice();
    EXPECT_EQ(from, audio.Samples().data());
    EXPECT_EQ(samples, 1150u);
    EXPECT_TRUE(audio.Whole());
    // Past three seconds the utterance is let go, never half kept.
    audio.Add(std::vector<int16_t>(2000, 3));
    EXPECT_FALSE(audio.Whole());
    EXPECT_TRUE(audio.Empty());
    audio.Add(speech);
    EXPECT_TRUE(audio.Empty());
    audio.Clear();
    EXPECT_TRUE(audio.Whole());
}

TEST(NoiseFloor, DigitalSilenceGetsAFaintFloorForTheRestOfTheRunAndANoisySourceNone) {
    TNoiseFloor noisy;
    std::vector<int16_t> roomNoise(320);
    for (size_t i = 0; i < roomNoise.size(); ++i) roomNoise[i] = static_cast<int16_t>(i % 2 ? 30 : -30);
    std::vector<int16_t> copy = roomNoise;
    noisy.Apply(copy);
    EXPECT_EQ(copy, roomNoise);
    EXPECT_FALSE(noisy.On());

    TNoiseFloor floor;
    std::vector<int16_t> silence(320, 0);
    floor.Apply(silence);
    EXPECT_TRUE(floor.On());
    int32_t peak = 0;
    for (int16_t v : silence) peak = std::max(peak, std::abs(static_cast<int32_t>(v)));
    EXPECT_GT(peak, TNoiseFloor::kSilentPeak);
    EXPECT_LE(peak, TNoiseFloor::kPeak);
    // Loud audio after it gets the floor too, clipped at full scale.
    std::vector<int16_t> loud(320, 32767);
    floor.Apply(loud);
    EXPECT_NE(loud, std::vector<int16_t>(320, 32767));
    for (int16_t v : loud) EXPECT_GE(v, 32767 - TNoiseFloor::kPeak);
}

}  // namespace
}  // namespace zel
