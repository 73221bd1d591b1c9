// From speech to the heard panel, on a real X server (with_xvfb.sh) with the
// real recognizer listening to a private PulseAudio server's pipe: a command
// shows with what it did, a sentence that is no command shows "rejeitado",
// and an audio server that goes away turns the switch off with the status
// saying why and the buttons usable. A picture of each state goes to
// build/screenshots/ (docs/img/ keeps copies).
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

#include <filesystem>

#include "app/ErrorGuard.h"
#include "app/Form1.h"
#include "app/HeardPanel.h"
#include "app/ListeningLight.h"
#include "app/MicrophonePanel.h"
#include "app/ZelServices.h"
#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "langmodel/ParserPortugues.h"
#include "mathImg/MathBotao.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/SphinxControl.h"
#include "tests/integration/recognition/PrivatePulse.h"
#include "tests/integration/recognition/SpeechFixture.h"
#include "tests/support/TempDir.h"
#include "tests/unit/mathImg/QtTestApp.h"
#include "tests/support/WaitFor.h"

namespace {

using zeltest::TRecording;
using zeltest::TVoice;

class HeardWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        if (!pulse.Running()) GTEST_SKIP() << "no private PulseAudio server: " << pulse.Why();
        zel::SetMessageSink([this](const QString& m) { messages << m; });
        std::filesystem::create_directory(dir.Path() / "sphinx");
        std::filesystem::copy_file(std::string(ZEL_RUNTIME_DIR) + "/sphinx/sphinx.arg.default",
                                   dir.Path() / "sphinx/sphinx.arg.default");
        dir.Write("config.ini", "[geral]\r\nmodnum=0\r\nmodoadv=0\r\nconfianca=50\r\n");
        services = zel::MakeZelServices(pasta, std::make_unique<zel::TFakeDesktop>(keys), [](zel::IEventPoster& p) {
            return std::make_unique<zel::TSphinxControl>(p);
        });
        form = std::make_unique<zel::TForm1>(*services, pasta);
        const std::pair<const char*, const char*> commands[] = {
            {"copiar", "CTRL+C"}, {"colar", "CTRL+V"}, {"salvar", "CTRL+S"}, {"desfazer", "CTRL+Z"}};
        for (const auto& [phrase, combination] : commands)
            form->Profile.Comandos.Append(
                zel::TComando{phrase, zel::TParserPortugues::TextToPhonemes(phrase), zel::tcTecla, combination});
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // No hook library in this folder: said at start-up, and nothing to do with listening.
        ASSERT_EQ(messages, QStringList{QString::fromUtf8("DLL zeldll.dll não encontrada")});
        messages.clear();
    }
    void TearDown() override {
        form.reset();
        services.reset();
        zel::SetMessageSink(nullptr);
        zel::TMathBotao::ErrorHandler = nullptr;
    }
    void Shot(const QString& name) {
        QTest::qWait(100);
        QImage img = form->screen()->grabWindow(0, form->x(), form->y(), form->width(), form->height()).toImage();
        QDir().mkpath(ZEL_SCREENSHOTS);
        EXPECT_TRUE(img.save(QStringLiteral(ZEL_SCREENSHOTS "/") + name + ".png"));
    }
    bool PanelHas(const QString& text) const {
        for (int i = 0; i < form->lstOuvido->count(); ++i)
            if (form->lstOuvido->Line(i).contains(text)) return true;
        return false;
    }
    QString Panel() const {
        QStringList rows;
        for (int i = 0; i < form->lstOuvido->count(); ++i) rows << form->lstOuvido->Line(i);
        return rows.join(" | ");
    }

    zeltest::TPrivatePulse pulse;
    zeltest::TScopedEnv env{"PULSE_SERVER", pulse.Server()};
    zeltest::TTempDir dir;
    std::string pasta = dir.Path().string() + "/";
    zel::TEventLog keys;
    std::unique_ptr<zel::IWindowServices> services;
    std::unique_ptr<zel::TForm1> form;
    QStringList messages;
};

TEST_F(HeardWindow, SpeechShowsInThePanelAndALostServerTurnsTheSwitchOff) {
    // The microphone is alive before switching on: the meter moves on the
    // pipe's noise.
    TRecording noise;
    noise.AddNoise(3.0, 0.05);
    pulse.Feed(noise.Samples());
    form->btnPreferenciasClick();
    ASSERT_SOON(form->pnlMicrofone->pbNivel->value() > 0, 3000);
    EXPECT_EQ(form->pnlMicrofone->cbxMicrofone->itemText(0), QString::fromUtf8("padrão"));
    Shot("prefs_microfone");
    // The audio server stops and comes back while the page is open: the
    // meter says so, then moves again without the page being reopened.
    pulse.Kill();
    ASSERT_SOON(!form->pnlMicrofone->pbNivel->isEnabled(), 5000);
    EXPECT_EQ(form->pnlMicrofone->pbNivel->value(), 0);
    pulse.Restart();
    ASSERT_TRUE(pulse.Running()) << pulse.Why();
    pulse.Feed(noise.Samples());
    ASSERT_SOON(form->pnlMicrofone->pbNivel->isEnabled() && form->pnlMicrofone->pbNivel->value() > 0, 8000);
    EXPECT_EQ(form->CurrentPageName(), "prefs");
    form->btnVoltarClick();
    pulse.StopFeeding();

    QTest::mouseClick(form->btnReconhecer, Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_TRUE(form->btnReconhecer->Checked()) << messages.join("|").toStdString();
    EXPECT_EQ(form->lblStatus->text(), QString::fromUtf8("Ouvindo…"));

    TRecording rec;
    rec.AddSilence(1.0);
    rec.AddSpeech(zeltest::Speak("copiar", TVoice{"pt-br", 150}));
    rec.AddSilence(1.5);
    rec.AddSpeech(zeltest::Speak("a chuva fina cai devagar sobre a cidade antiga", TVoice{"pt-br", 150}));
    rec.AddSilence(1.5);
    rec.AddNoiseFloor(zeltest::kNoiseFloor);
    pulse.Feed(rec.Samples());

    // While the first sentence is spoken the lamp says so.
    ASSERT_SOON(form->lmpOuvindo->State() == zel::TListeningLight::Hearing, 10000);
    Shot("menu_ouvindo_fala");
    ASSERT_SOON(PanelHas(QString::fromUtf8("copiar → CTRL+C (")), 20000) << qPrintable(Panel());
    EXPECT_EQ(keys.Trace(zel::TDesktopEvent::kKeys), "+11 +43 w10 -11 -43");
    ASSERT_SOON(PanelHas(QStringLiteral("rejeitado (")), 20000) << qPrintable(Panel());
    Shot("menu_ouvido");
    // The same lines in the history file, one a sentence.
    const std::string history = dir.Read("historico.log");
    EXPECT_NE(history.find("\tcopiar\t"), std::string::npos) << history;
    EXPECT_NE(history.find("\trejeitado\t"), std::string::npos) << history;

    pulse.Kill();
    ASSERT_SOON(!form->btnReconhecer->Checked(), 10000);
    EXPECT_EQ(form->lblStatus->text(), QString::fromUtf8("Microfone indisponível: servidor de áudio parou"));
    EXPECT_TRUE(form->btnCarregarProfile->isEnabled());
    EXPECT_TRUE(form->btnPreferencias->isEnabled());
    EXPECT_EQ(form->lmpOuvindo->State(), zel::TListeningLight::Off);
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Microfone indisponível: servidor de áudio parou")});
    Shot("menu_servidor_parou");
    // The buttons work: the preferences page opens.
    QTest::mouseClick(form->btnPreferencias, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(form->CurrentPageName(), "prefs");
}

// The training page with the real microphone path and the real trainer:
// every sentence read into the microphone, the model adapted, and the next
// switch-on listens with it.
TEST_F(HeardWindow, TheTrainingPageRecordsEachSentenceAdaptsTheModelAndSwitchOnUsesIt) {
    const std::vector<std::string> sentences = {"O gato preto dorme no telhado da casa velha.",
                                                "A chuva fina molhou as flores do jardim.",
                                                "Meu irmão Paulo comprou o carro azul ontem à tarde.",
                                                "As crianças brincam na praça depois da escola."};
    std::string list;
    for (const auto& s : sentences) list += zel::Utf8ToCp1252(s) + "\r\n";
    dir.Write("frases_treino.txt", list);
    auto click = [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(10, 10)); };
    click(form->btnTreinarVoz);
    ASSERT_EQ(form->CurrentPageName(), "treino");
    for (size_t i = 0; i < sentences.size(); ++i) {
        EXPECT_EQ(form->lblTreinoFrase->text(), QString::fromStdString(sentences[i]));
        click(form->btnGravar);
        TRecording take;
        take.AddSilence(0.3);
        take.AddSpeech(zeltest::Speak(sentences[i], TVoice{"pt-br+m3", 150}));
        take.AddSilence(0.3);
        take.AddNoiseFloor(zeltest::kNoiseFloor, 60 + static_cast<uint32_t>(i));
        const double spoken = take.Seconds();
        take.AddNoise(3.0, zeltest::kNoiseFloor);
        pulse.Feed(take.Samples());
        // The meter follows the voice while it speaks.
        ASSERT_SOON(form->barNivel->value() > 5, 3000);
        QTest::qWait(static_cast<int>(spoken * 1000) + 300);
        click(form->btnGravar);
        if (i == 0) Shot("treino_gravada");
        if (i + 1 < sentences.size()) click(form->btnProxima);
    }
    pulse.StopFeeding();
    ASSERT_TRUE(form->btnAdaptar->isEnabled()) << messages.join("|").toStdString();
    click(form->btnAdaptar);
    ASSERT_SOON(!form->Training(), 60000);
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString() << dir.Read("treino.log");
    EXPECT_EQ(form->lblTreinoStatus->text(), QString::fromUtf8("Pronto: a sua voz será usada ao ligar o reconhecimento."));
    EXPECT_TRUE(form->btnEsquecerTreino->isEnabled());
    EXPECT_NE(dir.Read("voz/means"), zel::ReadFileBytes(ZEL_SPHINX_MODEL "/means"));
    click(form->btnVoltarTreino);

    // Switched on, the adapted model is the one listening, and a command is heard.
    QTest::mouseClick(form->btnReconhecer, Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_TRUE(form->btnReconhecer->Checked()) << messages.join("|").toStdString();
    TRecording rec;
    rec.AddSilence(1.0);
    rec.AddSpeech(zeltest::Speak("salvar", TVoice{"pt-br+m3", 150}));
    rec.AddSilence(1.5);
    rec.AddNoiseFloor(zeltest::kNoiseFloor);
    pulse.Feed(rec.Samples());
    ASSERT_SOON(PanelHas(QString::fromUtf8("salvar → CTRL+S (")), 20000) << qPrintable(Panel());
    EXPECT_NE(dir.Read("sphinx.log").find("adapted to the voice: " + pasta + "voz"), std::string::npos);
    QTest::mouseClick(form->btnReconhecer, Qt::LeftButton, {}, QPoint(20, 20));
    pulse.StopFeeding();
}

}  // namespace
