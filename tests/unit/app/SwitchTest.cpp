// The recognition switch: its steps in order, what the user sees between
// them, and what stays where after each failure.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSystemTrayIcon>
#include <QTest>

#include "tests/unit/app/AppFixture.h"

using zeltest::AppFixture;

namespace {

class Switch : public AppFixture {
protected:
    void ClickReconhecer() { QTest::mouseClick(form->btnReconhecer, Qt::LeftButton, {}, QPoint(20, 20)); }
    // What the user sees at each step: status text and whether the five buttons are enabled.
    void Watch(const std::string& step) {
        services.During[step] = [this, step] {
            seen.push_back(step + ": " + form->lblStatus->text().toStdString() + (MenuButtonsEnabled() ? " [on]" : " [off]"));
        };
    }
    bool MenuButtonsEnabled() {
        bool all = true;
        for (QWidget* w : std::initializer_list<QWidget*>{form->btnCarregarProfile, form->btnSalvarProfile, form->BtnComandos,
                                                         form->btnPreferencias, form->btnDitado})
            all = all && w->isEnabled();
        return all;
    }
    std::vector<std::string> seen;
};

}  // namespace

TEST_F(Switch, SwitchOnGoesStepByStepAndShowsWhereItStands) {
    auto& f = Create();
    for (const char* s : {"GenerateRecognizerFiles", "InitRecognizer", "StartRecognizer"}) Watch(s);
    f.edtTempoTeclas->setText("40");
    f.edtTempoAtivo->setText("7");
    f.mmoDitado->setPlainText("### UNI ###\n1\tcasa");
    f.timerAtivo->start(100000);
    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(services.Trace(), "GenerateRecognizerFiles InitRecognizer StartRecognizer");
    EXPECT_EQ(seen, (std::vector<std::string>{"GenerateRecognizerFiles: Gerando arquivos [on]",
                                              "InitRecognizer: Inicializando Sphinx [off]",
                                              "StartRecognizer: Sphinx Inicializado [off]"}));
    EXPECT_TRUE(f.btnReconhecer->Checked());
    EXPECT_TRUE(f.Reconhecer1->isChecked());
    EXPECT_FALSE(f.timerAtivo->isActive());
    EXPECT_EQ(f.Profile.TempoTecla, 40);
    EXPECT_EQ(services.LastState.TempoTecla, 40);
    EXPECT_EQ(services.LastState.TempoAtivacao, 7);
    EXPECT_EQ(services.LastState.PastaExe, pasta);
    EXPECT_EQ(services.LastDitado, (std::vector<std::string>{"### UNI ###", "1\tcasa"}));
    EXPECT_FALSE(MenuButtonsEnabled());
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Ouvindo…"));
    EXPECT_TRUE(messages.isEmpty());

    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(services.Trace(), "StopRecognizer CloseKeyHook HideIndicator");
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_FALSE(f.Reconhecer1->isChecked());
    EXPECT_TRUE(MenuButtonsEnabled());
    EXPECT_EQ(f.lblStatus->text(), "Reconhecimento Desligado");
    // The times of the switch-on are the ones written at exit.
    Destroy();
    EXPECT_NE(dir.Read("config.ini").find("tempotecla=40\r\ntempoativacao=7\r\n"), std::string::npos);
}

// Unsaved changes of the profile are offered for saving before another
// profile is loaded and before the program ends; nothing is asked of a
// profile as it was loaded.
TEST_F(Switch, UnsavedChangesAreOfferedForSavingBeforeALoadOrTheEnd) {
    const char* kProfile = "[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=copiar\r\nacao=1\r\nargs=CTRL+C\r\nfonemas=K\r\n[ditado]\r\n";
    dir.Write("a.zpr", kProfile);
    dir.Write("b.zpr", kProfile);
    auto& f = Create();
    nextChoice << QString::fromStdString(dir.File("a.zpr"));
    QTest::mouseClick(f.btnCarregarProfile, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(f.Profile.Comandos.Count(), 1);
    EXPECT_TRUE(questions.isEmpty()) << "an empty profile has nothing to save";
    // Unchanged: loaded without a word.
    nextChoice << QString::fromStdString(dir.File("a.zpr"));
    QTest::mouseClick(f.btnCarregarProfile, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(questions.isEmpty());
    f.mmoDitado->setPlainText("uma frase nova");
    // Cancel: nothing is loaded, nothing is saved.
    answer = zel::TFormWindow::TAnswer::Cancel;
    dialogsShown.clear();
    QTest::mouseClick(f.btnCarregarProfile, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(questions, QStringList{QString::fromUtf8("Salvar as alterações em a?")});
    EXPECT_TRUE(dialogsShown.isEmpty());
    EXPECT_EQ(f.mmoDitado->toPlainText(), "uma frase nova");
    // Yes: saved into its own file, then the other one is loaded.
    answer = zel::TFormWindow::TAnswer::Yes;
    nextChoice << QString::fromStdString(dir.File("b.zpr"));
    QTest::mouseClick(f.btnCarregarProfile, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_NE(dir.Read("a.zpr").find("[ditado]\r\numa frase nova"), std::string::npos) << dir.Read("a.zpr");
    EXPECT_EQ(f.lblProfile->text(), "Profile atual: b");
    EXPECT_EQ(dir.Read("b.zpr"), kProfile);
    // No: the changes go, the file stays as it was.
    f.mmoDitado->setPlainText("outra");
    answer = zel::TFormWindow::TAnswer::No;
    nextChoice << QString::fromStdString(dir.File("a.zpr"));
    QTest::mouseClick(f.btnCarregarProfile, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dir.Read("b.zpr"), kProfile);
    EXPECT_EQ(f.lblProfile->text(), "Profile atual: a");
    // The small x asks too; cancelled, the window stays.
    f.mmoDitado->setPlainText("mais uma");
    questions.clear();
    answer = zel::TFormWindow::TAnswer::Cancel;
    QTest::mouseClick(f.MathBotao1, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(questions, QStringList{QString::fromUtf8("Salvar as alterações em a?")});
    EXPECT_TRUE(f.isVisible());
}

// A profile loaded from the notification menu while listening would not
// reach the recognizer (its words typed as text): the item waits as the
// menu page's button does.
TEST_F(Switch, TheTrayMenusLoadWaitsForTheSwitchOff) {
    auto& f = Create();
    ASSERT_TRUE(f.CarregarProfile1->isEnabled());
    ClickReconhecer();
    ASSERT_TRUE(f.btnReconhecer->Checked());
    EXPECT_FALSE(f.CarregarProfile1->isEnabled());
    f.CarregarProfile1->trigger();
    EXPECT_TRUE(dialogsShown.isEmpty()) << dialogsShown.join(",").toStdString();
    ClickReconhecer();
    EXPECT_TRUE(f.CarregarProfile1->isEnabled());
}

TEST_F(Switch, AnActivationKeyOpensTheHookLast) {
    dir.Write("config.ini", "[geral]\r\nteclaativacao=F9\r\n");
    Create();
    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(services.Trace(), "GenerateRecognizerFiles InitRecognizer StartRecognizer OpenKeyHook");
    EXPECT_EQ(services.LastState.TeclaAtivacao, "F9");
}

TEST_F(Switch, BlankActivationKeyOpensNoHook) {
    auto& f = Create();
    f.edtTeclaAtivacao->setText(" \t");
    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(services.Trace(), "GenerateRecognizerFiles InitRecognizer StartRecognizer");
}

TEST_F(Switch, NonIntegerTimesStopBeforeAnythingIsGenerated) {
    auto& f = Create();
    f.edtTempoAtivo->setText("5s");
    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(messages, QStringList{"'5s' is not a valid integer value"});
    EXPECT_EQ(services.Trace(), "");
    EXPECT_EQ(f.lblStatus->text(), "Gerando arquivos");
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_FALSE(f.Reconhecer1->isChecked());  // the tick follows the switch
    EXPECT_TRUE(MenuButtonsEnabled());
    EXPECT_EQ(f.Profile.TempoTecla, 10);
    // Fixed, the next click switches on.
    f.edtTempoAtivo->setText("5");
    ClickReconhecer();
    EXPECT_TRUE(f.btnReconhecer->Checked());
}

TEST_F(Switch, FailedGenerationLeavesTheButtonsEnabled) {
    auto& f = Create();
    services.FailWith["GenerateRecognizerFiles"] = "Cannot create file /x/dictionary.dic";
    ClickReconhecer();
    EXPECT_EQ(messages, QStringList{"Cannot create file /x/dictionary.dic"});
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_TRUE(MenuButtonsEnabled());
    EXPECT_EQ(f.lblStatus->text(), "Gerando arquivos");
}

TEST_F(Switch, FailedInitSaysSoLeavesTheButtonsUsableAndTheNextClickRepeatsEverything) {
    auto& f = Create();
    services.FailWith["InitRecognizer"] = "Modelo recusado";
    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(messages, QStringList{"Modelo recusado"});
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_FALSE(f.Reconhecer1->isChecked());
    EXPECT_TRUE(MenuButtonsEnabled());
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Reconhecedor indisponível: Modelo recusado"));
    services.FailWith.clear();
    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(services.Trace(), "GenerateRecognizerFiles InitRecognizer StartRecognizer");
    EXPECT_TRUE(f.btnReconhecer->Checked());
}

TEST_F(Switch, FailedStartSaysTheMicrophoneIsUnavailableAndTurnsEverythingOff) {
    auto& f = Create();
    services.FailWith["StartRecognizer"] = "Connection refused";
    ClickReconhecer();
    EXPECT_EQ(messages, QStringList{"Connection refused"});
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Microfone indisponível: Connection refused"));
    EXPECT_TRUE(MenuButtonsEnabled());
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_FALSE(f.Reconhecer1->isChecked());
    // The big button is back at its resting look, not stuck pressed.
    EXPECT_EQ(f.btnReconhecer->Picture().copy(0, 0, 172, 76),
              zel::SkinImage("reconhecer").convertToFormat(QImage::Format_RGB32).copy(0, 0, 172, 76));
    services.FailWith.clear();
    ClickReconhecer();
    EXPECT_TRUE(f.btnReconhecer->Checked());
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Ouvindo…"));
}

TEST_F(Switch, TheBigButtonSaysPararWhileOn) {
    auto& f = Create();
    auto look = [&f] { return f.btnReconhecer->Picture().copy(0, 0, 172, 76); };
    const QImage reconhecer = zel::SkinImage("reconhecer").convertToFormat(QImage::Format_RGB32);
    const QImage parar = zel::SkinImage("parar").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(parar.isNull());
    ASSERT_NE(parar.copy(344, 0, 172, 76), reconhecer.copy(344, 0, 172, 76));
    ClickReconhecer();
    EXPECT_EQ(look(), parar.copy(344, 0, 172, 76));
    ClickReconhecer();
    EXPECT_EQ(look(), reconhecer.copy(172, 0, 172, 76));  // off, the mouse still over it
}

TEST_F(Switch, ALostAudioServerTurnsEverythingOffAndSaysWhy) {
    auto& f = Create();
    f.edtTeclaAtivacao->setText("F9");
    ClickReconhecer();
    f.btnMinimizarClick();
    services.Calls.clear();
    services.Links.UtteranceError(1);  // the audio source failed
    services.Links.StopListening();
    const QString why = QString::fromUtf8("Microfone indisponível: servidor de áudio parou");
    EXPECT_EQ(messages, QStringList{why});
    EXPECT_EQ(f.lblStatus->text(), why);
    EXPECT_EQ(services.Trace(), "StopRecognizer CloseKeyHook HideIndicator");
    EXPECT_TRUE(MenuButtonsEnabled());
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_FALSE(f.Reconhecer1->isChecked());
    ASSERT_NE(f.TrayIcon, nullptr);
    EXPECT_EQ(f.TrayIcon->toolTip(), "MORO Zel (desativado)");
    // The menu entry switches on again.
    services.Calls.clear();
    f.Reconhecer1->trigger();
    EXPECT_EQ(services.Trace(), "GenerateRecognizerFiles InitRecognizer StartRecognizer OpenKeyHook");
    EXPECT_TRUE(f.btnReconhecer->Checked());
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Ouvindo…"));
}

TEST_F(Switch, ASourceThatEndsTurnsTheSwitchOffQuietlyButTheUsersOwnStopIsNoFailure) {
    auto& f = Create();
    ClickReconhecer();
    services.Links.StopListening();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Microfone indisponível: fonte de áudio encerrada"));
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_TRUE(MenuButtonsEnabled());
    // The recognizer also reports the end of listening from inside its stop.
    ClickReconhecer();
    services.During["StopRecognizer"] = [this] { services.Links.StopListening(); };
    ClickReconhecer();
    EXPECT_EQ(f.lblStatus->text(), "Reconhecimento Desligado");
}

TEST_F(Switch, FailedHookStopsTheRecognizerSoThatButtonAndRecognizerAgree) {
    auto& f = Create();
    f.edtTeclaAtivacao->setText("F9");
    services.FailWith["OpenKeyHook"] = "Erro ao criar arquivo de mem\xF3ria";
    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Erro ao criar arquivo de memória")});
    EXPECT_EQ(services.Trace(), "GenerateRecognizerFiles InitRecognizer StartRecognizer OpenKeyHook StopRecognizer");
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_TRUE(MenuButtonsEnabled());
    EXPECT_EQ(f.lblStatus->text(), "Reconhecimento Desligado");
}

TEST_F(Switch, ClicksQueuedDuringTheSwitchOnDoNotStartASecondOne) {
    auto& f = Create();
    // A second click waits in the queue; the switch-on's pump delivers it.
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QPointF p(20, 20);
        QCoreApplication::postEvent(f.btnReconhecer, new QMouseEvent(type, p, f.btnReconhecer->mapToGlobal(p), Qt::LeftButton,
                                                                     type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                                     Qt::NoModifier));
    }
    // And one more arrives while the files are being generated.
    int generations = 0;
    services.During["GenerateRecognizerFiles"] = [this, &generations] {
        if (++generations == 1) ClickReconhecer();
    };
    services.Calls.clear();
    ClickReconhecer();
    EXPECT_EQ(services.Trace(), "GenerateRecognizerFiles InitRecognizer StartRecognizer");
    EXPECT_TRUE(f.btnReconhecer->Checked());
    EXPECT_TRUE(f.Reconhecer1->isChecked());
    EXPECT_TRUE(messages.isEmpty());
    // Afterwards the switch works as before.
    services.During.clear();
    ClickReconhecer();
    EXPECT_FALSE(f.btnReconhecer->Checked());
}

TEST_F(Switch, MenuEntrySwitchesFlipsTheButtonAndRenewsTheIcon) {
    auto& f = Create();
    f.btnMinimizarClick();
    EXPECT_FALSE(f.isVisible());
    ASSERT_NE(f.TrayIcon, nullptr);
    EXPECT_EQ(f.TrayIcon->toolTip(), "MORO Zel (desativado)");
    f.Reconhecer1->trigger();
    EXPECT_TRUE(f.btnReconhecer->Checked());
    EXPECT_TRUE(f.Reconhecer1->isChecked());
    ASSERT_NE(f.TrayIcon, nullptr);
    EXPECT_EQ(f.TrayIcon->toolTip(), "MORO Zel");
    EXPECT_FALSE(f.isVisible());
    f.Reconhecer1->trigger();
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_EQ(f.TrayIcon->toolTip(), "MORO Zel (desativado)");
    f.AbrirPainel1->trigger();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.TrayIcon, nullptr);
}

TEST_F(Switch, MenuEntryThatFailsLeavesButtonAndIcon) {
    auto& f = Create();
    f.btnMinimizarClick();
    QSystemTrayIcon* icon = f.TrayIcon;
    services.FailWith["InitRecognizer"] = "falhou";
    f.Reconhecer1->trigger();
    EXPECT_EQ(messages, QStringList{"falhou"});
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_FALSE(f.Reconhecer1->isChecked());
    EXPECT_EQ(f.TrayIcon, icon);
}

TEST_F(Switch, RecognizedSentencesAreHandedOnWithTheWindowsState) {
    auto& f = Create();
    ClickReconhecer();
    f.chbModoAdv->setChecked(false);
    services.Links.UtteranceResult(u"  dois baixo\t");
    services.Links.UtteranceResult(u"");
    EXPECT_EQ(services.Sentences, (std::vector<std::u16string>{u"  dois baixo\t", u""}));
    EXPECT_FALSE(services.LastState.ModoAdv);
    EXPECT_EQ(services.LastState.Comandos, &f.Profile.Comandos);
    // The other events of a run that goes on do nothing.
    services.Calls.clear();
    services.Links.NewUtterance();
    services.Links.EndUtterance();
    services.Links.UtteranceError(3);
    services.Links.StartListening();
    services.Links.UtterancePartialResult(u"x");
    EXPECT_EQ(services.Trace(), "");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Switch, ErrorsOfASentenceAreShownAndTheProgramGoesOn) {
    Create();
    services.FailWith["ActivationTimerTick"] = "'dois' is not a valid integer value";
    services.Links.TimerAtivo->SetInterval(1);
    services.Links.TimerAtivo->SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !messages.isEmpty(); }, 5000));
    EXPECT_EQ(messages, QStringList{"'dois' is not a valid integer value"});
    EXPECT_EQ(services.Calls.back(), "ActivationTimerTick");
}
