// The window over the program's own parts, with a recording desktop and a
// recording recognizer control in place of X11 and PocketSphinx: switch-on
// writes the real files and drives the control; a heard sentence presses the
// keys of its command.
#include <QLabel>
#include <QTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>

#include <QTimer>

#include "app/HeardPanel.h"
#include "app/ZelServices.h"
#include "app/KeyCaptureEdit.h"
#include "commands/Cp1252.h"
#include "langmodel/ParserPortugues.h"
#include "commands/TextFile.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/FakeRecognizer.h"
#include "recognition/hook/ActivationMessage.h"
#include "recognition/hook/HookLibrary.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include "tests/unit/app/AppFixture.h"

namespace {

class WindowWithParts : public ::testing::Test {
protected:
    WindowWithParts() : pasta(dir.Path().string() + "/") {
        zel::SetMessageSink([this](const QString& m) { messages << m; });
        std::filesystem::create_directory(dir.Path() / "sphinx");
        dir.Write("sphinx/sphinx.arg.default", "-hmm /modelo/en-us\r\n-samprate 16000\r\n");
        services = zel::MakeZelServices(pasta, std::make_unique<zel::TFakeDesktop>(log), [this](zel::IEventPoster&) {
            auto c = std::make_unique<zel::TFakeRecognizerControl>();
            control = c.get();
            return c;
        });
        form = std::make_unique<zel::TForm1>(*services, pasta);
        form->show();
    }
    ~WindowWithParts() override {
        form.reset();
        services.reset();
        zel::SetMessageSink(nullptr);
    }
    void ClickReconhecer() { QTest::mouseClick(form->btnReconhecer, Qt::LeftButton, {}, QPoint(20, 20)); }
    void AddCommand(const char* cmd, uint8_t acao, const char* args, const char* fonemas) {
        zel::TComando c;
        c.Cmd = cmd;
        c.Acao = acao;
        c.Args = args;
        c.Fonemas = fonemas;
        form->Profile.Comandos.Append(c);
    }

    zeltest::TTempDir dir;
    std::string pasta;
    zel::TEventLog log;
    zel::TFakeRecognizerControl* control = nullptr;
    std::unique_ptr<zel::IWindowServices> services;
    std::unique_ptr<zel::TForm1> form;
    QStringList messages;
};

}  // namespace

TEST_F(WindowWithParts, SwitchOnWritesTheFilesAndAHeardCommandPressesItsKeys) {
    // No zeldll.so in this folder: the program says so and goes on.
    ASSERT_EQ(messages, QStringList{QString::fromUtf8("DLL zeldll.dll não encontrada")});
    messages.clear();
    AddCommand("copiar", zel::tcTecla, "CTRL+C", "K OW P Y AA R ");
    AddCommand("", zel::tcTecla, "A", "");
    form->chbModNum->setChecked(false);
    ClickReconhecer();
    ASSERT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_TRUE(form->btnReconhecer->Checked());
    EXPECT_EQ(form->lblStatus->text(), QString::fromUtf8("Ouvindo…"));
    EXPECT_EQ(control->Trace(), "init start");
    ASSERT_FALSE(control->Calls().empty());
    EXPECT_EQ(control->Calls()[0].ArgFile, zel::Cp1252ToUtf16(pasta + "sphinx.arg"));
    EXPECT_EQ(control->Calls()[0].ConfThreshPercentage, 50);
    EXPECT_EQ(control->Calls()[0].SamplesPerSecond, 22050);
    const auto arg = zel::ReadLines(pasta + "sphinx.arg");
    EXPECT_EQ(arg, (std::vector<std::string>{"-hmm /modelo/en-us", "-samprate 16000", "-lmfn " + pasta + "languagemodel.lm",
                                             "-dictfn " + pasta + "dictionary.dic"}));
    const std::string dic = dir.Read("dictionary.dic");
    EXPECT_NE(dic.find("K OW P Y AA R"), std::string::npos) << dic;
    EXPECT_TRUE(zel::FileExists(pasta + "languagemodel.lm"));
    EXPECT_TRUE(zel::FileExists(pasta + "zellm.zlm"));

    log.Clear();
    ASSERT_TRUE(control->Hear(u"copiar"));
    EXPECT_EQ(log.Trace(zel::TDesktopEvent::kKeys), "+11 +43 w10 -11 -43");

    ClickReconhecer();
    EXPECT_EQ(control->Trace(), "init start stop");
    EXPECT_FALSE(form->btnReconhecer->Checked());
    EXPECT_FALSE(control->Hear(u"copiar"));
}

TEST_F(WindowWithParts, HeardSentencesReachThePanelTheHistoryAndTheStatus) {
    messages.clear();
    AddCommand("copiar", zel::tcTecla, "CTRL+C", "K OW P Y AA R ");
    AddCommand("computador", zel::tcAtivacao, "", "K OW M P W T AA D OW R ");
    form->chbModNum->setChecked(false);
    form->chbAtivaToggle->setChecked(true);
    ClickReconhecer();
    EXPECT_EQ(form->lblStatus->text(), QString::fromUtf8("Ouvindo — comandos desativados"));
    ASSERT_TRUE(control->Hear(u"copiar", 87));
    ASSERT_TRUE(control->Hear(u"computador", 90));
    EXPECT_EQ(form->lblStatus->text(), QString::fromUtf8("Ouvindo — comandos ativados"));
    ASSERT_TRUE(control->Hear(u"colar", 20));  // under the threshold of 50
    ASSERT_TRUE(control->Hear(u"copiar", 77));
    EXPECT_EQ(log.Trace(zel::TDesktopEvent::kKeys), "+11 +43 w10 -11 -43");
    ASSERT_EQ(form->lstOuvido->count(), 4);
    EXPECT_TRUE(form->lstOuvido->Line(0).endsWith(QString::fromUtf8("  copiar → CTRL+C (77)")));
    EXPECT_TRUE(form->lstOuvido->Line(1).endsWith(QString::fromUtf8("  colar → rejeitado (20)")));
    EXPECT_TRUE(form->lstOuvido->Line(2).endsWith(QString::fromUtf8("  computador → comandos ativados (90)")));
    EXPECT_TRUE(form->lstOuvido->Line(3).endsWith(QString::fromUtf8("  copiar → ignorado: comandos desativados (87)")));
    const std::string history = dir.Read("historico.log");
    EXPECT_NE(history.find("\tcolar\t20\trejeitado\t\n"), std::string::npos) << history;
    EXPECT_NE(history.find("\tcopiar\t77\taceito\tCTRL+C\n"), std::string::npos) << history;
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

TEST_F(WindowWithParts, ARecognizerThatFailsToStartLeavesTheSwitchOff) {
    messages.clear();
    control->FailStart = "Sem microfone";
    ClickReconhecer();
    EXPECT_EQ(messages, QStringList{"Sem microfone"});
    EXPECT_FALSE(form->btnReconhecer->Checked());
    EXPECT_EQ(form->lblStatus->text(), QString::fromUtf8("Microfone indisponível: Sem microfone"));
    EXPECT_TRUE(form->btnCarregarProfile->isEnabled());
    control->FailStart.clear();
    ClickReconhecer();
    EXPECT_TRUE(form->btnReconhecer->Checked());
}

TEST_F(WindowWithParts, TheControlsReportOfALostAudioSourceTurnsTheSwitchOff) {
    ClickReconhecer();
    messages.clear();
    // What the control raises when the audio server goes away mid-run.
    control->OnUtteranceError(zel::kUtteranceErrorAudio);
    control->OnStopListening();
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Microfone indisponível: servidor de áudio parou")});
    EXPECT_FALSE(form->btnReconhecer->Checked());
    EXPECT_FALSE(control->Listening());
    EXPECT_TRUE(form->BtnComandos->isEnabled());
    ClickReconhecer();
    EXPECT_TRUE(control->Listening());
}

TEST_F(WindowWithParts, WithoutTheRecognizersFolderTheSwitchShowsTheInstallationMessage) {
    messages.clear();
    std::filesystem::remove_all(dir.Path() / "sphinx");
    ClickReconhecer();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QString::fromUtf8("Diretório do Sphinx não encontrado"))) << messages[0].toStdString();
    EXPECT_FALSE(form->btnReconhecer->Checked());
    EXPECT_EQ(control->Trace(), "");
    // The model files of that switch-on were written all the same.
    EXPECT_TRUE(zel::FileExists(pasta + "languagemodel.lm"));
}

TEST_F(WindowWithParts, TheEditorsPronunciationIsTheBuildersOwn) {
    AddCommand("x", zel::tcTecla, "", "");
    form->BtnComandosClick();
    form->lbxCmds->setCurrentRow(0);
    form->edtCmd->setText(QString::fromUtf8("abrir"));
    EXPECT_EQ(form->edtFonemas->text().toStdString(), zel::TParserPortugues::TextToPhonemes("abrir"));
    EXPECT_EQ(form->Profile.Comandos[0].Fonemas, zel::TParserPortugues::TextToPhonemes("abrir"));
}

TEST_F(WindowWithParts, TheActivationKeyGatesCommandsInHoldMode) {
    messages.clear();
    AddCommand("copiar", zel::tcTecla, "CTRL+C", "K OW P Y AA R ");
    form->edtTeclaAtivacao->setText("F9");
    form->edtSomAtivacao->setText("/sons/bip.wav");
    ClickReconhecer();
    ASSERT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();  // no hook library: opening it does nothing
    // The shared memory tells the library which key to take: F9.
    const int shm = shm_open(zel::THookLibrary::ShmName().c_str(), O_RDONLY, 0);
    ASSERT_GE(shm, 0);
    uint32_t key = 0;
    EXPECT_EQ(pread(shm, &key, sizeof key, zel::kReceptorKey * sizeof(uint32_t)), 4);
    close(shm);
    EXPECT_EQ(key, 0x78u);
    log.Clear();
    control->Hear(u"copiar");
    EXPECT_EQ(log.Trace(zel::TDesktopEvent::kKeys), "");  // an activation key is set: commands wait
    form->ActivationKeyMessage(0x78, 0);                 // F9 down
    control->Hear(u"copiar");
    form->ActivationKeyMessage(0x78, 0xC0000001u);       // F9 up
    control->Hear(u"copiar");
    EXPECT_EQ(log.Trace(zel::TDesktopEvent::kKeys | zel::TDesktopEvent::PlaySound), "sound(/sons/bip.wav) +11 +43 w10 -11 -43");
}

TEST_F(WindowWithParts, TheActivationTimersTickEndsTheActiveTime) {
    AddCommand("computador", zel::tcAtivacao, "", "K OW M P W T AA D OW R ");
    AddCommand("copiar", zel::tcTecla, "CTRL+C", "K OW P Y AA R ");
    form->edtTempoAtivo->setText("60");
    ClickReconhecer();
    log.Clear();
    control->Hear(u"computador");
    EXPECT_TRUE(form->timerAtivo->isActive());
    EXPECT_EQ(form->timerAtivo->interval(), 60000);
    control->Hear(u"copiar");
    EXPECT_EQ(log.Trace(zel::TDesktopEvent::kKeys), "+11 +43 w10 -11 -43");
    form->timerAtivoTimer();
    EXPECT_FALSE(form->timerAtivo->isActive());
    log.Clear();
    control->Hear(u"copiar");
    EXPECT_EQ(log.Trace(zel::TDesktopEvent::kKeys), "");
}
