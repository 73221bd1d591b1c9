#include "recognition/ArgFile.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

bool Known(std::string_view name) {
    return name == "-hmm" || name == "-lm" || name == "-dict" || name == "-samprate" || name == "-dither" ||
           name == "-beam";
}

TEST(ArgFile, ProgramNamesBecomeTheEngineNamesAndValuesKeepTheirBlanks) {
    TRecognizerArgs a = ParseRecognizerArgs(
        {"-hmm /usr/share/model", "-lmfn /home/ana/Meus Arquivos/languagemodel.lm",
         "-dictfn   /home/ana/Meus Arquivos/dictionary.dic  ", "-beam 1e-80"},
        Known);
    ASSERT_EQ(a.Engine.size(), 4u);
    EXPECT_EQ(a.Engine[0], (std::pair<std::string, std::string>{"-hmm", "/usr/share/model"}));
    EXPECT_EQ(a.Engine[1], (std::pair<std::string, std::string>{"-lm", "/home/ana/Meus Arquivos/languagemodel.lm"}));
    EXPECT_EQ(a.Engine[2], (std::pair<std::string, std::string>{"-dict", "/home/ana/Meus Arquivos/dictionary.dic"}));
    EXPECT_EQ(a.Engine[3], (std::pair<std::string, std::string>{"-beam", "1e-80"}));
    EXPECT_TRUE(a.Notes.empty());
}

TEST(ArgFile, UnknownNamesAreDroppedWithANote) {
    TRecognizerArgs a = ParseRecognizerArgs({"-lmfnx foo", "-naoexiste 3", "lixo", "-dither yes"}, Known);
    ASSERT_EQ(a.Engine.size(), 1u);
    EXPECT_EQ(a.Engine[0].first, "-dither");
    ASSERT_EQ(a.Notes.size(), 3u);
    EXPECT_NE(a.Notes[0].find("-lmfnx foo"), std::string::npos);
    EXPECT_NE(a.Notes[1].find("-naoexiste"), std::string::npos);
    EXPECT_NE(a.Notes[2].find("lixo"), std::string::npos);
}

TEST(ArgFile, CommentsAndBlankLinesAreSkippedAndAnOptionWithoutValueIsDropped) {
    TRecognizerArgs a = ParseRecognizerArgs({"", "   ", "# a comment", "-beam", "-samprate\t16000"}, Known);
    ASSERT_EQ(a.Engine.size(), 1u);
    EXPECT_EQ(a.Engine[0], (std::pair<std::string, std::string>{"-samprate", "16000"}));
    ASSERT_EQ(a.Notes.size(), 1u);
    EXPECT_NE(a.Notes[0].find("-beam"), std::string::npos);
}

TEST(ArgFile, TheControlsOwnOptionsChooseTheAudioSource) {
    TRecognizerArgs a = ParseRecognizerArgs(
        {"-audiofile /tmp/gravação 1.wav", "-audiorealtime yes", "-audiodev fifo_mic", "-logfn /tmp/x.log"}, Known);
    EXPECT_TRUE(a.Engine.empty());
    EXPECT_EQ(a.AudioFile, "/tmp/gravação 1.wav");
    EXPECT_TRUE(a.AudioRealTime);
    EXPECT_EQ(a.AudioDevice, "fifo_mic");
    // The log goes to the control's LogFile, whatever the file says.
    ASSERT_EQ(a.Notes.size(), 1u);
    EXPECT_NE(a.Notes[0].find("-logfn"), std::string::npos);
}

TEST(ArgFile, BooleansReadAsTheEngineReadsThem) {
    EXPECT_TRUE(ArgIsTrue("yes"));
    EXPECT_TRUE(ArgIsTrue(" TRUE "));
    EXPECT_TRUE(ArgIsTrue("1"));
    EXPECT_FALSE(ArgIsTrue("no"));
    EXPECT_FALSE(ArgIsTrue("0"));
    EXPECT_FALSE(ArgIsTrue(""));
}

}  // namespace
}  // namespace zel
