#pragma once
// Switching speech recognition on and off, and the handler of a recognized
// sentence. The order of the steps lives here only: the window's
// btnReconhecerClick calls RecognitionSwitchOn or RecognitionSwitchOff
// (decided on btnReconhecer's state before the click) with its own view and
// steps, and flips the button only when the call returned without an error;
// zelcmd and the tests call the overloads over TSphinx and the action context.
#include <cstdint>
#include <string>
#include <vector>

#include "actions/ActionContext.h"
#include "langmodel/Vocabulary.h"
#include "recognition/Sphinx.h"

namespace zel {

// What the switch shows on the window and the hook library it opens.
class ISwitchView {
public:
    virtual ~ISwitchView() = default;
    // lblStatus's caption.
    virtual void SetStatus(const std::string& caption) = 0;
    // btnCarregarProfile, btnSalvarProfile, BtnComandos, btnPreferencias,
    // btnDitado, in this order.
    virtual void SetMenuButtonsEnabled(bool enabled) = 0;
    // The hook library's keyboard hook (raises "Erro ao criar arquivo de
    // memória" when its shared memory cannot be made).
    virtual void OpenKeyHook() = 0;
    virtual void CloseKeyHook() = 0;
    // The listening light: on once a switch-on has succeeded, off as soon as
    // a switch-off or a failure begins (an end of listening the recognizer
    // reports from then on is no news).
    virtual void SetListening(bool) {}
    // Recognition ended without the user's switch-off: the switch and its
    // menu entry show "off" again.
    virtual void ShowSwitchedOff() {}
    // What the recognizer went on in spite of, once listening (core text).
    virtual void ShowNotice(const std::string&) {}
};

// What the switch drives besides the view: the recognizer with its files and
// the activation state. The window's services do it step by step; the
// overloads below over TSphinx and the action context.
class ISwitchSteps {
public:
    // What the last InitRecognizer went on in spite of; empty: nothing.
    virtual std::string RecognizerNotice() { return {}; }
    virtual ~ISwitchSteps() = default;
    // Lets pending messages run, so that the status just set is seen.
    virtual void ProcessMessages() = 0;
    // The run's times: ms between keys, s an activation lasts.
    virtual void SetTimes(int32_t tempoTecla, int32_t tempoAtivacao) = 0;
    virtual void StopActivationTimer() = 0;
    // GenerateRecognizerFiles below.
    virtual void GenerateRecognizerFiles(const std::vector<std::string>& ditado, const std::string& pastaExe) = 0;
    virtual void InitRecognizer() = 0;
    virtual void StartRecognizer() = 0;
    virtual void StopRecognizer() = 0;
    virtual void HideIndicator() = 0;
    // An activation key is set (blanks are none): the key hook is wanted.
    virtual bool HasActivationKey() = 0;
    // ListeningStatus below.
    virtual std::string ListeningStatus() = 0;
};

// The status captions.
inline constexpr const char* kStatusOff = "Reconhecimento Desligado";
inline constexpr const char* kStatusGenerating = "Gerando arquivos";
inline constexpr const char* kStatusInitializing = "Inicializando Sphinx";
inline constexpr const char* kStatusInitialized = "Sphinx Inicializado";
inline constexpr const char* kStatusListening = "Ouvindo\x85";  // "Ouvindo…"
// While listening with an activation key or command, the state it is in.
inline constexpr const char* kStatusListeningActive = "Ouvindo \x97 comandos ativados";
inline constexpr const char* kStatusListeningInactive = "Ouvindo \x97 comandos desativados";
// After a failure the status names it: the recognizer refused to start (its
// message follows), or the microphone could not be opened or went away.
inline constexpr const char* kStatusRecognizerFailed = "Reconhecedor indispon\xEDvel: ";
inline constexpr const char* kStatusMicrophoneFailed = "Microfone indispon\xEDvel: ";
#ifdef _WIN32
inline constexpr const char* kStatusAudioLost = "Microfone indispon\xEDvel: o dispositivo de grava\xE7\xE3o parou";
inline constexpr const char* kStatusSourceGone = "Microfone indispon\xEDvel: o microfone escolhido foi desconectado";
#else
inline constexpr const char* kStatusAudioLost = "Microfone indispon\xEDvel: servidor de \xE1udio parou";
inline constexpr const char* kStatusSourceGone = "Microfone indispon\xEDvel: a fonte de \xE1udio escolhida saiu do servidor";
#endif
inline constexpr const char* kStatusSourceEnded = "Microfone indispon\xEDvel: fonte de \xE1udio encerrada";

// The status while listening: "Ouvindo…" when commands are always active
// (no activation key, no activation command), else whether they are now.
std::string ListeningStatus(const TActionContext& ctx);

// What the switch-on reads from the window's controls.
struct TSwitchOnInput {
    std::string TempoTeclas;          // edtTempoTeclas's text (ms)
    std::string TempoAtivo;           // edtTempoAtivo's text (s)
    std::vector<std::string> Ditado;  // mmoDitado's lines
    std::string PastaExe;             // the program's folder, ending in "/"
};

// Builds every file of a run from the commands, the numeric modifiers (when
// ctx.Prefs.ModNum; modnum.ini is read afresh into ctx.Modificadores) and the
// dictation memo; sets the control's paths and the wrapper's, writes the
// argument file and gives Ativo its starting value.
void GenerateRecognizerFiles(TSphinx& sphinx, TActionContext& ctx, const std::vector<std::string>& ditado,
                             const std::string& pastaExe);

// Switch-on: status, the two times (an invalid text raises "'%s' is not a
// valid integer value" before anything is generated), timer off, files,
// buttons disabled, InitRecognizer, StartRecognizer, the key hook when an
// activation key is set, the light on, status "Ouvindo…"; the messages run
// after the first two status texts. An error ends it where it happened; what
// was done stays done, except that a recognizer that fails to initialize or
// to start ends in RecognitionSwitchedOffBy with the status saying what
// failed, and a key hook that fails to open stops the recognizer, gives the
// buttons back and says "Reconhecimento Desligado".
void RecognitionSwitchOn(ISwitchSteps& steps, ISwitchView& view, const TSwitchOnInput& input);
// Switch-off: the light off, StopRecognizer, the key hook closed, buttons
// enabled, the indicator hidden, status "Reconhecimento Desligado".
void RecognitionSwitchOff(ISwitchSteps& steps, ISwitchView& view);
// Recognition stopped without the user: the same steps as a switch-off, each
// tried on its own, the switch shown off, and the status says why.
void RecognitionSwitchedOffBy(ISwitchSteps& steps, ISwitchView& view, const std::string& status);
// The same over the recognizer component and the action context.
void RecognitionSwitchOn(TSphinx& sphinx, TActionContext& ctx, ISwitchView& view, const TSwitchOnInput& input);
void RecognitionSwitchOff(TSphinx& sphinx, TActionContext& ctx, ISwitchView& view);

// The recognizer's wide sentence as the program's text: converted, every
// word's written form turned back into its phrase (a multi-word command comes
// back with its blanks), blanks and control characters trimmed at both ends.
std::string SentenceFromResult(const std::u16string& result);
// SphinxUtteranceResult: the sentence to the interpretation (empty ones too).
void SphinxUtteranceResult(TActionContext& ctx, const std::u16string& result);

}  // namespace zel
