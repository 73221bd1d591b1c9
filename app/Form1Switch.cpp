// The recognition switch and the recognizer's events.

#include "app/Form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <chrono>
#include <thread>
#include <xcb/xcb.h>

#include "app/FormParts.h"
#include "app/KeyCaptureEdit.h"
#include "app/ListeningLight.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "mathImg/MathBotao.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/hook/ActivationMessage.h"

namespace zel {

TWindowState TForm1::State() const {
    TWindowState s;
    s.Comandos = &Profile.Comandos;
    s.TempoTecla = Profile.TempoTecla;
    s.TempoAtivacao = Profile.TempoAtivacao;
    s.MultiCmd = chbMultiCmd->isChecked();
    s.ModNum = chbModNum->isChecked();
    s.ModoAdv = chbModoAdv->isChecked();
    s.AtivaToggle = chbAtivaToggle->isChecked();
    s.MostrarIndicador = chbMostrarIndicador->isChecked();
    s.SomAtivacao = FileName(edtSomAtivacao->text());
    s.TeclaAtivacao = C(edtTeclaAtivacao->text());
    s.PastaExe = PastaExe;
    return s;
}

void TForm1::SetMenuButtonsEnabled(bool enabled) {
    for (TMathBotao* b : {btnCarregarProfile, btnSalvarProfile, BtnComandos, btnPreferencias, btnDitado}) b->setEnabled(enabled);
    // Training records from the microphone the recognizer would hold.
    btnTreinarVoz->setEnabled(enabled);
}

void TForm1::btnReconhecerClick() {
    // Input handled during the message pumps of a switch-on must not start a
    // second switch: the click is dropped, and the button does not flip.
    if (switching_) throw EAbort();
    Reconhecer1->setChecked(!btnReconhecer->Checked());
    if (btnReconhecer->Checked()) {
        SwitchOff();
        return;
    }
    try {
        SwitchOn();
    } catch (...) {
        // The menu's tick shows the state the switch is really in.
        Reconhecer1->setChecked(false);
        throw;
    }
}

void TForm1::SwitchOff() {
    listening_ = false;
    services_.StopRecognizer();
    services_.CloseKeyHook();
    SetMenuButtonsEnabled(true);
    services_.HideIndicator();
    lmpOuvindo->SetState(TListeningLight::Off);
    lblStatus->setText(QStringLiteral("Reconhecimento Desligado"));
}

void TForm1::SwitchOn() {
    switching_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{switching_};

    lblStatus->setText(QStringLiteral("Gerando arquivos"));
    lblStatus->repaint();
    QCoreApplication::processEvents();
    const int32_t tempoTecla = StrToInt(C(edtTempoTeclas->text()));
    const int32_t tempoAtivacao = StrToInt(C(edtTempoAtivo->text()));
    Profile.TempoTecla = tempoTecla;
    Profile.TempoAtivacao = tempoAtivacao;
    timerAtivo->stop();
    services_.GenerateRecognizerFiles(State(), DitadoLines());
    SetMenuButtonsEnabled(false);
    lblStatus->setText(QStringLiteral("Inicializando Sphinx"));
    lblStatus->repaint();
    QCoreApplication::processEvents();
    // A recognizer that cannot start leaves everything as it was before the
    // click, and the status says what failed.
    try {
        services_.InitRecognizer();
    } catch (const std::exception& e) {
        SwitchedOffBy(Q(kStatusRecognizerFailed) + Q(e.what()));
        throw;
    }
    lblStatus->setText(QStringLiteral("Sphinx Inicializado"));
    audioError_ = 0;
    try {
        services_.StartRecognizer();
    } catch (const std::exception& e) {
        SwitchedOffBy(Q(kStatusMicrophoneFailed) + Q(e.what()));
        throw;
    }
    if (!Trim(C(edtTeclaAtivacao->text())).empty()) {
        try {
            services_.OpenKeyHook(static_cast<uint64_t>(winId()));
        } catch (...) {
            // Bring recognizer and button back into line: recognition is off.
            services_.StopRecognizer();
            SetMenuButtonsEnabled(true);
            lblStatus->setText(QStringLiteral("Reconhecimento Desligado"));
            throw;
        }
    }
    listening_ = true;
    lmpOuvindo->SetState(TListeningLight::Listening);
    ShowListeningStatus();
}

void TForm1::ShowListeningStatus() {
    if (listening_) lblStatus->setText(Q(services_.ListeningStatus()));
}

void TForm1::SwitchedOffBy(const QString& status) {
    listening_ = false;
    // Each step on its own: one that fails must not keep the others from
    // bringing the window back to "off".
    for (const std::function<void()>& step : std::initializer_list<std::function<void()>>{
             [this] { services_.StopRecognizer(); }, [this] { services_.CloseKeyHook(); },
             [this] { services_.HideIndicator(); }}) {
        try {
            step();
        } catch (const std::exception&) {
        }
    }
    SetMenuButtonsEnabled(true);
    btnReconhecer->WriteChecked(false);
    Reconhecer1->setChecked(false);
    lmpOuvindo->SetState(TListeningLight::Off);
    lblStatus->setText(status);
}

void TForm1::Reconhecer1Click() {
    btnReconhecerClick();
    btnReconhecer->WriteChecked(!btnReconhecer->Checked());
    RemoveTrayIcon();
    MinimizeToTray();
}

void TForm1::SphinxUtteranceResult(const std::u16string& result) {
    // An activation command changes what the status says, also when a later
    // word of the sentence fails.
    struct After {
        TForm1& form;
        ~After() { form.ShowListeningStatus(); }
    } after{*this};
    services_.UtteranceResult(State(), result);
}

namespace {
void Yield1ms() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
}  // namespace

// The lamp's second look: speech began, its result is not in yet.
void TForm1::SphinxNewUtterance() {
    if (listening_) lmpOuvindo->SetState(TListeningLight::Hearing);
    Yield1ms();
}
void TForm1::SphinxEndUtterance() {
    if (listening_) lmpOuvindo->SetState(TListeningLight::Listening);
    Yield1ms();
}
void TForm1::SphinxUtteranceError(int32_t error) {
    if (error == kUtteranceErrorAudio || error == kUtteranceErrorSourceGone) audioError_ = error;
    Yield1ms();
}

void TForm1::SphinxStartListening() { Yield1ms(); }

void TForm1::SphinxStopListening() {
    // Our own switch-off stops listening too; only an end that nobody asked
    // for (a lost audio server, a source that ended) changes the window.
    if (!listening_) {
        Yield1ms();
        return;
    }
    const QString status = Q(audioError_ == kUtteranceErrorSourceGone ? kStatusSourceGone
                             : audioError_ != 0                        ? kStatusAudioLost
                                                                       : kStatusSourceEnded);
    SwitchedOffBy(status);
    // An icon in the notification area shows the new state too.
    if (TrayIcon) MinimizeToTray();
    if (audioError_ == 0) return;
    // Recognition stopped without the user: say so even with the window hidden.
    throw TError(C(status));
}
void TForm1::SphinxUtterancePartialResult(const std::u16string&) { Yield1ms(); }

void TForm1::timerAtivoTimer() {
    services_.ActivationTimerTick(State());
    ShowListeningStatus();
}

void TForm1::ActivationKeyMessage(uint32_t wParam, uint32_t lParam) {
    services_.ActivationKey(State(), wParam, lParam);
    ShowListeningStatus();
}

bool TForm1::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    // The hook library's key reports come as client messages to this window.
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    auto* cm = reinterpret_cast<xcb_client_message_event_t*>(event);
    if (cm->format != 32 || !IsActivationKeyMessage(cm->data.data32[0])) return false;
    if (!testAttribute(Qt::WA_WState_Created) || cm->window != static_cast<xcb_window_t>(winId())) return false;
    const uint32_t wParam = cm->data.data32[1], lParam = cm->data.data32[2];
    Handle([this, wParam, lParam] { ActivationKeyMessage(wParam, lParam); });
    return true;
}

}  // namespace zel
