#include "app/ZelServices.h"

#include <QCoreApplication>
#include <QSoundEffect>
#include <QUrl>

#include "actions/ActionContext.h"
#include "actions/Activation.h"
#include "actions/Interpretation.h"
#include "commands/Cp1252.h"
#include "langmodel/ParserPortugues.h"
#include "commands/ZelError.h"
#include "platform/x11/X11Desktop.h"
#include "recognition/hook/ActivationKey.h"
#include "recognition/hook/HookLibrary.h"

namespace zel {

namespace {

// The activation sound: one reused sound object; silent without a device.
class TSoundPlayer {
public:
    void Play(const std::string& utf8File) {
        if (!effect_) effect_ = std::make_unique<QSoundEffect>();
        effect_->stop();
        effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(utf8File)));
        effect_->play();
    }

private:
    std::unique_ptr<QSoundEffect> effect_;
};

class TZelServices : public IWindowServices {
public:
    explicit TZelServices(std::string pastaExe) : pastaExe_(std::move(pastaExe)) {
        desktop_ = std::make_unique<TX11Desktop>();
        desktop_->SetMessagePump([] { QCoreApplication::processEvents(); });
        desktop_->SetSoundPlayer([this](const std::string& file) { sound_.Play(file); });
    }

    void Connect(const TWindowLinks& links) override {
        links_ = links;
        ctx_ = std::make_unique<TActionContext>(noCommands_, *desktop_, *links.TimerAtivo, nullptr);
    }

    void LoadHookLibrary() override {
        hook_.LoadHookLibrary(pastaExe_);
        // The indicator is the library's; without it the indicator calls are skipped.
        ctx_->Indicator = &indicator_;
    }
    void LoadKeyboardLayout() override { desktop_->LoadKeyboardLayout(); }
    void SetConfThreshPercentage(int32_t) override {}
    void SetSamplesPerSecond(int32_t) override {}
    std::string TextToPhonemes(const std::string& text) override { return TParserPortugues::TextToPhonemes(text); }
    void LoadDictationCorpus(const std::string& corpus, const std::string& pastaExe) override {
        parser_.ResetCounts();
        parser_.LoadCorpusFile(corpus);
        parser_.GenerateModelFiles(pastaExe);
    }
    void GenerateRecognizerFiles(const TWindowState& state, const std::vector<std::string>&) override {
        Sync(state);
        Unavailable();
    }
    void InitRecognizer() override { Unavailable(); }
    void StartRecognizer() override { Unavailable(); }
    void StopRecognizer() override {}
    void OpenKeyHook(uint64_t windowId) override { hook_.OpenKeyHook(static_cast<uint32_t>(windowId)); }
    void CloseKeyHook() override { hook_.CloseKeyHook(); }
    void HideIndicator() override { zel::HideIndicator(*ctx_); }

    void HandleSentence(const TWindowState& state, const std::string& sentence) override {
        Sync(state);
        zel::HandleSentence(*ctx_, sentence);
    }
    void ActivationKey(const TWindowState& state, uint32_t wParam, uint32_t lParam) override {
        Sync(state);
        ActivationKeyMessage(*ctx_, wParam, lParam);
    }
    void ActivationTimerTick(const TWindowState& state) override {
        Sync(state);
        zel::ActivationTimerTick(*ctx_);
    }
    void ShellOpen(const std::string& file) override { desktop_->ShellOpen(file, "", ""); }

private:
    [[noreturn]] static void Unavailable() { throw TError("Reconhecimento indisponível"); }

    // The window's controls as the interpretation reads them.
    void Sync(const TWindowState& s) {
        ctx_->Comandos = s.Comandos;
        ctx_->TempoTecla = s.TempoTecla;
        ctx_->TempoAtivacao = s.TempoAtivacao;
        ctx_->Prefs.MultiCmd = s.MultiCmd;
        ctx_->Prefs.ModNum = s.ModNum;
        ctx_->Prefs.ModoAdv = s.ModoAdv;
        ctx_->Prefs.AtivaToggle = s.AtivaToggle;
        ctx_->Prefs.MostrarIndicador = s.MostrarIndicador;
        ctx_->Prefs.SomAtivacao = s.SomAtivacao;
        ctx_->Prefs.TeclaAtivacao = s.TeclaAtivacao;
    }

    std::string pastaExe_;
    THookLibrary hook_;
    THookIndicator indicator_{hook_};
    TParserPortugues parser_;
    TSoundPlayer sound_;
    std::unique_ptr<TX11Desktop> desktop_;
    TListaComandos noCommands_;
    std::unique_ptr<TActionContext> ctx_;
    TWindowLinks links_;
};

}  // namespace

std::unique_ptr<IWindowServices> MakeZelServices(const std::string& pastaExe) {
    return std::make_unique<TZelServices>(pastaExe);
}

}  // namespace zel
