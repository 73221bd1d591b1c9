#pragma once
// The program's one window, TForm1, as its handlers see it: the state it
// keeps, every handler of its pages, of the switch and of the notification
// area, written once against the controls of Controls.h. The toolkit's TForm1
// (Qt in app/, Win32 in win32app/) derives from it: it makes the controls
// under the same names, hands them over in Controls, runs each event through
// Handle and does the few things only a toolkit can (TFormWindow).
//
// The notebook abook shows one of its pages: "menu", "comandos" (the command
// editor), "prefs" (the preferences, config.ini), "ditado" (the dictation
// text), "apres" (the logo) and "treino" (the voice training).
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "commands/Profile.h"
#include "form/Controls.h"
#include "form/MicrophoneChoice.h"
#include "form/WindowServices.h"
#include "recognition/training/TakeRecorder.h"

namespace zel {

// The hint of "Aprender com o uso" on the preferences page (UTF-8).
inline constexpr const char* kAprenderUsoHint =
    "Guarda os comandos reconhecidos com folga (gravacoes/uso da pasta do programa) e, a cada 60 novos, adapta o "
    "modelo à sua voz com eles; desligado, apaga o que foi guardado";

// The pages of abook, in its order.
enum TPage : int32_t { kPageMenu, kPageComandos, kPagePrefs, kPageDitado, kPageApres, kPageTreino };

// The rates of the sampling slider (hidden), and the default position.
inline constexpr int32_t kSamplingRates[] = {8000, 16000, 22050, 32000, 44100, 96000};
inline constexpr int32_t kDefaultSampling = 2;

// The controls the handlers read and fill, by the form's own names.
struct TFormControls {
    IPageBook* abook = nullptr;
    // "menu"
    ILabel* lblProfile = nullptr;
    IImageButton* btnCarregarProfile = nullptr;
    IImageButton* btnSalvarProfile = nullptr;
    IImageButton* BtnComandos = nullptr;
    IImageButton* btnDitado = nullptr;
    IImageButton* btnPreferencias = nullptr;
    IImageButton* btnTreinarVoz = nullptr;
    ILabel* lblStatus = nullptr;
    IImageButton* btnReconhecer = nullptr;
    ILamp* lmpOuvindo = nullptr;
    IHeardList* lstOuvido = nullptr;
    // "comandos"
    IListBox* lbxCmds = nullptr;
    IControl* pnlEditarCmd = nullptr;  // the editor's controls, all at once
    ILabel* lblParecido = nullptr;
    ITextBox* edtCmd = nullptr;
    ITextBox* edtFonemas = nullptr;
    IRadioGroup* rdgTipoCmd = nullptr;
    IPageBook* ntbArgs = nullptr;
    ITextBox* edtArgProg = nullptr;
    ITextBox* edtArgPar = nullptr;
    ITextBox* edtArgTecla = nullptr;
    ITextBox* edtArgTexto = nullptr;
    ICheckBox* chbArgEspaco = nullptr;
    ICheckBox* chbArgEnter = nullptr;
    // "prefs"
    ITextBox* edtTempoTeclas = nullptr;
    ITextBox* edtTempoAtivo = nullptr;
    ILabel* LblConfianca = nullptr;
    ITrackBar* tbConfianca = nullptr;
    ILabel* lblSampling = nullptr;
    ITrackBar* tbSampling = nullptr;
    ITextBox* edtSomAtivacao = nullptr;
    ITextBox* edtTeclaAtivacao = nullptr;
    ICheckBox* chbAtivaToggle = nullptr;
    ICheckBox* chbMostrarIndicador = nullptr;
    ICheckBox* chbMultiCmd = nullptr;
    ICheckBox* chbModNum = nullptr;
    ICheckBox* chbModoAdv = nullptr;
    ICheckBox* chbHistorico = nullptr;
    ICheckBox* chbAprenderUso = nullptr;
    TMicrophoneChoice* pnlMicrofone = nullptr;
    // "ditado"
    IMemo* mmoDitado = nullptr;
    // "treino"
    ILabel* lblTreinoProgresso = nullptr;
    ILabel* lblTreinoFrase = nullptr;
    IProgressBar* barNivel = nullptr;
    IImageButton* btnGravar = nullptr;
    IImageButton* btnRefazer = nullptr;
    IImageButton* btnProxima = nullptr;
    IImageButton* btnAdaptar = nullptr;
    IImageButton* btnEsquecerTreino = nullptr;
    IImageButton* btnVoltarTreino = nullptr;
    ILabel* lblTreinoStatus = nullptr;
    // Outside the notebook
    IMenuItem* Reconhecer1 = nullptr;
    IMenuItem* CarregarProfile1 = nullptr;
    IFileDialog* dlgAbrirProfile = nullptr;
    IFileDialog* dlgSalvarProfile = nullptr;
    IFileDialog* dlgAbrirProg = nullptr;
    IFileDialog* dlgAbrirWave = nullptr;
    IFileDialog* dlgAbrirDitado = nullptr;
    ITimer* timerAtivo = nullptr;
    ITimer* timerTreino = nullptr;  // ours: the training page's meter and progress, every 50 ms
};

// What only the toolkit's window does.
class TFormWindow {
public:
    virtual ~TFormWindow() = default;
    // The window's outline cut out of its background, and its place on the screen.
    virtual void BuildWindowRegion() = 0;
    virtual void CentreOnScreen() = 0;
    // "Sair", the small x: the message loop ends.
    virtual void QuitProgram() = 0;
    // Whether the desktop has a notification area.
    virtual bool NotificationAreaAvailable() = 0;
    virtual void HideWindow() = 0;
    virtual void MinimizeWindow() = 0;
    // Shown, in front, with the focus.
    virtual void ShowWindowInFront() = 0;
    // The notification icon: the program's own while recognition is on, the
    // "desativado" picture while it is off; tip: its text.
    virtual void ShowTrayIcon(bool recognitionOn, const std::string& tip) = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual bool TrayIconShown() const = 0;
    // The window that receives the hook library's key messages.
    virtual uint64_t HookWindowId() = 0;
    // Lets the window handle what waits (repaints first the status line).
    virtual void ProcessMessages() = 0;
    // A question with the answers Sim, Não and Cancelar (core text).
    enum class TAnswer { Yes, No, Cancel };
    virtual TAnswer Ask(const std::string& question) = 0;
};

class TFormLogic : public TFormWindow {
public:
    // pastaExe: the program's folder, ending in its separator (a file name).
    TFormLogic(IWindowServices& services, std::string pastaExe);
    ~TFormLogic() override;
    TFormLogic(const TFormLogic&) = delete;
    TFormLogic& operator=(const TFormLogic&) = delete;

    // --- State of the window -------------------------------------------
    std::string PastaExe;
    TProfileState Profile;      // Comandos, TempoTecla, TempoAtivacao, ComandoAtual
    bool SettingsRead = false;  // config.ini was read: FormDestroy may write it
    bool HookLoaded = false;
    int32_t DragOriginX = 0, DragOriginY = 0;

    // --- Start-up and shutdown ------------------------------------------
    // Connects the services to the window's handlers; the toolkit calls it
    // once its controls are in Controls, then FormCreate.
    void ConnectServices();
    void DisconnectServices();
    void FormCreate();
    void FormDestroy();
    void ReadSettings();
    void WriteSettings();

    // --- Pages ---------------------------------------------------------
    void ShowPage(TPage page);
    void BtnComandosClick();
    void btnPreferenciasClick();
    void btnDitadoClick();
    void btnVoltarClick();
    void Image1Click();
    void btnLimparDitadoClick();
    void btnMinimizarClick();
    void MathBotao1Click();
    void Sair1Click();

    // --- Profile -------------------------------------------------------
    void btnCarregarProfileClick();
    void btnSalvarProfileClick();
    void ResetProfileWindowPart();
    std::vector<std::string> DitadoLines() const;
    void SetDitadoLines(const std::vector<std::string>& lines);

    // --- Command editor ------------------------------------------------
    void lbxCmdsClick();
    void RefreshCommandEditor();
    void edtCmdChange();
    void edtFonemasChange();
    void rdgTipoCmdClick();
    void edtArgProgChange();
    void edtArgTeclaKeyUp();
    void edtArgTextoChange();
    void SpeedButton1Click();
    void SpeedButton7Click();
    void btnAdicionarClick();
    void btnRemoverClick();

    // --- Preferences ---------------------------------------------------
    void tbConfiancaChange();
    void tbSamplingChange();
    void SpeedButton10Click();
    void btnTeclaNenhumaClick();
    void chbHistoricoClick();
    void chbAprenderUsoClick();

    // --- Dictation -----------------------------------------------------
    void btnCarregarDitadoClick();

    // --- Voice training ------------------------------------------------
    void btnTreinarVozClick();
    void btnGravarClick();
    void btnRefazerClick();
    void btnProximaClick();
    void btnAdaptarClick();
    void btnEsquecerTreinoClick();
    // The voice adapted from the commands kept while listening (or not).
    void VoiceAdaptedFromUse(const TUseAdaptationEnd& end);
    void timerTreinoTimer();
    // Training runs off the window's thread; true until it has ended.
    bool Training() const { return training_ != nullptr; }

    // --- Recognition switch --------------------------------------------
    void btnReconhecerClick();
    void Reconhecer1Click();
    void SphinxUtteranceResult(const std::u16string& result);
    void SphinxNewUtterance();
    void SphinxEndUtterance();
    void SphinxUtteranceError(int32_t error);
    void SphinxStartListening();
    void SphinxStopListening();
    void SphinxUtterancePartialResult(const std::u16string& result);
    void timerAtivoTimer();
    void ActivationKeyMessage(uint32_t wParam, uint32_t lParam);
    bool Switching() const { return switching_; }
    TWindowState State() const;

    // --- Notification area --------------------------------------------
    void MinimizeToTray();
    void AbrirPainel1Click();
    // "MORO Zel" while recognition is on, "MORO Zel (desativado)" while off.
    std::string TrayTipText() const;

    // Every handler runs its body through the error guard.
    void Handle(const std::function<void()>& body);

    // Whether the profile was changed since it was loaded or saved; before a
    // load or the end of the program the user is asked whether to save it
    // ("Salvar as alterações em NOME?"). False: the user cancelled.
    bool ProfileChanged() const;
    bool ConfirmProfileChanges();
    // The window's close request (Alt+F4, the window manager): the same
    // question, inside the error guard; false keeps the window.
    bool FormCloseQuery();

protected:
    // Filled by the toolkit's form before ConnectServices.
    TFormControls Controls;
    IWindowServices& Services() { return services_; }

private:
    void SetMenuButtonsEnabled(bool enabled);
    // Through RecognitionSwitchOn/Off, the window being their view.
    void SwitchOff();
    void SwitchOn();
    friend class TWindowSwitch;
    void SetEditorEnabled(bool enabled);
    // lbxCmds refilled with every command's phrase.
    void FillCommandList();
    // The argument boxes filled from args read under the type acao.
    void ShowArguments(uint8_t acao, const std::string& args);
    // While listening, the status says whether commands are active now.
    void ShowListeningStatus();
    // Shows which phrases sound like the current command's.
    // What the editor says of a phrase whose letters the recognizer hears
    // restored (PronunciationAlternates.h); empty when none are.
    std::string RestoredLettersNote(const TComando& c);
    void ShowSoundAlikes();
    // Shows the current sentence, its number and which buttons apply.
    void ShowTake();

    // The profile as loaded or saved, and its file (empty: never saved).
    std::string savedProfile_;
    std::string profileFile_;
    void ProfileSaved(const std::string& file);

    IWindowServices& services_;
    // The number words the warning compares with, read from modnum.ini once.
    std::optional<TListaComandos> numerosDoAviso_;
    bool switching_ = false;
    // A switch-on succeeded and no switch-off or failure has ended it; the
    // recognizer's end of listening counts only then.
    bool listening_ = false;
    // The audio source's failure in this run (kUtteranceErrorAudio or
    // kUtteranceErrorSourceGone), 0 for none.
    int32_t audioError_ = 0;
    bool destroyed_ = false;
    // Voice training: the takes of the shipped sentences, the one shown, the
    // recording under way, and the adaptation running on its own thread.
    std::unique_ptr<TTakeFolder> takes_;
    size_t take_ = 0;
    TTakeRecorder recorder_;
    struct TTrainingRun {
        std::thread Thread;
        std::mutex Mutex;
        std::string Progress;  // the step under way, core text
        std::exception_ptr Error;
        std::atomic<bool> Done{false};
        ~TTrainingRun() {
            if (Thread.joinable()) Thread.join();
        }
    };
    std::unique_ptr<TTrainingRun> training_;
};

}  // namespace zel
