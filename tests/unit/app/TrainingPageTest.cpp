// The page "treino": sentence by sentence from the microphone, then the
// adaptation off the window's thread, and forgetting it.
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include <algorithm>
#include <filesystem>

#include "commands/TextFile.h"
#include "recognition/AudioSource.h"
#include "recognition/WavWriter.h"
#include "tests/unit/app/AppFixture.h"

namespace {

class TrainingPage : public zeltest::AppFixture {
protected:
    TrainingPage() {
        dir.Write("frases_treino.txt", "# comentário\r\nPrimeira frase.\r\nA segunda, com p\xE3o.\r\n");
        // What the microphone hears: a second of a steady tone.
        for (size_t i = 0; i < spoken.size(); ++i) spoken[i] = static_cast<int16_t>((i % 40 < 20) ? 6000 : -6000);
        dir.Write("mic.wav", zel::WavFileBytes(spoken, 16000));
        services.TakeWav = dir.File("mic.wav");
    }
    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5)); }
    // Records the sentence shown: until the meter moves, then stop.
    void Record(zel::TForm1& f) {
        Click(f.btnGravar);
        ASSERT_TRUE(f.btnGravar->Checked());
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.barNivel->value() > 0; }, 3000));
        EXPECT_EQ(f.barNivel->value(), 18);  // peak 6000 of 32768
        Click(f.btnGravar);
        EXPECT_FALSE(f.btnGravar->Checked());
    }
    std::string Enabled(zel::TForm1& f) {
        std::string s;
        for (auto* b : {f.btnGravar, f.btnRefazer, f.btnProxima, f.btnAdaptar, f.btnEsquecerTreino, f.btnVoltarTreino})
            s += b->isEnabled() ? b->objectName().toStdString().substr(3) + " " : "";
        return s;
    }
    std::vector<int16_t> spoken = std::vector<int16_t>(16000);
};

TEST_F(TrainingPage, EverySentenceIsRecordedRedoneIfWantedThenTheModelIsAdapted) {
    auto& f = Create();
    Click(f.btnTreinarVoz);
    EXPECT_EQ(f.CurrentPageName(), "treino");
    EXPECT_EQ(f.lblTreinoProgresso->text(), "1 de 2");
    EXPECT_EQ(f.lblTreinoFrase->text(), "Primeira frase.");
    EXPECT_EQ(Enabled(f), "Gravar VoltarTreino ");
    // What it takes, said before the first sentence.
    EXPECT_EQ(f.lblTreinoStatus->text(), "São 2 frases, cerca de 1 minuto de leitura; Adaptar fica disponível quando todas "
                                         "estiverem gravadas. Leia cada frase em voz alta, no seu ritmo normal.");

    Record(f);
    EXPECT_EQ(f.lblTreinoStatus->text(), "Gravada (1 de 2 gravadas). Clique em Próxima para a frase seguinte.");
    EXPECT_EQ(services.Trace(), "LoadHookLibrary OpenTakeMicrophone(16000)");
    EXPECT_EQ(Enabled(f), "Refazer Proxima VoltarTreino ");
    // The take holds what the microphone said, from its start.
    int32_t rate = 0;
    const std::vector<int16_t> take = zel::ReadWavSamples(dir.File("gravacoes/000.wav"), rate);
    EXPECT_EQ(rate, 16000);
    ASSERT_GT(take.size(), 0u);
    EXPECT_TRUE(std::equal(take.begin(), take.end(), spoken.begin()));

    Click(f.btnRefazer);
    EXPECT_EQ(Enabled(f), "Gravar VoltarTreino ");
    Record(f);
    Click(f.btnProxima);
    EXPECT_EQ(f.lblTreinoProgresso->text(), "2 de 2");
    EXPECT_EQ(f.lblTreinoFrase->text(), "A segunda, com pão.");
    Record(f);
    // The last sentence: no next one, and everything is there to adapt.
    EXPECT_EQ(Enabled(f), "Refazer Adaptar VoltarTreino ");
    EXPECT_EQ(dir.Read("gravacoes/lista.tsv"), "000.wav\tPrimeira frase.\r\n001.wav\tA segunda, com p\xE3o.\r\n");

    Click(f.btnAdaptar);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Training(); }, 5000));
    EXPECT_EQ(f.lblTreinoStatus->text(), "Pronto: a sua voz será usada ao ligar o reconhecimento.");
    ASSERT_EQ(services.TrainedOn.size(), 2u);
    EXPECT_EQ(services.TrainedOn[1].Wav, dir.File("gravacoes/001.wav"));
    EXPECT_EQ(services.TrainedOn[1].Sentence, "A segunda, com p\xE3o.");
    EXPECT_EQ(Enabled(f), "Refazer Adaptar EsquecerTreino VoltarTreino ");
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();

    Click(f.btnEsquecerTreino);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "voz"));
    EXPECT_EQ(f.lblTreinoStatus->text(), "Treino de voz esquecido: o modelo instalado volta a ser usado.");
    EXPECT_EQ(Enabled(f), "Refazer Adaptar VoltarTreino ");
    Click(f.btnVoltarTreino);
    EXPECT_EQ(f.CurrentPageName(), "menu");
}

TEST_F(TrainingPage, AFailedAdaptationIsShownAndThePageIsUsableAgain) {
    auto& f = Create();
    dir.Write("frases_treino.txt", "Uma s\xF3.\r\n");
    Click(f.btnTreinarVoz);
    Record(f);
    services.FailWith["TrainVoice"] = "O treino de voz falhou (bw)";
    Click(f.btnAdaptar);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Training(); }, 5000));
    EXPECT_EQ(messages, QStringList{"O treino de voz falhou (bw)"});
    EXPECT_EQ(f.lblTreinoStatus->text(), "O treino não terminou; o modelo anterior continua em uso.");
    EXPECT_EQ(Enabled(f), "Refazer Adaptar VoltarTreino ");
}

TEST_F(TrainingPage, TheVoiceAdaptedFromUseIsToldOnThePageAndAFailureInAMessage) {
    auto& f = Create();
    Click(f.btnReconhecer);
    services.Links.VoiceAdapted(zel::TUseAdaptationEnd{60, ""});
    EXPECT_EQ(f.lblTreinoStatus->text(), "Voz adaptada com 60 comandos ouvidos; ela vale a partir da próxima ativação.");
    EXPECT_TRUE(messages.isEmpty());
    services.Links.VoiceAdapted(zel::TUseAdaptationEnd{120, "Disco cheio"});
    const QString failed = "A adaptação da voz com 120 comandos não terminou; o modelo anterior continua em uso: Disco cheio";
    EXPECT_EQ(f.lblTreinoStatus->text(), failed);
    EXPECT_EQ(messages, QStringList{failed});
    EXPECT_TRUE(f.btnReconhecer->Checked());
}

TEST_F(TrainingPage, ATakeOfAMutedMicrophoneIsNotKeptAndTheUserIsToldWhy) {
    auto& f = Create();
    // A room's noise, no voice: the loudest sample at 1% of full scale.
    for (size_t i = 0; i < spoken.size(); ++i) spoken[i] = static_cast<int16_t>((i % 40 < 20) ? 320 : -320);
    dir.Write("mic.wav", zel::WavFileBytes(spoken, 16000));
    Click(f.btnTreinarVoz);
    Click(f.btnGravar);
    QTest::qWait(300);
    Click(f.btnGravar);
    EXPECT_EQ(f.lblTreinoStatus->text(), "Nada foi ouvido: verifique o microfone e grave de novo.");
    EXPECT_EQ(Enabled(f), "Gravar VoltarTreino ");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gravacoes/000.wav"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

TEST_F(TrainingPage, OnlyWhileRecognitionIsOffAndOnlyWithSentences) {
    auto& f = Create();
    Click(f.btnReconhecer);
    EXPECT_FALSE(f.btnTreinarVoz->isEnabled());
    Click(f.btnReconhecer);
    EXPECT_TRUE(f.btnTreinarVoz->isEnabled());
    std::filesystem::remove(dir.Path() / "frases_treino.txt");
    Click(f.btnTreinarVoz);
    EXPECT_EQ(messages, QStringList{QString::fromStdString("Cannot open file " + dir.File("frases_treino.txt"))});
    EXPECT_EQ(f.CurrentPageName(), "menu");
}

}  // namespace
