// zelcmd listen --profile FILE.zpr [--audio FILE.wav] [--source NAME] [--dry-run] [--settings config.ini]
//               [--modnum modnum.ini] [--folder DIR]
// The whole road from sound to actions: switches recognition on as the window
// does (the files are generated into DIR, by default zelcmd's own folder, the
// argument file is written from the template of the recognizer's folder
// beside zelcmd), listens to the microphone, or to a WAV file when --audio
// names one (the control's AudioFile, which wins over the argument file's
// "-audiofile"), and prints every sentence heard with its confidence and the
// actions it caused, then the line the window's panel shows ("ouvido: copiar
// → CTRL+C (87)"); the history file historico.log goes into DIR unless the
// settings turn it off. --source names the audio server's source (see
// `zelcmd sources`; the settings' "microfone" otherwise). A WAV file ends the
// run when it has been heard to the end; the microphone listens until Ctrl+C.
// A microphone that cannot be opened (no server, or one that does not answer
// within a few seconds) or a source that fails on the way (the audio server
// went away) ends the run with status 3 and says so; Ctrl+C while the
// microphone is being opened ends it at once with status 130. With --dry-run
// the actions are printed instead of done.
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>

#include "actions/Activation.h"
#include "actions/NumericModifiers.h"
#include "commands/Cp1252.h"
#include "commands/IniFile.h"
#include "commands/KeyNames.h"
#include "commands/Profile.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/AudioSources.h"
#include "recognition/HeardReporter.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/training/UseAdaptation.h"
#include "recognition/SphinxControl.h"
#include "platform/SystemFiles.h"
#include "platform/SystemProcess.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"
#include "tools/zelcmd/TerminalSession.h"

namespace zelcmd {

namespace {

constexpr const char* kUsage =
    "uso: zelcmd listen --profile FILE.zpr [--audio FILE.wav] [--source NOME] [--dry-run] [--settings config.ini] "
    "[--modnum modnum.ini] [--folder DIR] [--adapt-after N]";

volatile std::sig_atomic_t gInterrupted = 0;
extern "C" void OnInterrupt(int) { gInterrupted = 1; }

// A terminal has no window: the status goes to stderr, there are no buttons,
// and no hook library.
class TTerminalView : public zel::ISwitchView {
public:
    void SetStatus(const std::string& caption) override {
        status = caption;
        std::cerr << zel::Cp1252ToUtf8(caption) << '\n';
    }
    void SetMenuButtonsEnabled(bool) override {}
    void OpenKeyHook() override {
        std::cerr << "zelcmd: tecla de ativação ignorada (sem biblioteca de gancho no terminal)\n";
    }
    void CloseKeyHook() override {}
    void ShowNotice(const std::string& text) override { std::cerr << "zelcmd: " << zel::Cp1252ToUtf8(text) << '\n'; }
    std::string status;  // the last one
};

}  // namespace

int RunListen(const std::vector<std::string>& argv) {
    TArgs args = ParseArgs(argv, {"profile", "audio", "source", "settings", "modnum", "folder", "adapt-after"},
                           {"dry-run"});
    if (!args.Has("profile") || !args.plain.empty()) throw TExitError(kExitUsage, kUsage);
    const bool dryRun = args.Has("dry-run");
    const std::string exeFolder = Folders().Runtime;
    std::string folder = args.Has("folder") ? args.Get("folder") : exeFolder;
    if (!zel::EndsInFolderSeparator(folder)) folder += zel::FolderSeparator();
    std::error_code ec;
    std::filesystem::create_directories(zel::NativePath(folder), ec);
    // The folder is this run's: another would write over its vocabulary.
    const zel::TFolderLock lock(folder);

    zel::TProfileState profile;
    zel::LoadProfile(profile, args.Get("profile"));

    TTerminalDesktop session(dryRun);
    zel::TActionContext ctx(profile.Comandos, session.Desktop(), session.Timer(), nullptr);

    const zel::TIniDocument ini =
        LoadSettings(args.Has("settings") ? args.Get("settings") : std::string());
    ReadActionSettings(ctx, ini, exeFolder);
    const int32_t confianca = std::clamp(ini.ReadInteger("geral", "confianca", 50), 0, 100);

    // The number words: from --modnum, read where it is, else the program's
    // own table; never copied over another.
    if (args.Has("modnum")) {
        if (!zel::FileExists(args.Get("modnum"))) zel::RaiseCannotOpen(args.Get("modnum"));
        ctx.ModNumFile = args.Get("modnum");
    } else if (zel::NativePath(folder) != zel::NativePath(exeFolder)) {
        ctx.ModNumFile = exeFolder + "modnum.ini";
    }

    zel::TEventQueue queue;
    auto control = std::make_unique<zel::TSphinxControl>(queue);
    zel::TSphinxControl& recognizer = *control;
    recognizer.ConfThreshPercentage = confianca;
    zel::TSphinx sphinx(std::move(control), Folders().Installation + zel::kRecognizerFolderName);

    // The source: --source, else the settings' choice; "padrão" is the
    // server's default.
    std::string source = args.Has("source") ? FromTerminal(args.Get("source")) : ini.ReadString("geral", "microfone", "");
    if (source == zel::kDefaultSourceCaption) source.clear();
    recognizer.AudioSource = source;

    zel::THeardReporter heard;
    heard.SetHistoryFile(folder + zel::kHistoryFileName);
    heard.SetHistoryEnabled(ini.ReadBool("geral", "historico", true));
    heard.OnHeard = [](const zel::THeardEntry& e) { std::cout << "ouvido: " << zel::HeardLine(e) << '\n'; };
    heard.OnHistoryError = [](const std::string& message) { PrintSentenceError(zel::TError(message)); };
    // What is kept to learn the voice from; off, what was kept goes.
    zel::TUseStore useStore(folder);
    // Once enough are kept the voice is adapted in the background (0: never);
    // the folder is this run's all along.
    size_t adaptAfter = zel::kCommandsBeforeAdapting;
    if (args.Has("adapt-after")) {
        const std::string n = args.Get("adapt-after");
        if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos || n.size() > 6)
            throw TExitError(kExitUsage, kUsage);
        adaptAfter = std::stoul(n);
    }
    zel::TUseAdaptation adaptation(folder, useStore, [&folder](const std::vector<zel::TPrompt>& prompts) {
        zel::TrainVoice(zel::InstalledTrainingSetup(folder, Folders().Installation), prompts);
    }, adaptAfter);
    adaptation.OnEnded = [&queue](const zel::TUseAdaptationEnd& end) {
        queue.Post([end] { PrintLine(zel::UseAdaptationMessage(end)); });
    };
    zel::ApplyLearningFromUse(recognizer, useStore, &adaptation, ini.ReadBool("geral", zel::kLearnFromUseKey, true),
                              [](const std::string& message) { PrintSentenceError(zel::TError(message)); });
    TTerminalView view;
    // The status line again whenever the activation state changes it.
    std::string status;
    auto showStatus = [&] {
        const std::string now = zel::ListeningStatus(ctx);
        if (now != status) view.SetStatus(now);
        status = now;
    };

    bool ended = false;
    int32_t confidence = 0;
    recognizer.OnUtteranceScore = [&](const zel::TUtteranceScore& s) {
        confidence = s.Confidence;
        if (!s.Accepted)
            PrintLine("rejected \"" + zel::SentenceFromResult(s.Text) + "\" confidence " +
                      std::to_string(s.Confidence));
        heard.Score(s);
        std::cout.flush();
    };
    // A sentence begun while commands were active stays active to its end.
    recognizer.OnNewUtterance = [&] { zel::UtteranceBegan(ctx); };
    recognizer.OnUtteranceDone = [&] {
        if (zel::UtteranceDone(ctx)) showStatus();
    };
    recognizer.OnUtteranceResult = [&](const std::u16string& result) {
        const std::string sentence = zel::SentenceFromResult(result);
        PrintLine("sentence \"" + sentence + "\" confidence " + std::to_string(confidence));
        try {
            heard.Result(ctx, result);
        } catch (const zel::TError& e) {
            PrintSentenceError(e);
        }
        session.PrintDryRun(ctx);
        std::cout.flush();
        showStatus();
    };
    bool audioFailed = false, sourceGone = false;
    recognizer.OnStopListening = [&] { ended = true; };
    recognizer.OnUtteranceError = [&](int32_t code) {
        if (code == zel::kUtteranceErrorAudio || code == zel::kUtteranceErrorSourceGone) {
            audioFailed = true;
            sourceGone = code == zel::kUtteranceErrorSourceGone;
        } else {
            std::cerr << "zelcmd: erro de áudio (" << code << ")\n";
        }
    };
    if (zel::TSystemDesktop* real = session.Real()) {
        real->SetMessagePump([&] {
            queue.RunPending();
            if (session.TimerDue()) zel::ActivationTimerTick(ctx);
        });
    }

    zel::TSwitchOnInput input;
    input.TempoTeclas = std::to_string(ini.ReadInteger("geral", "tempotecla", 10));
    input.TempoAtivo = std::to_string(ini.ReadInteger("geral", "tempoativacao", 5));
    input.Ditado = profile.Ditado;
    input.PastaExe = folder;
    if (args.Has("audio")) {
        std::string audio = args.Get("audio");
        if (!zel::FileExists(audio)) zel::RaiseCannotOpen(audio);
        recognizer.AudioFile = zel::CoreFileName(std::filesystem::absolute(zel::NativePath(audio)));
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    heard.StartRun();
    recognizer.Cancelled = [] { return gInterrupted != 0; };
    try {
        zel::RecognitionSwitchOn(sphinx, ctx, view, input);
    } catch (const zel::TError& e) {
        if (gInterrupted) throw TExitError(kExitInterrupted, e.what());
        if (view.status.rfind(zel::kStatusMicrophoneFailed, 0) == 0) throw TExitError(kExitAudio, e.what());
        throw;
    }
    status = zel::ListeningStatus(ctx);
    if (!args.Has("audio")) std::cerr << "Ctrl+C termina\n";
    while (!ended && !gInterrupted) {
        queue.WaitAndRun(std::chrono::milliseconds(100));
        if (session.TimerDue()) {
            zel::ActivationTimerTick(ctx);
            showStatus();
        }
    }
    zel::RecognitionSwitchOff(sphinx, ctx, view);
    // An adaptation under way ends, and says so, before the run.
    adaptation.Wait();
    queue.RunPending();
    // A source that failed is not a run that ended well.
    if (audioFailed) throw TExitError(kExitAudio, sourceGone ? zel::kStatusSourceGone : zel::kStatusAudioLost);
    return 0;
}

}  // namespace zelcmd
