#pragma once
// TForm1: the program's one window. A picture rather than a framed window:
// its outline is cut out of the background (magenta is see-through), it is
// moved by dragging the background, and it can hide itself in the
// notification area. Its handlers and state are the form's logic
// (form/FormLogic.h), shared with the Windows edition.
#include <QAbstractNativeEventFilter>
#include <QFileDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/WindowServices.h"
#include "form/FormLogic.h"

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

// The window in Qt: the controls of the form's logic made as widgets under
// the same names, their events run through Handle.
class TForm1 : public QWidget, public QAbstractNativeEventFilter, public TFormLogic {
    Q_OBJECT
public:
    // pastaExe: the program's folder, ending in "/" (a file name). The window
    // runs FormCreate at once.
    TForm1(IWindowServices& services, std::string pastaExe, QWidget* parent = nullptr);
    ~TForm1() override;

    // How a dialog is run: the chosen file, or nothing when cancelled. Tests
    // replace it.
    std::function<std::optional<QString>(QFileDialog& dialog)> RunDialog;
    // How a question is answered (Ask); tests replace it.
    std::function<TAnswer(const QString& question)> RunQuestion;
    // The question in a message box with Sim, Não and Cancelar.
    TAnswer QuestionBox(const QString& question);
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
    QCheckBox* chbAprenderUso = nullptr;       // ours: learning the voice from use
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

    QRegion WindowRegion() const { return region_; }
    using TFormLogic::ShowPage;
    void ShowPage(QWidget* page);
    QString CurrentPageName() const;
    void TrayActivated(int reason);
    QString TrayTip() const;

    // What only the window does (TFormWindow).
    void BuildWindowRegion() override;
    void CentreOnScreen() override;
    void QuitProgram() override;
    bool NotificationAreaAvailable() override;
    void HideWindow() override;
    void MinimizeWindow() override;
    void ShowWindowInFront() override;
    void ShowTrayIcon(bool recognitionOn, const std::string& tip) override;
    void RemoveTrayIcon() override;
    bool TrayIconShown() const override { return TrayIcon != nullptr; }
    uint64_t HookWindowId() override;
    void ProcessMessages() override;
    TAnswer Ask(const std::string& question) override;

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
    void CreateTray();
    void CreateDialogs();
    // The widgets as the form's controls.
    void HandOverControls();
    // Names and descriptions for screen readers, Tab order, shortcut keys.
    void SetUpKeyboardAccess();
    TMathBotao* NewButton(QWidget* parent, const char* name, const QString& strip, QRect geometry, bool transparent);
    std::optional<QString> Choose(QFileDialog& dialog);

    struct TAdapters;
    std::unique_ptr<TAdapters> adapters_;
    std::unique_ptr<TQtTimer> timerAdapter_;
    std::unique_ptr<TQtTimer> treinoTimerAdapter_;
    QRegion region_;
    QImage background_;
    QTimer* treinoTimer_ = nullptr;
};

// Where the window's pictures are: the resources built with the program.
QImage SkinImage(const QString& name);

}  // namespace zel
