// The recognition switch and the recognizer's events.
#include <chrono>
#include <thread>

#include "commands/Cp1252.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "form/ErrorGuard.h"
#include "form/FormLogic.h"
#include "recognition/RecognitionSwitch.h"

namespace zel {

TWindowState TFormLogic::State() const {
    const TFormControls& c = Controls;
    TWindowState s;
    s.Comandos = &Profile.Comandos;
    s.TempoTecla = Profile.TempoTecla;
    s.TempoAtivacao = Profile.TempoAtivacao;
    s.MultiCmd = c.chbMultiCmd->Checked();
    s.ModNum = c.chbModNum->Checked();
    s.ModoAdv = c.chbModoAdv->Checked();
    s.AtivaToggle = c.chbAtivaToggle->Checked();
    s.MostrarIndicador = c.chbMostrarIndicador->Checked();
    s.SomAtivacao = c.edtSomAtivacao->FileName();
    s.TeclaAtivacao = c.edtTeclaAtivacao->Text();
    s.PastaExe = PastaExe;
    return s;
}

void TFormLogic::SetMenuButtonsEnabled(bool enabled) {
    const TFormControls& c = Controls;
    for (IImageButton* b : {c.btnCarregarProfile, c.btnSalvarProfile, c.BtnComandos, c.btnPreferencias, c.btnDitado})
        b->SetEnabled(enabled);
    // Training records from the microphone the recognizer would hold.
    c.btnTreinarVoz->SetEnabled(enabled);
    // The notification menu's load is the menu page's: a profile loaded
    // while listening would not reach the recognizer.
    if (c.CarregarProfile1) c.CarregarProfile1->SetEnabled(enabled);
}

void TFormLogic::btnReconhecerClick() {
    // Input handled during the message pumps of a switch-on must not start a
    // second switch: the click is dropped, and the button does not flip.
    if (switching_) throw EAbort();
    Controls.Reconhecer1->SetChecked(!Controls.btnReconhecer->Checked());
    if (Controls.btnReconhecer->Checked()) {
        SwitchOff();
        return;
    }
    try {
        SwitchOn();
    } catch (...) {
        // The menu's tick shows the state the switch is really in.
        Controls.Reconhecer1->SetChecked(false);
        throw;
    }
}

// The window as the switch's view and its steps through the services.
class TWindowSwitch : public ISwitchView, public ISwitchSteps {
public:
    TWindowSwitch(TFormLogic& form, IWindowServices& services) : form_(form), c_(form.Controls), services_(services) {}

    void SetStatus(const std::string& caption) override { c_.lblStatus->SetText(caption); }
    void SetMenuButtonsEnabled(bool enabled) override { form_.SetMenuButtonsEnabled(enabled); }
    // The hook library's key reports come to this window.
    void OpenKeyHook() override { services_.OpenKeyHook(form_.HookWindowId()); }
    void CloseKeyHook() override { services_.CloseKeyHook(); }
    void SetListening(bool listening) override {
        form_.listening_ = listening;
        c_.lmpOuvindo->SetState(listening ? ILamp::Listening : ILamp::Off);
    }
    void ShowSwitchedOff() override {
        c_.btnReconhecer->WriteChecked(false);
        c_.Reconhecer1->SetChecked(false);
    }

    void ProcessMessages() override { form_.ProcessMessages(); }
    void SetTimes(int32_t tempoTecla, int32_t tempoAtivacao) override {
        form_.Profile.TempoTecla = tempoTecla;
        form_.Profile.TempoAtivacao = tempoAtivacao;
    }
    void StopActivationTimer() override { c_.timerAtivo->SetEnabled(false); }
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
    bool HasActivationKey() override { return !Trim(c_.edtTeclaAtivacao->Text()).empty(); }
    std::string ListeningStatus() override { return services_.ListeningStatus(); }
    std::string RecognizerNotice() override { return services_.RecognizerNotice(); }
    void ShowNotice(const std::string& text) override { ShowMessageUtf8(Cp1252ToUtf8(text)); }

private:
    TFormLogic& form_;
    const TFormControls& c_;
    IWindowServices& services_;
};

void TFormLogic::SwitchOff() {
    TWindowSwitch view(*this, services_);
    RecognitionSwitchOff(view, view);
}

void TFormLogic::SwitchOn() {
    switching_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{switching_};
    TSwitchOnInput input;
    input.TempoTeclas = Controls.edtTempoTeclas->Text();
    input.TempoAtivo = Controls.edtTempoAtivo->Text();
    input.Ditado = DitadoLines();
    input.PastaExe = PastaExe;
    TWindowSwitch view(*this, services_);
    RecognitionSwitchOn(view, view, input);
}

void TFormLogic::ShowListeningStatus() {
    if (listening_) Controls.lblStatus->SetText(services_.ListeningStatus());
}

void TFormLogic::Reconhecer1Click() {
    btnReconhecerClick();
    Controls.btnReconhecer->WriteChecked(!Controls.btnReconhecer->Checked());
    RemoveTrayIcon();
    MinimizeToTray();
}

void TFormLogic::SphinxUtteranceResult(const std::u16string& result) {
    // An activation command changes what the status says, also when a later
    // word of the sentence fails.
    struct After {
        TFormLogic& form;
        ~After() { form.ShowListeningStatus(); }
    } after{*this};
    services_.UtteranceResult(State(), result);
}

namespace {
void Yield1ms() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
}  // namespace

// The lamp's second look: speech began, its result is not in yet.
void TFormLogic::SphinxNewUtterance() {
    if (listening_) Controls.lmpOuvindo->SetState(ILamp::Hearing);
    Yield1ms();
}

void TFormLogic::SphinxEndUtterance() {
    if (listening_) Controls.lmpOuvindo->SetState(ILamp::Listening);
    Yield1ms();
}

void TFormLogic::SphinxUtteranceError(int32_t error) {
    if (error == kUtteranceErrorAudio || error == kUtteranceErrorSourceGone) audioError_ = error;
    Yield1ms();
}

void TFormLogic::SphinxStartListening() { Yield1ms(); }

void TFormLogic::SphinxStopListening() {
    // Our own switch-off stops listening too; only an end that nobody asked
    // for (a lost audio source, a source that ended) changes the window.
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
    if (TrayIconShown()) MinimizeToTray();
    if (audioError_ == 0) return;
    // Recognition stopped without the user: say so even with the window hidden.
    throw TError(status);
}

void TFormLogic::SphinxUtterancePartialResult(const std::u16string&) { Yield1ms(); }

void TFormLogic::timerAtivoTimer() {
    services_.ActivationTimerTick(State());
    ShowListeningStatus();
}

void TFormLogic::ActivationKeyMessage(uint32_t wParam, uint32_t lParam) {
    services_.ActivationKey(State(), wParam, lParam);
    ShowListeningStatus();
}

}  // namespace zel
