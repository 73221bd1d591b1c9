// The voice adapted in the background from the commands kept while listening:
// when it starts, what it learns from, and what a failure leaves.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "recognition/FakeRecognizer.h"
#include "recognition/WavWriter.h"
#include "recognition/training/UseAdaptation.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

TUtteranceScore Sure(const char16_t* text) {
    TUtteranceScore s;
    s.Text = text;
    s.Confidence = 90;
    s.GrammarVerdict = 1;
    s.GrammarHeard = text;
    s.Accepted = true;
    return s;
}

struct Listening {
    explicit Listening(const zeltest::TTempDir& dir, TUseAdaptation::TTrain train, size_t every)
        : store(dir.File("")), adaptation(dir.File(""), store, std::move(train), every) {
        ApplyLearningFromUse(control, store, &adaptation, true, [this](const std::string& m) { errors.push_back(m); });
        adaptation.OnEnded = [this](const TUseAdaptationEnd& e) { ends.push_back(e); };
    }
    void Say(const char16_t* command) {
        control.OnCommandToLearnFrom(Sure(command), std::vector<int16_t>(1600, 3000), 16000);
    }
    TFakeRecognizerControl control;
    TUseStore store;
    TUseAdaptation adaptation;
    std::vector<std::string> errors;
    std::vector<TUseAdaptationEnd> ends;  // written by the adaptation's thread, read after Wait
};

TEST(UseAdaptation, AdaptsFromTheSessionAndEveryKeptCommandOnceEnoughCameAndAgainAfterAsManyMore) {
    zeltest::TTempDir dir;
    std::filesystem::create_directories(dir.Path() / "gravacoes");
    dir.Write("gravacoes/000.wav", WavFileBytes(std::vector<int16_t>(1600, 3000), 16000));
    dir.Write("gravacoes/lista.tsv", "000.wav\tPrimeira frase.\r\n");
    std::vector<std::vector<TPrompt>> trained;
    Listening run(dir, [&](const std::vector<TPrompt>& p) { trained.push_back(p); }, 3);

    run.Say(u"copiar");
    run.Say(u"colar");
    run.adaptation.Wait();
    EXPECT_TRUE(trained.empty());
    run.Say(u"abrir+porta(2)");
    run.adaptation.Wait();
    ASSERT_EQ(trained.size(), 1u);
    ASSERT_EQ(trained[0].size(), 4u);
    EXPECT_EQ(trained[0][0].Sentence, "Primeira frase.");
    EXPECT_EQ(trained[0][0].Wav, dir.File("gravacoes/000.wav"));
    EXPECT_EQ(trained[0][3].Sentence, "abrir porta");
    ASSERT_EQ(run.ends.size(), 1u);
    EXPECT_EQ(run.ends[0].Commands, 3u);
    EXPECT_EQ(UseAdaptationMessage(run.ends[0]),
              "Voz adaptada com 3 comandos ouvidos; ela vale a partir da pr\xF3xima ativa\xE7\xE3o.");

    run.Say(u"salvar");
    run.Say(u"fechar");
    run.adaptation.Wait();
    EXPECT_EQ(trained.size(), 1u);
    run.Say(u"desfazer");
    run.adaptation.Wait();
    ASSERT_EQ(trained.size(), 2u);
    EXPECT_EQ(trained[1].size(), 7u);
    EXPECT_TRUE(run.errors.empty());

    // A new run of the program counts on from what the last one adapted with.
    TUseStore again(dir.File(""));
    EXPECT_EQ(again.NotAdaptedCount(again.Prompts()), 0u);
}

TEST(UseAdaptation, NothingIsKeptWhileOneRunsAndTheSettingOffWaitsForIt) {
    zeltest::TTempDir dir;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> started{false};
    Listening run(dir, [&](const std::vector<TPrompt>&) {
        started = true;
        released.wait();
    }, 2);
    run.Say(u"copiar");
    run.Say(u"colar");
    while (!started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(run.adaptation.Running());
    run.Say(u"salvar");  // the store is being read: not kept
    EXPECT_EQ(run.store.Prompts().size(), 2u);
    release.set_value();
    ApplyLearningFromUse(run.control, run.store, &run.adaptation, false, nullptr);
    EXPECT_FALSE(run.adaptation.Running());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gravacoes/uso"));
}

TEST(UseAdaptation, AFailedOneKeepsTheVoiceAsItWasAndIsTriedAgainOnlyAfterAsManyCommands) {
    zeltest::TTempDir dir;
    // A real training that fails half-way: a kept recording it cannot learn from.
    std::filesystem::create_directories(dir.Path() / "modelo");
    std::filesystem::create_directories(dir.Path() / "voz");
    dir.Write("modelo/mdef", "m");
    dir.Write("modelo/means", "m");
    dir.Write("voz/means", "the voice trained before");
    TTrainingSetup setup;
    setup.ProgramFolder = dir.File("");
    setup.BaseModel = dir.File("modelo");
    int tries = 0;
    TUseStore store(dir.File(""));
    TUseAdaptation adaptation(dir.File(""), store, [&](const std::vector<TPrompt>& prompts) {
        ++tries;
        TrainVoice(setup, prompts);
    }, 2);
    std::vector<TUseAdaptationEnd> ends;
    adaptation.OnEnded = [&](const TUseAdaptationEnd& e) { ends.push_back(e); };
    TFakeRecognizerControl control;
    ApplyLearningFromUse(control, store, &adaptation, true, nullptr);
    auto say = [&](const char16_t* command) {
        control.OnCommandToLearnFrom(Sure(command), std::vector<int16_t>(16000, 0), 16000);  // silence
        adaptation.Wait();
    };
    say(u"copiar");
    say(u"colar");
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(UseAdaptationMessage(ends[0]).rfind("A adapta\xE7\xE3o da voz com 2 comandos n\xE3o terminou; "
                                                  "o modelo anterior continua em uso: Nada foi ouvido em ", 0), 0u)
        << UseAdaptationMessage(ends[0]);
    EXPECT_EQ(dir.Read("voz/means"), "the voice trained before");
    say(u"salvar");
    EXPECT_EQ(tries, 1);
    say(u"fechar");
    EXPECT_EQ(tries, 2);
}

}  // namespace
}  // namespace zel
