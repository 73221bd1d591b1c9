#include <gtest/gtest.h>

#include <filesystem>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "recognition/FakeRecognizer.h"
#include "recognition/training/UseAdaptation.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

TUtteranceScore Command(const char16_t* text, int32_t confidence, int32_t verdict, const char16_t* grammar) {
    TUtteranceScore s;
    s.Text = text;
    s.Confidence = confidence;
    s.GrammarVerdict = verdict;
    s.GrammarHeard = grammar;
    s.Accepted = true;
    return s;
}

TEST(UseStore, OnlyACommandBothDecodingsHeardAlikeWellAboveTheThresholdIsWorthKeeping) {
    EXPECT_TRUE(WorthLearningFrom(Command(u"dez abrir+porta", 70, 1, u"dez abrir+porta(2)"), 50));
    EXPECT_FALSE(WorthLearningFrom(Command(u"dez abrir+porta", 69, 1, u"dez abrir+porta"), 50));  // too near
    // Taken as agreeing without the same words (the grammar lost the number).
    EXPECT_FALSE(WorthLearningFrom(Command(u"dez abrir+porta", 90, 1, u"abrir+porta"), 50));
    EXPECT_FALSE(WorthLearningFrom(Command(u"abrir", 90, 0, u""), 50));  // not checked
    EXPECT_FALSE(WorthLearningFrom(Command(u"abrir", 100, 1, u"abrir"), 0));  // nothing checks at 0
    TUtteranceScore rejected = Command(u"abrir", 90, 1, u"abrir");
    rejected.Accepted = false;
    EXPECT_FALSE(WorthLearningFrom(rejected, 50));
    TUtteranceScore dictated = Command(u"abrir", 90, 1, u"abrir");
    dictated.Dictation = true;
    EXPECT_FALSE(WorthLearningFrom(dictated, 50));
}

TEST(UseStore, KeepsEachCommandWithItsWordsAndDropsTheOldestPastEitherBound) {
    zeltest::TTempDir dir;
    const std::vector<int16_t> second(16000, 100);  // 32 KB of audio
    TUseStore store(dir.File(""), 3, 1u << 20);
    store.Keep(u"dez abrir+porta(2)", second, 16000);
    store.Keep(Cp1252ToUtf16(Utf8ToCp1252("próximo")), second, 16000);
    std::vector<TPrompt> kept = store.Prompts();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].Sentence, "dez abrir porta");
    EXPECT_EQ(kept[1].Sentence, Utf8ToCp1252("próximo"));
    EXPECT_EQ(dir.Read("gravacoes/uso/lista.tsv"), "000001.wav\tdez abrir porta\r\n000002.wav\tpr\xF3ximo\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "gravacoes/uso/.moro-zel"));
    store.Keep(u"salvar", second, 16000);
    store.Keep(u"fechar", second, 16000);
    kept = store.Prompts();
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].Sentence, Utf8ToCp1252("próximo"));
    EXPECT_EQ(kept[2].Wav, dir.File("gravacoes/uso/000004.wav"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gravacoes/uso/000001.wav"));

    // By size: two seconds fit in 70 KB, a third pushes the oldest out.
    TUseStore small(dir.File("b/"), 100, 70000);
    for (const char16_t* t : {u"um", u"dois", u"tr\u00eas"}) small.Keep(t, second, 16000);
    kept = small.Prompts();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].Sentence, "dois");
    // One recording bigger than the bound is still kept: the newest stays.
    TUseStore tiny(dir.File("c/"), 100, 1000);
    tiny.Keep(u"um", second, 16000);
    EXPECT_EQ(tiny.Prompts().size(), 1u);
}

TEST(UseStore, ForgettingRemovesOnlyTheProgramsOwnFolder) {
    zeltest::TTempDir dir;
    TUseStore store(dir.File(""));
    EXPECT_FALSE(store.Forget());
    store.Keep(u"salvar", std::vector<int16_t>(800, 5), 16000);
    EXPECT_TRUE(store.Forget());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gravacoes/uso"));
    EXPECT_TRUE(store.Prompts().empty());

    // A folder of the user's by that name: neither written nor removed.
    std::filesystem::create_directories(dir.Path() / "mine/gravacoes/uso");
    dir.Write("mine/gravacoes/uso/notas.txt", "meu");
    TUseStore theirs(dir.File("mine/"));
    EXPECT_THROW(theirs.Keep(u"salvar", std::vector<int16_t>(800, 5), 16000), std::exception);
    EXPECT_THROW(theirs.Forget(), std::exception);
    EXPECT_EQ(dir.Read("mine/gravacoes/uso/notas.txt"), "meu");
}

TEST(UseStore, TheSettingOffKeepsNothingAndADamagedListIsWrittenAnew) {
    zeltest::TTempDir dir;
    TUseStore store(dir.File(""));
    TFakeRecognizerControl control;
    std::vector<std::string> errors;
    ApplyLearningFromUse(control, store, nullptr, true, [&](const std::string& m) { errors.push_back(m); });
    EXPECT_TRUE(control.KeepCommandsToLearnFrom);
    ASSERT_TRUE(control.OnCommandToLearnFrom);
    control.OnCommandToLearnFrom(Command(u"salvar", 90, 1, u"salvar"), std::vector<int16_t>(800, 5), 16000);
    EXPECT_EQ(store.Prompts().size(), 1u);

    dir.Write("gravacoes/uso/lista.tsv", "no tab here\r\n");
    EXPECT_TRUE(store.Prompts().empty());
    control.OnCommandToLearnFrom(Command(u"fechar", 90, 1, u"fechar"), std::vector<int16_t>(800, 5), 16000);
    EXPECT_EQ(store.Prompts().size(), 1u);
    EXPECT_TRUE(errors.empty());

    ApplyLearningFromUse(control, store, nullptr, false, nullptr);
    EXPECT_FALSE(control.KeepCommandsToLearnFrom);
    EXPECT_FALSE(control.OnCommandToLearnFrom);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gravacoes/uso"));
}

}  // namespace
}  // namespace zel
