// What the user sees of recognition on the window: the heard panel, the
// status with the activation state, the listening lamp, the microphone
// choice with its level meter, and the history setting.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "app/HeardPanel.h"
#include "app/ListeningLight.h"
#include "app/MicrophonePanel.h"
#include "recognition/RecognizerControl.h"
#include "tests/unit/app/AppFixture.h"
#include "tests/support/WaitFor.h"

using zeltest::AppFixture;

namespace {

class Feedback : public AppFixture {
protected:
    void SwitchOn() { QTest::mouseClick(form->btnReconhecer, Qt::LeftButton, {}, QPoint(20, 20)); }
};

TEST_F(Feedback, HeardPanelShowsNewestFirstAtMostFifty) {
    auto& f = Create();
    SwitchOn();
    services.Links.Heard(zel::THeardEntry{"2026-12-08 18:40:12", "copiar", 87, true, "CTRL+C"});
    services.Links.Heard(zel::THeardEntry{"2026-12-08 18:40:15", "trinta baixo", 26, false, "rejeitado (26)"});
    EXPECT_EQ(f.lstOuvido->Line(0), QString::fromUtf8("18:40:15  trinta baixo → rejeitado (26)"));
    EXPECT_EQ(f.lstOuvido->Line(1), QString::fromUtf8("18:40:12  copiar → CTRL+C (87)"));
    for (int i = 0; i < 60; ++i) services.Links.Heard(zel::THeardEntry{"", "bom dia", 70, true, "digitado"});
    EXPECT_EQ(f.lstOuvido->count(), 50);
    EXPECT_TRUE(f.lstOuvido->isVisibleTo(&f));
}

TEST_F(Feedback, StatusFollowsTheActivationStateAndTheLampTheSpeech) {
    auto& f = Create();
    EXPECT_EQ(f.lmpOuvindo->State(), zel::TListeningLight::Off);
    services.Status = "Ouvindo \x97 comandos desativados";
    SwitchOn();
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Ouvindo — comandos desativados"));
    EXPECT_EQ(f.lmpOuvindo->State(), zel::TListeningLight::Listening);
    services.Links.NewUtterance();
    EXPECT_EQ(f.lmpOuvindo->State(), zel::TListeningLight::Hearing);
    services.Status = "Ouvindo \x97 comandos ativados";
    services.Links.EndUtterance();
    services.Links.UtteranceResult(u"computador");
    EXPECT_EQ(f.lmpOuvindo->State(), zel::TListeningLight::Listening);
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Ouvindo — comandos ativados"));
    services.Status = "Ouvindo \x97 comandos desativados";
    f.timerAtivoTimer();
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Ouvindo — comandos desativados"));
    SwitchOn();  // off again
    EXPECT_EQ(f.lmpOuvindo->State(), zel::TListeningLight::Off);
    EXPECT_EQ(f.lblStatus->text(), "Reconhecimento Desligado");
}

TEST_F(Feedback, AnUnwritableHistoryIsToldOnceAndListeningGoesOn) {
    auto& f = Create();
    SwitchOn();
    services.Links.HistoryError("N\xE3o foi poss\xEDvel gravar o hist\xF3rico");
    EXPECT_EQ(messages, QStringList{QString::fromUtf8("Não foi possível gravar o histórico")});
    EXPECT_TRUE(f.btnReconhecer->Checked());
}

TEST_F(Feedback, AChosenSourceThatLeavesTheServerTurnsTheSwitchOff) {
    auto& f = Create();
    SwitchOn();
    services.Links.UtteranceError(zel::kUtteranceErrorSourceGone);
    services.Links.StopListening();
    const QString why = QString::fromUtf8("Microfone indisponível: a fonte de áudio escolhida saiu do servidor");
    EXPECT_EQ(f.lblStatus->text(), why);
    EXPECT_EQ(messages, QStringList{why});
    EXPECT_FALSE(f.btnReconhecer->Checked());
    EXPECT_TRUE(f.btnPreferencias->isEnabled());
    EXPECT_EQ(f.lmpOuvindo->State(), zel::TListeningLight::Off);
}

TEST_F(Feedback, MicrophoneChoiceAndLevelWhileThePageIsOpen) {
    dir.Write("config.ini", "[geral]\r\nmicrofone=usb_mic\r\n");
    services.Sources = {{"", "fonte padr\xE3o"}, {"fifo_mic", "Microfone embutido"}, {"usb_mic", "Microfone USB"}};
    auto& f = Create();
    EXPECT_EQ(services.Source, "usb_mic");  // the recognizer has it before the page is ever opened
    services.Calls.clear();
    services.Level = 80;
    f.btnPreferenciasClick();
    EXPECT_EQ(services.Trace(), "AudioSources StartLevelMeter(usb_mic)");
    zel::TMicrophonePanel& mic = *f.pnlMicrofone;
    ASSERT_EQ(mic.cbxMicrofone->count(), 3);
    EXPECT_EQ(mic.cbxMicrofone->itemText(0), QString::fromUtf8("padrão"));
    EXPECT_EQ(mic.cbxMicrofone->currentText(), "usb_mic");
    ASSERT_SOON(mic.pbNivel->value() == 80, 2000) << mic.pbNivel->value();
    // Choosing "padrão" takes effect at once: recognizer and meter.
    services.Calls.clear();
    mic.cbxMicrofone->activated(0);
    EXPECT_EQ(services.Source, "");
    EXPECT_EQ(services.Trace(), "StartLevelMeter()");
    f.btnVoltarClick();
    EXPECT_EQ(services.Trace(), "StartLevelMeter() StopLevelMeter");
    Destroy();
    EXPECT_NE(dir.Read("config.ini").find("microfone=\r\n"), std::string::npos) << dir.Read("config.ini");
}

TEST_F(Feedback, WithoutAnAudioServerThePageStillOpensAndSaysWhy) {
    services.FailWith["AudioSources"] = "Servidor de \xE1udio (PulseAudio) indispon\xEDvel";
    services.FailWith["StartLevelMeter()"] = "N\xE3o foi poss\xEDvel abrir o microfone";
    auto& f = Create();
    f.btnPreferenciasClick();
    EXPECT_EQ(f.CurrentPageName(), "prefs");
    EXPECT_EQ(f.pnlMicrofone->cbxMicrofone->currentText(), QString::fromUtf8("padrão"));
    EXPECT_EQ(f.pnlMicrofone->cbxMicrofone->toolTip(), QString::fromUtf8("Servidor de áudio (PulseAudio) indisponível"));
    EXPECT_FALSE(f.pnlMicrofone->pbNivel->isEnabled());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Feedback, HistoryIsOnForOldSettingsAndCanBeTurnedOff) {
    dir.Write("config.ini", "[geral]\r\nconfianca=60\r\n");
    auto& f = Create();
    EXPECT_TRUE(f.chbHistorico->isChecked());
    EXPECT_TRUE(services.History);
    f.chbHistorico->setChecked(false);
    EXPECT_FALSE(services.History);
    Destroy();
    EXPECT_NE(dir.Read("config.ini").find("historico=0\r\n"), std::string::npos);
}

TEST_F(Feedback, LearningFromUseIsOnForOldSettingsAndCanBeTurnedOff) {
    dir.Write("config.ini", "[geral]\r\nconfianca=60\r\n");
    auto& f = Create();
    EXPECT_EQ(f.chbAprenderUso->text(), "Aprender com o uso");
    EXPECT_TRUE(f.chbAprenderUso->isChecked());
    EXPECT_TRUE(services.LearningFromUse);
    f.chbAprenderUso->setChecked(false);
    EXPECT_FALSE(services.LearningFromUse);
    Destroy();
    EXPECT_NE(dir.Read("config.ini").find("historico=1\r\naprenderuso=0\r\n"), std::string::npos) << dir.Read("config.ini");
}

}  // namespace
