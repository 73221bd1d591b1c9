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

// The window as the switch's view and its steps through the services.
class TWindowSwitch : public ISwitchView, public ISwitchSteps {
public:
    TWindowSwitch(TForm1& form, IWindowServices& services) : form_(form), services_(services) {}

    void SetStatus(const std::string& caption) override { form_.lblStatus->setText(Q(caption)); }
    void SetMenuButtonsEnabled(bool enabled) override { form_.SetMenuButtonsEnabled(enabled); }
    // The hook library's key reports come to this window.
    void OpenKeyHook() override { services_.OpenKeyHook(static_cast<uint64_t>(form_.winId())); }
    void CloseKeyHook() override { services_.CloseKeyHook(); }
    void SetListening(bool listening) override {
        form_.listening_ = listening;
        form_.lmpOuvindo->SetState(listening ? TListeningLight::Listening : TListeningLight::Off);
    }
    void ShowSwitchedOff() override {
        form_.btnReconhecer->WriteChecked(false);
        form_.Reconhecer1->setChecked(false);
    }

    void ProcessMessages() override {
        form_.lblStatus->repaint();
        QCoreApplication::processEvents();
    }
    void SetTimes(int32_t tempoTecla, int32_t tempoAtivacao) override {
        form_.Profile.TempoTecla = tempoTecla;
        form_.Profile.TempoAtivacao = tempoAtivacao;
    }
    void StopActivationTimer() override { form_.timerAtivo->stop(); }
    // The program's folder comes with the window's state.
    void GenerateRecognizerFiles(const std::vector<std::string>& ditado, const std::string&) override {
        services_.GenerateRecognizerFiles(form_.State(), ditado);
    }
    void InitRecognizer() override { services_.InitRecognizer(); }
    void StartRecognizer() override {
        form_.audioError_ = 0;
        services_.StartRecognizer();
    }
    void StopRecognizer() override { services_.StopRecognizer(); }
    void HideIndicator() override { services_.HideIndicator(); }
    bool HasActivationKey() override { return !Trim(C(form_.edtTeclaAtivacao->text())).empty(); }
    std::string ListeningStatus() override { return services_.ListeningStatus(); }

private:
    TForm1& form_;
    IWindowServices& services_;
};

void TForm1::SwitchOff() {
    TWindowSwitch view(*this, services_);
    RecognitionSwitchOff(view, view);
}

void TForm1::SwitchOn() {
    switching_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{switching_};
    TSwitchOnInput input;
    input.TempoTeclas = C(edtTempoTeclas->text());
    input.TempoAtivo = C(edtTempoAtivo->text());
    input.Ditado = DitadoLines();
    input.PastaExe = PastaExe;
    TWindowSwitch view(*this, services_);
    RecognitionSwitchOn(view, view, input);
}

void TForm1::ShowListeningStatus() {
    if (listening_) lblStatus->setText(Q(services_.ListeningStatus()));
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
    const std::string status = audioError_ == kUtteranceErrorSourceGone ? kStatusSourceGone
                               : audioError_ != 0                        ? kStatusAudioLost
                                                                         : kStatusSourceEnded;
    TWindowSwitch view(*this, services_);
    RecognitionSwitchedOffBy(view, view, status);
    // An icon in the notification area shows the new state too.
    if (TrayIcon) MinimizeToTray();
    if (audioError_ == 0) return;
    // Recognition stopped without the user: say so even with the window hidden.
    throw TError(status);
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
