#include "form/ZelServices.h"

#include <memory>
#include <mutex>

#include "actions/ActionContext.h"
#include "actions/Activation.h"
#include "commands/KeyNames.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "platform/SystemFiles.h"
#include "recognition/AudioSources.h"
#include "recognition/HeardReporter.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/Sphinx.h"
#include "recognition/training/UseAdaptation.h"
#include "recognition/training/VoiceTraining.h"
#include "recognition/hook/ActivationKey.h"
#include "recognition/hook/HookLibrary.h"

namespace zel {

namespace {

class TZelServices : public IWindowServices {
public:
    TZelServices(std::string pastaExe, std::string installation, std::unique_ptr<IDesktop> desktop,
                 std::unique_ptr<IEventPoster> poster, const TRecognizerFactory& recognizer)
        : pastaExe_(std::move(pastaExe)), installation_(std::move(installation)), desktop_(std::move(desktop)),
          poster_(std::move(poster)) {
        sphinx_ = std::make_unique<TSphinx>(recognizer(*poster_), installation_ + kRecognizerFolderName);
        IRecognizerControl& c = sphinx_->Control();
        // The window's handlers, whenever a window is connected.
        c.OnUtteranceResult = [this](const std::u16string& r) { if (links_.UtteranceResult) links_.UtteranceResult(r); };
        c.OnNewUtterance = [this] {
            if (ctx_) UtteranceBegan(*ctx_);
            if (links_.NewUtterance) links_.NewUtterance();
        };
        c.OnUtteranceDone = [this] {
            if (ctx_ && zel::UtteranceDone(*ctx_) && links_.UtteranceDone) links_.UtteranceDone();
        };
        c.OnEndUtterance = [this] { if (links_.EndUtterance) links_.EndUtterance(); };
        c.OnUtteranceError = [this](int32_t e) { if (links_.UtteranceError) links_.UtteranceError(e); };
        c.OnStartListening = [this] { if (links_.StartListening) links_.StartListening(); };
        c.OnStopListening = [this] { if (links_.StopListening) links_.StopListening(); };
        c.OnUtterancePartialResult = [this](const std::u16string& r) {
            if (links_.UtterancePartialResult) links_.UtterancePartialResult(r);
        };
        c.OnUtteranceScore = [this](const TUtteranceScore& s) { heard_.Score(s); };
        heard_.SetHistoryFile(pastaExe_ + kHistoryFileName);
        heard_.OnHeard = [this](const THeardEntry& e) { if (links_.Heard) links_.Heard(e); };
        heard_.OnHistoryError = [this](const std::string& m) { if (links_.HistoryError) links_.HistoryError(m); };
    }

    ~TZelServices() override {
        links_ = TWindowLinks{};
        Guarded([this] { sphinx_->StopRecognizer(); });
    }

    void Connect(const TWindowLinks& links) override {
        links_ = links;
        if (!links.TimerAtivo) return;  // the window is going away
        ctx_ = std::make_unique<TActionContext>(noCommands_, *desktop_, *links.TimerAtivo,
                                                hook_.Loaded() ? &indicator_ : nullptr);
    }

    void LoadHookLibrary() override {
        hook_.LoadHookLibrary(installation_);
        // The indicator is the library's; without it the indicator calls are skipped.
        ctx_->Indicator = &indicator_;
    }

    void SetConfThreshPercentage(int32_t percent) override { sphinx_->Control().ConfThreshPercentage = percent; }
    void SetSamplesPerSecond(int32_t rate) override { sphinx_->Control().SamplesPerSecond = rate; }
    std::string TextToPhonemes(const std::string& text) override { return sphinx_->TextToPhonemes(text); }

    void LoadDictationCorpus(const std::string& corpus, const std::string& pastaExe) override {
        // A file that is no text (a picture, a program) leaves the counts as they were.
        RequireTextBytes(corpus, ReadFileBytes(corpus));
        TParserPortugues& parser = sphinx_->Parser();
        parser.ResetCounts();
        parser.LoadCorpusFile(corpus);
        parser.GenerateModelFiles(pastaExe);
    }

    // From the files of a switch-on to its switch-off the folder is this
    // run's: another run would write over its vocabulary.
    void GenerateRecognizerFiles(const TWindowState& state, const std::vector<std::string>& ditado) override {
        Sync(state);
        if (!folderLock_) folderLock_ = FolderLock(state.PastaExe);
        try {
            zel::GenerateRecognizerFiles(*sphinx_, *ctx_, ditado, state.PastaExe);
        } catch (...) {
            folderLock_.reset();
            throw;
        }
    }
    void InitRecognizer() override { sphinx_->InitRecognizer(); }
    void StartRecognizer() override {
        heard_.StartRun();
        sphinx_->StartRecognizer();
    }
    void StopRecognizer() override {
        struct Release {
            std::shared_ptr<TFolderLock>& lock;
            ~Release() { lock.reset(); }
        } release{folderLock_};
        sphinx_->StopRecognizer();
    }
    // The activation key goes with the window id: the hook library takes
    // that key from the applications while it watches.
    void OpenKeyHook(uint64_t windowId) override {
        hook_.OpenKeyHook(static_cast<uint32_t>(windowId), zel::KeyNameToCode(ctx_->Prefs.TeclaAtivacao));
    }
    void CloseKeyHook() override { hook_.CloseKeyHook(); }
    void HideIndicator() override { ActivationSwitchOff(*ctx_); }

    void UtteranceResult(const TWindowState& state, const std::u16string& result) override {
        Sync(state);
        heard_.Result(*ctx_, result);
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

    std::string ListeningStatus() override { return zel::ListeningStatus(*ctx_); }
    std::string RecognizerNotice() override { return sphinx_->Control().Notice; }
    void SetHistoryEnabled(bool enabled) override { heard_.SetHistoryEnabled(enabled); }
    void SetLearningFromUse(bool on) override {
        if (!use_) {
            use_ = std::make_unique<TUseStore>(pastaExe_);
            adaptation_ = std::make_unique<TUseAdaptation>(pastaExe_, *use_, [this](const std::vector<TPrompt>& prompts) {
                std::lock_guard<std::mutex> one(training_);
                zel::TrainVoice(InstalledTrainingSetup(pastaExe_, installation_), prompts);
            });
            // The folder stays this run's until the new voice is in place, past a switch-off.
            adaptation_->HoldFolder = [this]() -> std::shared_ptr<void> { return FolderLock(pastaExe_); };
            adaptation_->OnEnded = [this](const TUseAdaptationEnd& end) {
                poster_->Post([this, end] {
                    if (links_.VoiceAdapted) links_.VoiceAdapted(end);
                });
            };
        }
        ApplyLearningFromUse(sphinx_->Control(), *use_, adaptation_.get(), on, [this](const std::string& m) {
            if (links_.HistoryError) links_.HistoryError(m);
        });
    }
    std::vector<TAudioSourceInfo> AudioSources() override { return ListAudioSources(); }
    void SetAudioSource(const std::string& name) override { sphinx_->Control().AudioSource = name; }
    void StartLevelMeter(const std::string& name) override { meter_.Start(name); }
    void StopLevelMeter() override { meter_.Stop(); }
    int32_t TakeLevel() override { return meter_.TakeLevel(); }
    std::unique_ptr<IAudioSource> OpenTakeMicrophone(int32_t rate) override { return OpenMicrophone("", rate, rate); }
    void TrainVoice(const std::vector<TPrompt>& takes, const std::string& pastaExe,
                    const std::function<void(const std::string&)>& progress) override {
        const std::shared_ptr<TFolderLock> lock = FolderLock(pastaExe);
        // One training at a time: an adaptation from use may be under way.
        std::lock_guard<std::mutex> one(training_);
        zel::TrainVoice(InstalledTrainingSetup(pastaExe, installation_), takes, progress);
    }

private:
    // The lock on the program's folder: the one this process holds (the
    // switch-on's, a training's), or a new one. The training page asks from
    // a thread of its own.
    std::shared_ptr<TFolderLock> FolderLock(const std::string& folder) {
        std::lock_guard<std::mutex> one(liveLockMutex_);
        std::shared_ptr<TFolderLock> lock = liveLock_.lock();
        if (!lock) liveLock_ = lock = std::make_shared<TFolderLock>(folder);
        return lock;
    }

    static void Guarded(const std::function<void()>& f) {
        try {
            f();
        } catch (...) {
        }
    }

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
    std::string installation_;  // the recognizer's folder and the hook library are there
    std::unique_ptr<IDesktop> desktop_;
    THookLibrary hook_;
    THookIndicator indicator_{hook_};
    std::unique_ptr<IEventPoster> poster_;
    std::unique_ptr<TSphinx> sphinx_;
    TListaComandos noCommands_;
    std::unique_ptr<TActionContext> ctx_;
    TWindowLinks links_;
    THeardReporter heard_;
    std::unique_ptr<TUseStore> use_;  // made at the first setting, in the program's folder
    TLevelMeter meter_;
    std::shared_ptr<TFolderLock> folderLock_;  // while switched on
    std::weak_ptr<TFolderLock> liveLock_;      // held by a switch-on, a training or an adaptation
    std::mutex liveLockMutex_;
    std::mutex training_;                      // one training of the voice at a time
    // Last: an adaptation under way ends before the rest goes.
    std::unique_ptr<TUseAdaptation> adaptation_;
};

}  // namespace

std::unique_ptr<IWindowServices> MakeWindowServices(const std::string& pastaExe, const std::string& installation,
                                                    std::unique_ptr<IDesktop> desktop,
                                                    std::unique_ptr<IEventPoster> poster,
                                                    const TRecognizerFactory& recognizer) {
    return std::make_unique<TZelServices>(pastaExe, installation, std::move(desktop), std::move(poster), recognizer);
}

}  // namespace zel
