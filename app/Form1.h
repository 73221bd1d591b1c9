#pragma once
// TForm1: the program's one window. A picture rather than a framed window:
// its outline is cut out of the background (magenta is see-through), it is
// moved by dragging the background, and it can hide itself in the
// notification area. The notebook abook shows one of five pages: "menu",
// "comandos" (the command editor), "prefs" (the preferences, config.ini),
// "ditado" (the dictation text) and "apres" (the logo).
#include <QAbstractNativeEventFilter>
#include <QFileDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

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

#include "app/WindowServices.h"
#include "commands/Profile.h"
#include "recognition/training/TakeRecorder.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;
class QSlider;
class QStackedWidget;
class QSystemTrayIcon;
class QToolButton;

namespace zel {

class THeardPanel;
class TKeyCaptureEdit;
class TListeningLight;
class TMathBotao;
class TMicrophonePanel;

// The window's timer as the core's ITimer.
class TQtTimer : public ITimer {
public:
    explicit TQtTimer(QTimer& timer) : timer_(timer) {}
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return timer_.isActive(); }
    void SetInterval(int32_t milliseconds) override { timer_.setInterval(milliseconds); }
    int32_t Interval() const override { return timer_.interval(); }

private:
    QTimer& timer_;
};

// The Windows filter text "desc|pattern|desc|pattern" as Qt name filters.
QStringList DialogFilters(const QString& windowsFilter);

class TForm1 : public QWidget, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // pastaExe: the program's folder, ending in "/" (core text). The window
    // runs FormCreate at once.
    TForm1(IWindowServices& services, std::string pastaExe, QWidget* parent = nullptr);
    ~TForm1() override;

    // --- State of the window -------------------------------------------
    std::string PastaExe;
    TProfileState Profile;            // Comandos, TempoTecla, TempoAtivacao, ComandoAtual
    bool SettingsRead = false;        // config.ini was read: FormDestroy may write it
    bool HookLoaded = false;
    int32_t DragOriginX = 0, DragOriginY = 0;

    // How a dialog is run: the chosen file, or nothing when cancelled. Tests
    // replace it.
    std::function<std::optional<QString>(QFileDialog& dialog)> RunDialog;
    // Whether the desktop has a notification area. Without one the window is
    // minimized instead of hidden, so that it can always be reached again.
    std::function<bool()> TrayAvailable;

    // --- Components -----------------------------------------------------
    QLabel* fundo = nullptr;
    TMathBotao* btnMinimizar = nullptr;
    TMathBotao* MathBotao1 = nullptr;
    QStackedWidget* abook = nullptr;
    QWidget* pageMenu = nullptr;
    QWidget* pageComandos = nullptr;
    QWidget* pagePrefs = nullptr;
    QWidget* pageDitado = nullptr;
    QWidget* pageApres = nullptr;
    // "menu"
    QLabel* lblProfile = nullptr;
    TMathBotao* btnCarregarProfile = nullptr;
    TMathBotao* btnSalvarProfile = nullptr;
    TMathBotao* BtnComandos = nullptr;
    TMathBotao* btnDitado = nullptr;
    TMathBotao* btnPreferencias = nullptr;
    QLabel* lblStatus = nullptr;
    TMathBotao* btnReconhecer = nullptr;
    TListeningLight* lmpOuvindo = nullptr;  // ours: off, listening, hearing speech
    THeardPanel* lstOuvido = nullptr;       // ours: what was heard and what it did
    // "comandos"
    QLabel* Label2 = nullptr;
    QListWidget* lbxCmds = nullptr;
    TMathBotao* btnAdicionar = nullptr;
    TMathBotao* btnRemover = nullptr;
    TMathBotao* btnVoltar = nullptr;
    QWidget* pnlEditarCmd = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblParecido = nullptr;  // ours: phrases that sound like this one
    QLineEdit* edtCmd = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* edtFonemas = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QGroupBox* rdgTipoCmd = nullptr;
    QButtonGroup* rdgTipoCmdItems = nullptr;
    QStackedWidget* ntbArgs = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* edtArgProg = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* edtArgPar = nullptr;
    QLabel* Label7 = nullptr;
    TKeyCaptureEdit* edtArgTecla = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* edtArgTexto = nullptr;
    QCheckBox* chbArgEspaco = nullptr;
    QCheckBox* chbArgEnter = nullptr;
    // "prefs"
    QLabel* Label8 = nullptr;
    QLineEdit* edtTempoTeclas = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* edtTempoAtivo = nullptr;
    QLabel* LblConfianca = nullptr;
    QSlider* tbConfianca = nullptr;
    QLabel* lblSampling = nullptr;
    QSlider* tbSampling = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* edtSomAtivacao = nullptr;
    QToolButton* SpeedButton10 = nullptr;
    QLabel* Label11 = nullptr;
    TKeyCaptureEdit* edtTeclaAtivacao = nullptr;
    QToolButton* btnTeclaNenhuma = nullptr;
    QCheckBox* chbAtivaToggle = nullptr;
    QCheckBox* chbMostrarIndicador = nullptr;
    QCheckBox* chbMultiCmd = nullptr;
    QCheckBox* chbModNum = nullptr;
    QCheckBox* chbModoAdv = nullptr;
    TMathBotao* MathBotao2 = nullptr;
    TMicrophonePanel* pnlMicrofone = nullptr;  // ours: the source and its level
    QCheckBox* chbHistorico = nullptr;         // ours: historico.log on or off
    // "ditado"
    TMathBotao* btnCarregarDitado = nullptr;
    TMathBotao* btnLimparDitado = nullptr;
    QPlainTextEdit* mmoDitado = nullptr;
    TMathBotao* MathBotao3 = nullptr;
    // "apres"
    QLabel* Image1 = nullptr;
    // "treino" (ours): the voice training, reached from the menu
    TMathBotao* btnTreinarVoz = nullptr;
    QWidget* pageTreino = nullptr;
    QLabel* lblTreinoProgresso = nullptr;
    QLabel* lblTreinoFrase = nullptr;
    QProgressBar* barNivel = nullptr;
    TMathBotao* btnGravar = nullptr;
    TMathBotao* btnRefazer = nullptr;
    TMathBotao* btnProxima = nullptr;
    TMathBotao* btnAdaptar = nullptr;
    TMathBotao* btnEsquecerTreino = nullptr;
    TMathBotao* btnVoltarTreino = nullptr;
    QLabel* lblTreinoStatus = nullptr;
    // Outside the notebook
    QMenu* popTray = nullptr;
    QAction* AbrirPainel1 = nullptr;
    QAction* CarregarProfile1 = nullptr;
    QAction* Reconhecer1 = nullptr;
    QAction* N1 = nullptr;
    QAction* cancelar1 = nullptr;
    QAction* N2 = nullptr;
    QAction* Sair1 = nullptr;
    QSystemTrayIcon* TrayIcon = nullptr;  // present while the window is hidden in the notification area
    QImage imgList;                       // the icon shown while recognition is off
    QFileDialog* dlgAbrirProfile = nullptr;
    QFileDialog* dlgSalvarProfile = nullptr;
    QFileDialog* dlgAbrirProg = nullptr;
    QFileDialog* dlgAbrirWave = nullptr;
    QFileDialog* dlgAbrirDitado = nullptr;
    QTimer* timerAtivo = nullptr;

    // --- Start-up and shutdown ------------------------------------------
    void FormCreate();
    void FormDestroy();
    void ReadSettings();
    void WriteSettings();
    void BuildWindowRegion();
    QRegion WindowRegion() const { return region_; }

    // --- Pages ---------------------------------------------------------
    void ShowPage(QWidget* page);
    QString CurrentPageName() const;
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
    int32_t TipoCmdIndex() const;
    void SetTipoCmdIndex(int32_t index);

    // --- Preferences ---------------------------------------------------
    void tbConfiancaChange();
    void tbSamplingChange();
    void SpeedButton10Click();

    // --- Dictation -----------------------------------------------------
    void btnCarregarDitadoClick();

    // --- Voice training ------------------------------------------------
    void btnTreinarVozClick();
    void btnGravarClick();
    void btnRefazerClick();
    void btnProximaClick();
    void btnAdaptarClick();
    void btnEsquecerTreinoClick();
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
    void RemoveTrayIcon();
    void AbrirPainel1Click();
    void TrayActivated(int reason);
    QString TrayTip() const;

    // Shared by the handlers: runs body through the error guard.
    void Handle(const std::function<void()>& body);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void CreateComponents();
    void CreateMenuPage();
    void CreateComandosPage();
    void CreatePrefsPage();
    void CreateDitadoPage();
    void CreateApresPage();
    void CreateTreinoPage();
    // Shows the current sentence, its number and which buttons apply.
    void ShowTake();
    void TrainingTick();
    void CreateTray();
    void CreateDialogs();
    // Names and descriptions for screen readers, Tab order, shortcut keys.
    void SetUpKeyboardAccess();
    TMathBotao* NewButton(QWidget* parent, const char* name, const QString& strip, QRect geometry, bool transparent);
    void SetMenuButtonsEnabled(bool enabled);
    // Through RecognitionSwitchOn/Off, the window being their view.
    void SwitchOff();
    void SwitchOn();
    friend class TWindowSwitch;
    void SetEditorEnabled(bool enabled);
    // The row the user selected in lbxCmds, -1 for none.
    int32_t SelectedCommandRow() const;
    // lbxCmds refilled with every command's phrase.
    void FillCommandList();
    // The argument boxes filled from args read under the type acao.
    void ShowArguments(uint8_t acao, const std::string& args);
    // While listening, the status says whether commands are active now.
    void ShowListeningStatus();
    std::optional<QString> Choose(QFileDialog& dialog);
    // Shows which phrases sound like the current command's.
    void ShowSoundAlikes();

    // The number words the warning compares with, read from modnum.ini once.
    std::optional<TListaComandos> numerosDoAviso_;
    IWindowServices& services_;
    std::unique_ptr<TQtTimer> timerAdapter_;
    QRegion region_;
    QImage background_;
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
    QTimer* treinoTimer_ = nullptr;
};

// Where the window's pictures are: the resources built with the program.
QImage SkinImage(const QString& name);

}  // namespace zel
