#include "app/Form1.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/ErrorGuard.h"
#include "app/FormParts.h"
#include "app/WindowRegion.h"
#include "app/HeardPanel.h"
#include "app/KeyCaptureEdit.h"
#include "app/MicrophonePanel.h"
#include "app/QtControls.h"
#include "commands/ZelError.h"
#include "form/ErrorGuard.h"
#include "mathImg/MathBotao.h"

namespace zel {

QImage SkinImage(const QString& name) {
    QImage img(QStringLiteral(":/skin/") + name + QStringLiteral(".png"));
    return img;
}

void TQtTimer::SetEnabled(bool enabled) {
    if (enabled)
        timer_.start();
    else
        timer_.stop();
}

QStringList DialogFilters(const QString& windowsFilter) {
    QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return filters;
}

// ---------------------------------------------------------------------------
// Creation

// The widgets as the form's controls, one adapter each.
struct TForm1::TAdapters {
    explicit TAdapters(TForm1& f)
        : abook(f.abook), lblProfile(f.lblProfile), btnCarregarProfile(f.btnCarregarProfile),
          btnSalvarProfile(f.btnSalvarProfile), BtnComandos(f.BtnComandos), btnDitado(f.btnDitado),
          btnPreferencias(f.btnPreferencias), btnTreinarVoz(f.btnTreinarVoz), lblStatus(f.lblStatus),
          btnReconhecer(f.btnReconhecer), lmpOuvindo(f.lmpOuvindo), lstOuvido(f.lstOuvido), lbxCmds(f.lbxCmds),
          pnlEditarCmd(f.pnlEditarCmd), lblParecido(f.lblParecido), edtCmd(f.edtCmd), edtFonemas(f.edtFonemas),
          rdgTipoCmd(f.rdgTipoCmd, f.rdgTipoCmdItems), ntbArgs(f.ntbArgs), edtArgProg(f.edtArgProg),
          edtArgPar(f.edtArgPar), edtArgTecla(f.edtArgTecla), edtArgTexto(f.edtArgTexto),
          chbArgEspaco(f.chbArgEspaco), chbArgEnter(f.chbArgEnter), edtTempoTeclas(f.edtTempoTeclas),
          edtTempoAtivo(f.edtTempoAtivo), LblConfianca(f.LblConfianca), tbConfianca(f.tbConfianca),
          lblSampling(f.lblSampling), tbSampling(f.tbSampling), edtSomAtivacao(f.edtSomAtivacao),
          edtTeclaAtivacao(f.edtTeclaAtivacao), chbAtivaToggle(f.chbAtivaToggle),
          chbMostrarIndicador(f.chbMostrarIndicador), chbMultiCmd(f.chbMultiCmd), chbModNum(f.chbModNum),
          chbModoAdv(f.chbModoAdv), chbHistorico(f.chbHistorico), chbAprenderUso(f.chbAprenderUso), mmoDitado(f.mmoDitado),
          lblTreinoProgresso(f.lblTreinoProgresso), lblTreinoFrase(f.lblTreinoFrase), barNivel(f.barNivel),
          btnGravar(f.btnGravar), btnRefazer(f.btnRefazer), btnProxima(f.btnProxima), btnAdaptar(f.btnAdaptar),
          btnEsquecerTreino(f.btnEsquecerTreino), btnVoltarTreino(f.btnVoltarTreino),
          lblTreinoStatus(f.lblTreinoStatus), Reconhecer1(f.Reconhecer1), CarregarProfile1(f.CarregarProfile1),
          dlgAbrirProfile(f.dlgAbrirProfile, Run(f)), dlgSalvarProfile(f.dlgSalvarProfile, Run(f)),
          dlgAbrirProg(f.dlgAbrirProg, Run(f)), dlgAbrirWave(f.dlgAbrirWave, Run(f)),
          dlgAbrirDitado(f.dlgAbrirDitado, Run(f)) {}
    static TQtFileDialog::TRun Run(TForm1& f) {
        return [&f](QFileDialog& d) { return f.Choose(d); };
    }
    TQtPageBook abook;
    TQtLabel lblProfile;
    TQtImageButton btnCarregarProfile, btnSalvarProfile, BtnComandos, btnDitado, btnPreferencias, btnTreinarVoz;
    TQtLabel lblStatus;
    TQtImageButton btnReconhecer;
    TQtLamp lmpOuvindo;
    TQtHeardList lstOuvido;
    TQtListBox lbxCmds;
    TQtPanel pnlEditarCmd;
    TQtLabel lblParecido;
    TQtTextBox edtCmd, edtFonemas;
    TQtRadioGroup rdgTipoCmd;
    TQtPageBook ntbArgs;
    TQtTextBox edtArgProg, edtArgPar, edtArgTecla, edtArgTexto;
    TQtCheckBox chbArgEspaco, chbArgEnter;
    TQtTextBox edtTempoTeclas, edtTempoAtivo;
    TQtLabel LblConfianca;
    TQtTrackBar tbConfianca;
    TQtLabel lblSampling;
    TQtTrackBar tbSampling;
    TQtTextBox edtSomAtivacao, edtTeclaAtivacao;
    TQtCheckBox chbAtivaToggle, chbMostrarIndicador, chbMultiCmd, chbModNum, chbModoAdv, chbHistorico, chbAprenderUso;
    TQtMemo mmoDitado;
    TQtLabel lblTreinoProgresso, lblTreinoFrase;
    TQtProgressBar barNivel;
    TQtImageButton btnGravar, btnRefazer, btnProxima, btnAdaptar, btnEsquecerTreino, btnVoltarTreino;
    TQtLabel lblTreinoStatus;
    TQtMenuItem Reconhecer1, CarregarProfile1;
    TQtFileDialog dlgAbrirProfile, dlgSalvarProfile, dlgAbrirProg, dlgAbrirWave, dlgAbrirDitado;
};

TForm1::TForm1(IWindowServices& services, std::string pastaExe, QWidget* parent)
    : QWidget(parent), TFormLogic(services, std::move(pastaExe)) {
    RunDialog = [](QFileDialog& dialog) -> std::optional<QString> {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().first();
    };
    TrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    RunQuestion = [this](const QString& question) { return QuestionBox(question); };
    // The buttons' click handlers raise into the same message box as every other handler.
    TMathBotao::ErrorHandler = [](const std::exception& e) { ShowException(e); };
    CreateComponents();
    HandOverControls();
    ConnectServices();

    qApp->installNativeEventFilter(this);
    FormCreate();
}

TForm1::~TForm1() {
    qApp->removeNativeEventFilter(this);
    DisconnectServices();
    FormDestroy();
    RemoveTrayIcon();
}

void TForm1::HandOverControls() {
    adapters_ = std::make_unique<TAdapters>(*this);
    TAdapters& a = *adapters_;
    TFormControls& c = Controls;
    c.abook = &a.abook;
    c.lblProfile = &a.lblProfile;
    c.btnCarregarProfile = &a.btnCarregarProfile;
    c.btnSalvarProfile = &a.btnSalvarProfile;
    c.BtnComandos = &a.BtnComandos;
    c.btnDitado = &a.btnDitado;
    c.btnPreferencias = &a.btnPreferencias;
    c.btnTreinarVoz = &a.btnTreinarVoz;
    c.lblStatus = &a.lblStatus;
    c.btnReconhecer = &a.btnReconhecer;
    c.lmpOuvindo = &a.lmpOuvindo;
    c.lstOuvido = &a.lstOuvido;
    c.lbxCmds = &a.lbxCmds;
    c.pnlEditarCmd = &a.pnlEditarCmd;
    c.lblParecido = &a.lblParecido;
    c.edtCmd = &a.edtCmd;
    c.edtFonemas = &a.edtFonemas;
    c.rdgTipoCmd = &a.rdgTipoCmd;
    c.ntbArgs = &a.ntbArgs;
    c.edtArgProg = &a.edtArgProg;
    c.edtArgPar = &a.edtArgPar;
    c.edtArgTecla = &a.edtArgTecla;
    c.edtArgTexto = &a.edtArgTexto;
    c.chbArgEspaco = &a.chbArgEspaco;
    c.chbArgEnter = &a.chbArgEnter;
    c.edtTempoTeclas = &a.edtTempoTeclas;
    c.edtTempoAtivo = &a.edtTempoAtivo;
    c.LblConfianca = &a.LblConfianca;
    c.tbConfianca = &a.tbConfianca;
    c.lblSampling = &a.lblSampling;
    c.tbSampling = &a.tbSampling;
    c.edtSomAtivacao = &a.edtSomAtivacao;
    c.edtTeclaAtivacao = &a.edtTeclaAtivacao;
    c.chbAtivaToggle = &a.chbAtivaToggle;
    c.chbMostrarIndicador = &a.chbMostrarIndicador;
    c.chbMultiCmd = &a.chbMultiCmd;
    c.chbModNum = &a.chbModNum;
    c.chbModoAdv = &a.chbModoAdv;
    c.chbHistorico = &a.chbHistorico;
    c.chbAprenderUso = &a.chbAprenderUso;
    c.pnlMicrofone = &pnlMicrofone->Choice();
    c.mmoDitado = &a.mmoDitado;
    c.lblTreinoProgresso = &a.lblTreinoProgresso;
    c.lblTreinoFrase = &a.lblTreinoFrase;
    c.barNivel = &a.barNivel;
    c.btnGravar = &a.btnGravar;
    c.btnRefazer = &a.btnRefazer;
    c.btnProxima = &a.btnProxima;
    c.btnAdaptar = &a.btnAdaptar;
    c.btnEsquecerTreino = &a.btnEsquecerTreino;
    c.btnVoltarTreino = &a.btnVoltarTreino;
    c.lblTreinoStatus = &a.lblTreinoStatus;
    c.Reconhecer1 = &a.Reconhecer1;
    c.CarregarProfile1 = &a.CarregarProfile1;
    c.dlgAbrirProfile = &a.dlgAbrirProfile;
    c.dlgSalvarProfile = &a.dlgSalvarProfile;
    c.dlgAbrirProg = &a.dlgAbrirProg;
    c.dlgAbrirWave = &a.dlgAbrirWave;
    c.dlgAbrirDitado = &a.dlgAbrirDitado;
    c.timerAtivo = timerAdapter_.get();
    c.timerTreino = treinoTimerAdapter_.get();
}

TMathBotao* TForm1::NewButton(QWidget* parent, const char* name, const QString& strip, QRect geometry, bool transparent) {
    auto* b = Named(new TMathBotao(parent), name, geometry);
    b->SetTransparent(transparent);
    b->SetPicture(SkinImage(strip));
    return b;
}

void TForm1::CreateComponents() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("MORO Zel"));
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(55, 63, 55));
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::Base, QColor(39, 46, 39));
    pal.setColor(QPalette::AlternateBase, QColor(47, 55, 47));
    pal.setColor(QPalette::Text, Qt::white);
    pal.setColor(QPalette::Button, QColor(70, 80, 70));
    pal.setColor(QPalette::ButtonText, Qt::white);
    pal.setColor(QPalette::Highlight, QColor(96, 140, 80));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::ToolTipBase, QColor(250, 250, 220));
    pal.setColor(QPalette::ToolTipText, Qt::black);
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(150, 160, 150));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 160, 150));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(150, 160, 150));
    setPalette(pal);

    background_ = SkinImage(QStringLiteral("fundo"));
    fundo = Named(new QLabel(this), "fundo", QRect(QPoint(0, 0), background_.size()));
    // The field around the outline is cut away; a scaled screen (HiDPI)
    // blends the pixels next to the cut, so those are painted in the colour
    // of the outline rather than the see-through magenta.
    fundo->setPixmap(QPixmap::fromImage(ShownBackground(background_)));
    fundo->installEventFilter(this);
    resize(background_.size());

    btnMinimizar = NewButton(this, "btnMinimizar", QStringLiteral("minimizar"), QRect(496, 10, 16, 14), false);
    btnMinimizar->setToolTip(QStringLiteral("Minimizar"));
    btnMinimizar->OnClick = [this] { btnMinimizarClick(); };
    MathBotao1 = NewButton(this, "MathBotao1", QStringLiteral("fechar"), QRect(514, 10, 16, 14), false);
    MathBotao1->setToolTip(QStringLiteral("Sair"));
    MathBotao1->OnClick = [this] { MathBotao1Click(); };

    abook = Named(new QStackedWidget(this), "abook", QRect(34, 36, 508, 364));
    abook->setAutoFillBackground(true);
    CreateMenuPage();
    CreateComandosPage();
    CreatePrefsPage();
    CreateDitadoPage();
    CreateApresPage();
    CreateTreinoPage();
    CreateTray();
    CreateDialogs();

    timerAtivo = new QTimer(this);
    timerAtivo->setObjectName(QStringLiteral("timerAtivo"));
    timerAtivo->stop();
    timerAdapter_ = std::make_unique<TQtTimer>(*timerAtivo);
    connect(timerAtivo, &QTimer::timeout, this, [this] { Handle([this] { timerAtivoTimer(); }); });
    // The training page's level meter and the progress of the adaptation.
    treinoTimer_ = new QTimer(this);
    treinoTimer_->setInterval(50);
    treinoTimerAdapter_ = std::make_unique<TQtTimer>(*treinoTimer_);
    connect(treinoTimer_, &QTimer::timeout, this, [this] { Handle([this] { timerTreinoTimer(); }); });
    SetUpKeyboardAccess();
}

void TForm1::CreateDialogs() {
    auto make = [this](const char* name, const char* filter, QFileDialog::AcceptMode mode) {
        auto* d = new QFileDialog(this);
        d->setObjectName(QLatin1String(name));
        d->setNameFilters(DialogFilters(QString::fromUtf8(filter)));
        d->setAcceptMode(mode);
        d->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        d->setOption(QFileDialog::DontUseNativeDialog, true);
        return d;
    };
    dlgAbrirProfile = make("dlgAbrirProfile", "Arquivos de profile|*.zpr|Todos os arquivos|*.*", QFileDialog::AcceptOpen);
    dlgSalvarProfile = make("dlgSalvarProfile", "Arquivos de profile|*.zpr|Todos os arquivos|*.*", QFileDialog::AcceptSave);
    dlgSalvarProfile->setDefaultSuffix(QStringLiteral("zpr"));
    dlgSalvarProfile->setOption(QFileDialog::DontConfirmOverwrite, false);
    dlgSalvarProfile->setSizeGripEnabled(true);
    dlgAbrirProg = make("dlgAbrirProg", "Arquivos executáveis|*.exe|Todos os arquivos|*.*", QFileDialog::AcceptOpen);
    dlgAbrirWave = make("dlgAbrirWave", "Arquivos wav|*.wav|Todos os arquivos|*.*", QFileDialog::AcceptOpen);
    dlgAbrirDitado = make("dlgAbrirDitado",
                          "Arquivos Suportados|*.txt;*.zlm|Arquivos Texto|*.txt|Arquivos de modelo de linguagem|*.zlm|Todos os "
                          "Arquivos|*.*",
                          QFileDialog::AcceptOpen);
}

TFormWindow::TAnswer TForm1::QuestionBox(const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("MORO Zel"), question, QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes ? TAnswer::Yes : box.clickedButton() == no ? TAnswer::No : TAnswer::Cancel;
}

std::optional<QString> TForm1::Choose(QFileDialog& dialog) {
    std::optional<QString> chosen = RunDialog(dialog);
    // The name box's completion list can outlive a dialog closed with Enter;
    // left open, it would keep every key from the window.
    for (int i = 0; i < 4 && QApplication::activePopupWidget(); ++i) QApplication::activePopupWidget()->close();
    return chosen;
}

}  // namespace zel
