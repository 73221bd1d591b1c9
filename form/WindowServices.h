#pragma once
// What the window drives beyond its own controls: the hook library, the
// keyboard layout, the recognizer component with its language-model builder,
// the interpretation of sentences and the activation state. The program
// wires the real parts (TZelServices); the tests a recorder.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/Heard.h"
#include "commands/Comandos.h"
#include "platform/Desktop.h"
#include "recognition/AudioSources.h"
#include "recognition/AudioSource.h"
#include "recognition/training/UseAdaptation.h"
#include "recognition/training/VoiceTraining.h"

namespace zel {

// What the controls of the window hold, read whenever it is used.
struct TWindowState {
    const TListaComandos* Comandos = nullptr;
    int32_t TempoTecla = 10;
    int32_t TempoAtivacao = 5;
    bool MultiCmd = true;
    bool ModNum = true;
    bool ModoAdv = true;
    bool AtivaToggle = false;
    bool MostrarIndicador = true;
    std::string SomAtivacao;
    std::string TeclaAtivacao;
    std::string PastaExe;
};

// The window's side: its activation timer (timerAtivo) and the handlers of
// the recognizer's seven events, all run on the window's thread.
struct TWindowLinks {
    ITimer* TimerAtivo = nullptr;
    std::function<void(const std::u16string&)> UtteranceResult;
    std::function<void()> NewUtterance;
    std::function<void()> EndUtterance;
    std::function<void(int32_t)> UtteranceError;
    std::function<void()> StartListening;
    std::function<void()> StopListening;
    std::function<void(const std::u16string&)> UtterancePartialResult;
    // Ours: an utterance's last event; the activation may have ended with it.
    std::function<void()> UtteranceDone;
    // Ours: a sentence was heard (accepted or rejected) and what it caused;
    // the history file could not be written (core text, once a run).
    std::function<void(const THeardEntry&)> Heard;
    std::function<void(const std::string&)> HistoryError;
    // Ours: the voice's adaptation from the commands kept while listening ended.
    std::function<void(const TUseAdaptationEnd&)> VoiceAdapted;
};

class IWindowServices {
public:
    virtual ~IWindowServices() = default;

    // Called once by the window as it is created.
    virtual void Connect(const TWindowLinks& links) = 0;

    // Start-up. LoadHookLibrary raises "DLL zeldll.dll não encontrada" or
    // "Funções da DLL não encontradas".
    virtual void LoadHookLibrary() = 0;

    // The recognizer component (Sphinx).
    virtual void SetConfThreshPercentage(int32_t percent) = 0;
    virtual void SetSamplesPerSecond(int32_t rate) = 0;
    virtual std::string TextToPhonemes(const std::string& text) = 0;

    // Dictation page: reset the counts, count the corpus file, generate the
    // model files into pastaExe (the bundle is pastaExe + "zellm.zlm").
    virtual void LoadDictationCorpus(const std::string& corpusFile, const std::string& pastaExe) = 0;

    // The recognition switch, step by step. GenerateRecognizerFiles builds
    // every file of a run from the commands, the numeric modifiers (when
    // state.ModNum) and the dictation memo, writes the argument file and sets
    // the starting value of the activation state.
    virtual void GenerateRecognizerFiles(const TWindowState& state, const std::vector<std::string>& ditado) = 0;
    virtual void InitRecognizer() = 0;
    virtual void StartRecognizer() = 0;
    virtual void StopRecognizer() = 0;
    // windowId: the X window that receives the activation key's messages.
    virtual void OpenKeyHook(uint64_t windowId) = 0;
    virtual void CloseKeyHook() = 0;
    virtual void HideIndicator() = 0;

    // While recognition runs.
    // SphinxUtteranceResult: the recognizer's sentence, as it came, to the
    // interpretation.
    virtual void UtteranceResult(const TWindowState& state, const std::u16string& result) = 0;
    // The hook library's message 0x1400: wParam holds the key's virtual-key
    // code, bit 31 of lParam is set for a release.
    virtual void ActivationKey(const TWindowState& state, uint32_t wParam, uint32_t lParam) = 0;
    // The activation timer belongs to the window; its tick comes here.
    virtual void ActivationTimerTick(const TWindowState& state) = 0;

    // Opens a file with the desktop (phoneset.txt); the outcome is ignored.
    virtual void ShellOpen(const std::string& file) = 0;

    // The status while listening: "Ouvindo…", or with the activation state.
    virtual std::string ListeningStatus() = 0;
    // What the last InitRecognizer went on in spite of (core text); empty: nothing.
    virtual std::string RecognizerNotice() { return {}; }
    // The history file (historico.log in the program's folder) on or off.
    virtual void SetHistoryEnabled(bool enabled) = 0;
    // Keeping the commands heard surely, to learn the voice from
    // (gravacoes/uso/ in the program's folder); off removes what was kept.
    virtual void SetLearningFromUse(bool on) = 0;
    // The microphone: the audio server's sources ("padrão" first; raises
    // when there is no server), the one the next switch-on records from
    // (empty: the default), and a level meter of a source.
    virtual std::vector<TAudioSourceInfo> AudioSources() = 0;
    virtual void SetAudioSource(const std::string& name) = 0;
    virtual void StartLevelMeter(const std::string& name) = 0;
    virtual void StopLevelMeter() = 0;
    // 0..100 since the last call; -1 when the meter's source failed.
    virtual int32_t TakeLevel() = 0;
    // Voice training (the page "treino"). The microphone for one take, at
    // rate; raises its message when it cannot be opened.
    virtual std::unique_ptr<IAudioSource> OpenTakeMicrophone(int32_t rate) = 0;
    // Adapts the model to the takes into pastaExe + "voz/" (VoiceTraining.h).
    // Runs off the window's thread: progress is called from there too.
    virtual void TrainVoice(const std::vector<TPrompt>& takes, const std::string& pastaExe,
                            const std::function<void(const std::string&)>& progress) = 0;
};

}  // namespace zel
