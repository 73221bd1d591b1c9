#include "app/Form1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/ErrorGuard.h"
#include "app/KeyCaptureEdit.h"
#include "app/WindowRegion.h"
#include "actions/NumericModifiers.h"
#include "commands/Cp1252.h"
#include "commands/IniFile.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "langmodel/Confusability.h"
#include "mathImg/MathBotao.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/hook/ActivationMessage.h"

#include <xcb/xcb.h>

namespace zel {

namespace {

QString Q(const std::string& cp1252) {
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

std::string C(const QString& text) {
    return Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

// File names are no text: they cross between Qt and the core as the system's
// bytes, so that a name Windows-1252 cannot write still opens its file.
QString QFileName(const std::string& fileName) {
    return QFile::decodeName(QByteArray::fromStdString(fileName));
}

std::string FileName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

const char* const kSection = "geral";

const char* const kTipoCmdHint =
    "Execução: Executa um programa\n"
    "Tecla: Envia uma combinação do teclado\n"
    "Ativação: Habilita o reconhecimento de comandos\n"
    "Digitação: Envia um texto como se o usuário tivesse digitado";

const int kSamplingRates[] = {8000, 16000, 22050, 32000, 44100, 96000};
const int kDefaultSampling = 2;

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption, QPoint at) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(at.x(), at.y(), 260, 18);
    return l;
}

template <class T>
T* Named(T* widget, const char* name, QRect geometry) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QToolButton* NewSpeedButton(QWidget* parent, const char* name, QRect geometry) {
    auto* b = Named(new QToolButton(parent), name, geometry);
    b->setText(QStringLiteral("..."));
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

}  // namespace

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

TForm1::TForm1(IWindowServices& services, std::string pastaExe, QWidget* parent)
    : QWidget(parent), PastaExe(std::move(pastaExe)), services_(services) {
    RunDialog = [](QFileDialog& dialog) -> std::optional<QString> {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().first();
    };
    TrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    Profile.OnReset = [this] { ResetProfileWindowPart(); };
    // The buttons' click handlers raise into the same message box as every other handler.
    TMathBotao::ErrorHandler = [](const std::exception& e) { ShowException(e); };
    CreateComponents();

    TWindowLinks links;
    links.TimerAtivo = timerAdapter_.get();
    links.UtteranceResult = [this](const std::u16string& r) { Handle([&] { SphinxUtteranceResult(r); }); };
    links.NewUtterance = [this] { Handle([&] { SphinxNewUtterance(); }); };
    links.EndUtterance = [this] { Handle([&] { SphinxEndUtterance(); }); };
    links.UtteranceError = [this](int32_t e) { Handle([&] { SphinxUtteranceError(e); }); };
    links.StartListening = [this] { Handle([&] { SphinxStartListening(); }); };
    links.StopListening = [this] { Handle([&] { SphinxStopListening(); }); };
    links.UtterancePartialResult = [this](const std::u16string& r) { Handle([&] { SphinxUtterancePartialResult(r); }); };
    services_.Connect(links);

    qApp->installNativeEventFilter(this);
    FormCreate();
}

TForm1::~TForm1() {
    qApp->removeNativeEventFilter(this);
    services_.Connect(TWindowLinks{});  // no event reaches a window that is going away
    FormDestroy();
    RemoveTrayIcon();
}

void TForm1::Handle(const std::function<void()>& body) {
    Guard(body);
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
    fundo->setPixmap(QPixmap::fromImage(background_));
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
    CreateTray();
    CreateDialogs();

    timerAtivo = new QTimer(this);
    timerAtivo->setObjectName(QStringLiteral("timerAtivo"));
    timerAtivo->stop();
    timerAdapter_ = std::make_unique<TQtTimer>(*timerAtivo);
    connect(timerAtivo, &QTimer::timeout, this, [this] { Handle([this] { timerAtivoTimer(); }); });
}

void TForm1::CreateMenuPage() {
    pageMenu = new QWidget;
    pageMenu->setObjectName(QStringLiteral("menu"));
    abook->addWidget(pageMenu);
    QFont big = font();
    big.setPixelSize(16);
    lblProfile = Named(new QLabel(QString::fromUtf8(kNoProfileCaption), pageMenu), "lblProfile", QRect(0, 14, 508, 24));
    lblProfile->setAlignment(Qt::AlignCenter);
    lblProfile->setFont(big);
    btnCarregarProfile = NewButton(pageMenu, "btnCarregarProfile", QStringLiteral("carregar_profile"), QRect(34, 62, 140, 30), true);
    btnSalvarProfile = NewButton(pageMenu, "btnSalvarProfile", QStringLiteral("salvar_profile"), QRect(34, 104, 140, 30), true);
    BtnComandos = NewButton(pageMenu, "BtnComandos", QStringLiteral("comandos"), QRect(34, 146, 140, 30), true);
    btnDitado = NewButton(pageMenu, "btnDitado", QStringLiteral("ditado"), QRect(34, 188, 140, 30), true);
    btnPreferencias = NewButton(pageMenu, "btnPreferencias", QStringLiteral("preferencias"), QRect(34, 230, 140, 30), true);
    btnReconhecer = NewButton(pageMenu, "btnReconhecer", QStringLiteral("reconhecer"), QRect(270, 120, 172, 76), true);
    btnReconhecer->ManterClicado = true;
    // While on, the caption says what the next click does.
    btnReconhecer->SetCheckedPicture(SkinImage(QStringLiteral("parar")));
    // A failure's message may take three lines: they grow upwards into the
    // free space under the buttons, a single line stays where it always was.
    lblStatus = Named(new QLabel(QStringLiteral("Reconhecimento Desligado"), pageMenu), "lblStatus", QRect(0, 266, 508, 58));
    lblStatus->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    lblStatus->setWordWrap(true);
    lblStatus->setFont(big);

    btnCarregarProfile->OnClick = [this] { btnCarregarProfileClick(); };
    btnSalvarProfile->OnClick = [this] { btnSalvarProfileClick(); };
    BtnComandos->OnClick = [this] { BtnComandosClick(); };
    btnDitado->OnClick = [this] { btnDitadoClick(); };
    btnPreferencias->OnClick = [this] { btnPreferenciasClick(); };
    btnReconhecer->OnClick = [this] { btnReconhecerClick(); };
}

void TForm1::CreateComandosPage() {
    pageComandos = new QWidget;
    pageComandos->setObjectName(QStringLiteral("comandos"));
    abook->addWidget(pageComandos);
    QWidget* p = pageComandos;
    Label2 = NewLabel(p, "Label2", QStringLiteral("Comandos"), QPoint(16, 8));
    lbxCmds = Named(new QListWidget(p), "lbxCmds", QRect(16, 28, 170, 240));
    lbxCmds->setFrameShape(QFrame::NoFrame);
    lbxCmds->setSelectionMode(QAbstractItemView::SingleSelection);
    btnAdicionar = NewButton(p, "btnAdicionar", QStringLiteral("adicionar"), QRect(16, 278, 140, 30), true);
    btnRemover = NewButton(p, "btnRemover", QStringLiteral("remover"), QRect(16, 316, 140, 30), true);
    btnVoltar = NewButton(p, "btnVoltar", QStringLiteral("voltar"), QRect(352, 316, 140, 30), true);

    pnlEditarCmd = Named(new QWidget(p), "pnlEditarCmd", QRect(200, 8, 294, 300));
    QWidget* e = pnlEditarCmd;
    Label3 = NewLabel(e, "Label3", QStringLiteral("Comando"), QPoint(0, 0));
    lblParecido = Named(new QLabel(e), "lblParecido", QRect(64, 0, 230, 18));
    lblParecido->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblParecido->setStyleSheet(QStringLiteral("color: #b04a00;"));
    lblParecido->setToolTip(QStringLiteral("O reconhecedor pode confundir estas palavras; prefira outra"));
    edtCmd = Named(new QLineEdit(e), "edtCmd", QRect(0, 18, 294, 22));
    Label4 = NewLabel(e, "Label4", QStringLiteral("Pronúncia"), QPoint(0, 46));
    edtFonemas = Named(new QLineEdit(e), "edtFonemas", QRect(0, 64, 266, 22));
    SpeedButton1 = NewSpeedButton(e, "SpeedButton1", QRect(270, 64, 24, 22));
    SpeedButton1->setToolTip(QStringLiteral("Lista de Fonemas"));
    rdgTipoCmd = Named(new QGroupBox(QStringLiteral("Tipo"), e), "rdgTipoCmd", QRect(0, 94, 294, 70));
    rdgTipoCmdItems = new QButtonGroup(rdgTipoCmd);
    auto* grid = new QGridLayout(rdgTipoCmd);
    grid->setContentsMargins(8, 4, 8, 4);
    const char* items[] = {"Execução", "Tecla", "Ativação", "Digitação"};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(items[i]), rdgTipoCmd);
        rdgTipoCmdItems->addButton(r, i);
        grid->addWidget(r, i / 2, i % 2);
    }
    SetTipoCmdIndex(1);

    ntbArgs = Named(new QStackedWidget(e), "ntbArgs", QRect(0, 172, 294, 120));
    auto* execucao = new QWidget;
    execucao->setObjectName(QStringLiteral("execucao"));
    Label5 = NewLabel(execucao, "Label5", QStringLiteral("Programa:"), QPoint(0, 0));
    edtArgProg = Named(new QLineEdit(execucao), "edtArgProg", QRect(0, 18, 266, 22));
    SpeedButton7 = NewSpeedButton(execucao, "SpeedButton7", QRect(270, 18, 24, 22));
    Label6 = NewLabel(execucao, "Label6", QStringLiteral("Parâmetros"), QPoint(0, 46));
    edtArgPar = Named(new QLineEdit(execucao), "edtArgPar", QRect(0, 64, 294, 22));
    auto* tecla = new QWidget;
    tecla->setObjectName(QStringLiteral("tecla"));
    Label7 = NewLabel(tecla, "Label7", QStringLiteral("Tecla"), QPoint(0, 0));
    edtArgTecla = Named(new TKeyCaptureEdit(true, tecla), "edtArgTecla", QRect(0, 18, 294, 22));
    auto* empty = new QWidget;
    empty->setObjectName(QStringLiteral("empty"));
    auto* digitacao = new QWidget;
    digitacao->setObjectName(QStringLiteral("digitacao"));
    Label12 = NewLabel(digitacao, "Label12", QStringLiteral("Texto"), QPoint(0, 0));
    edtArgTexto = Named(new QLineEdit(digitacao), "edtArgTexto", QRect(0, 18, 294, 22));
    chbArgEspaco = Named(new QCheckBox(QStringLiteral("Mandar Espaço"), digitacao), "chbArgEspaco", QRect(0, 48, 200, 20));
    chbArgEnter = Named(new QCheckBox(QStringLiteral("Mandar enter"), digitacao), "chbArgEnter", QRect(0, 72, 200, 20));
    for (QWidget* w : {execucao, tecla, empty, digitacao}) ntbArgs->addWidget(w);

    btnAdicionar->OnClick = [this] { btnAdicionarClick(); };
    btnRemover->OnClick = [this] { btnRemoverClick(); };
    btnVoltar->OnClick = [this] { btnVoltarClick(); };
    connect(lbxCmds, &QListWidget::currentRowChanged, this, [this] { Handle([this] { lbxCmdsClick(); }); });
    connect(edtCmd, &QLineEdit::textChanged, this, [this] { Handle([this] { edtCmdChange(); }); });
    connect(edtFonemas, &QLineEdit::textChanged, this, [this](const QString& t) {
        // The box turns typed letters into capitals.
        if (t != t.toUpper()) {
            int pos = edtFonemas->cursorPosition();
            edtFonemas->setText(t.toUpper());
            edtFonemas->setCursorPosition(pos);
            return;
        }
        Handle([this] { edtFonemasChange(); });
    });
    connect(rdgTipoCmdItems, &QButtonGroup::idClicked, this, [this] { Handle([this] { rdgTipoCmdClick(); }); });
    connect(edtArgProg, &QLineEdit::textChanged, this, [this] { Handle([this] { edtArgProgChange(); }); });
    connect(edtArgPar, &QLineEdit::textChanged, this, [this] { Handle([this] { edtArgProgChange(); }); });
    edtArgTecla->OnKeyUp = [this] { Handle([this] { edtArgTeclaKeyUp(); }); };
    connect(edtArgTexto, &QLineEdit::textChanged, this, [this] { Handle([this] { edtArgTextoChange(); }); });
    connect(chbArgEspaco, &QCheckBox::toggled, this, [this] { Handle([this] { edtArgTextoChange(); }); });
    connect(chbArgEnter, &QCheckBox::toggled, this, [this] { Handle([this] { edtArgTextoChange(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { Handle([this] { SpeedButton1Click(); }); });
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { Handle([this] { SpeedButton7Click(); }); });
}

void TForm1::CreatePrefsPage() {
    pagePrefs = new QWidget;
    pagePrefs->setObjectName(QStringLiteral("prefs"));
    abook->addWidget(pagePrefs);
    QWidget* p = pagePrefs;
    Label8 = NewLabel(p, "Label8", QStringLiteral("Tempo das teclas (ms)"), QPoint(20, 16));
    edtTempoTeclas = Named(new QLineEdit(p), "edtTempoTeclas", QRect(230, 12, 80, 22));
    const QString hintTeclas = QStringLiteral("O tempo que as teclas ficam pressionadas quando um comando é reconhecido (em milli-segundos)");
    Label8->setToolTip(hintTeclas);
    edtTempoTeclas->setToolTip(hintTeclas);
    Label9 = NewLabel(p, "Label9", QStringLiteral("Tempo de ativação (s)"), QPoint(20, 46));
    edtTempoAtivo = Named(new QLineEdit(p), "edtTempoAtivo", QRect(230, 42, 80, 22));
    const QString hintAtivo = QStringLiteral("O tempo que o programa espera após um comando de ativação ter sido reconhecido (em segundos)");
    Label9->setToolTip(hintAtivo);
    edtTempoAtivo->setToolTip(hintAtivo);
    LblConfianca = Named(new QLabel(QStringLiteral("Confiança: 75%"), p), "LblConfianca", QRect(20, 76, 200, 18));
    tbConfianca = Named(new QSlider(Qt::Horizontal, p), "tbConfianca", QRect(20, 94, 290, 28));
    tbConfianca->setRange(0, 100);
    tbConfianca->setSingleStep(1);
    tbConfianca->setPageStep(10);
    tbConfianca->setTickPosition(QSlider::TicksBelow);
    tbConfianca->setTickInterval(10);
    tbConfianca->setToolTip(QStringLiteral("A porcentagem de confiança que deve ser obtida antes de aceitar um comando"));
    lblSampling = Named(new QLabel(QStringLiteral("Sampling: 16000Hz"), p), "lblSampling", QRect(330, 76, 160, 18));
    tbSampling = Named(new QSlider(Qt::Horizontal, p), "tbSampling", QRect(330, 94, 160, 28));
    tbSampling->setRange(0, 5);
    tbSampling->setToolTip(QStringLiteral("A freqüência de sampling (amostras por segundo) usada para reconhecimento"));
    lblSampling->hide();
    tbSampling->hide();
    Label10 = NewLabel(p, "Label10", QStringLiteral("Som de Ativação"), QPoint(20, 132));
    edtSomAtivacao = Named(new QLineEdit(p), "edtSomAtivacao", QRect(20, 150, 440, 22));
    const QString hintSom = QStringLiteral("Um som que será tocado quando o reconhecimento começar");
    Label10->setToolTip(hintSom);
    edtSomAtivacao->setToolTip(hintSom);
    SpeedButton10 = NewSpeedButton(p, "SpeedButton10", QRect(464, 150, 24, 22));
    Label11 = NewLabel(p, "Label11", QStringLiteral("Tecla de ativação"), QPoint(330, 16));
    edtTeclaAtivacao = Named(new TKeyCaptureEdit(false, p), "edtTeclaAtivacao", QRect(330, 34, 100, 22));
    const QString hintTecla = QStringLiteral(
        "Uma tecla que será usada para detectar quando iniciar o reconhecimento (pode não funcionar com todos os programas)");
    Label11->setToolTip(hintTecla);
    edtTeclaAtivacao->setToolTip(hintTecla);
    // "Nenhuma": no activation key (a capture box cannot be emptied by a key).
    btnTeclaNenhuma = Named(new QToolButton(p), "btnTeclaNenhuma", QRect(434, 34, 70, 22));
    btnTeclaNenhuma->setText(QStringLiteral("Nenhuma"));
    btnTeclaNenhuma->setToolTip(QStringLiteral("Sem tecla de ativação"));
    connect(btnTeclaNenhuma, &QToolButton::clicked, edtTeclaAtivacao, &QLineEdit::clear);
    chbAtivaToggle = Named(new QCheckBox(QStringLiteral("Manter Ativado"), p), "chbAtivaToggle", QRect(20, 186, 300, 20));
    chbAtivaToggle->setToolTip(QStringLiteral(
        "Mantém o reconhecimento de comandos ativado até que a palavra ou tecla de ativação sejam reconhecidos novamente"));
    chbMostrarIndicador = Named(new QCheckBox(QStringLiteral("Mostrar indicador"), p), "chbMostrarIndicador", QRect(20, 210, 300, 20));
    chbMostrarIndicador->setToolTip(QStringLiteral(
        "Mostra uma imagem no canto superior esquerdo da tela indicando que o reconhecimento está ligado (causa problemas em "
        "alguns programas)"));
    chbMultiCmd = Named(new QCheckBox(QStringLiteral("Aceitar multiplos comandos"), p), "chbMultiCmd", QRect(20, 234, 300, 20));
    chbMultiCmd->setToolTip(QStringLiteral("Aceita mais de um comando por sentença"));
    chbModNum = Named(new QCheckBox(QStringLiteral("Moficadores numéricos"), p), "chbModNum", QRect(20, 258, 300, 20));
    chbModNum->setToolTip(QStringLiteral(
        "Aceita modificadores numéricos (um, dois três..) para repetição de comandos (só funciona com 'múltiplos comandos' "
        "habilitado)"));
    chbModoAdv = Named(new QCheckBox(QStringLiteral("Modo adventure"), p), "chbModoAdv", QRect(20, 282, 300, 20));
    chbModoAdv->setToolTip(QStringLiteral("Envia um <enter> após cada pausa durante a fala"));
    MathBotao2 = NewButton(p, "MathBotao2", QStringLiteral("voltar"), QRect(352, 316, 140, 30), true);

    MathBotao2->OnClick = [this] { btnVoltarClick(); };
    connect(tbConfianca, &QSlider::valueChanged, this, [this] { Handle([this] { tbConfiancaChange(); }); });
    connect(tbSampling, &QSlider::valueChanged, this, [this] { Handle([this] { tbSamplingChange(); }); });
    connect(SpeedButton10, &QToolButton::clicked, this, [this] { Handle([this] { SpeedButton10Click(); }); });
}

void TForm1::CreateDitadoPage() {
    pageDitado = new QWidget;
    pageDitado->setObjectName(QStringLiteral("ditado"));
    abook->addWidget(pageDitado);
    QWidget* p = pageDitado;
    mmoDitado = Named(new QPlainTextEdit(p), "mmoDitado", QRect(16, 12, 476, 294));
    mmoDitado->setFrameShape(QFrame::NoFrame);
    mmoDitado->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmoDitado->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoDitado->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    btnCarregarDitado = NewButton(p, "btnCarregarDitado", QStringLiteral("carregar"), QRect(16, 316, 140, 30), true);
    btnLimparDitado = NewButton(p, "btnLimparDitado", QStringLiteral("limpar"), QRect(172, 316, 140, 30), true);
    MathBotao3 = NewButton(p, "MathBotao3", QStringLiteral("voltar"), QRect(352, 316, 140, 30), true);
    btnCarregarDitado->OnClick = [this] { btnCarregarDitadoClick(); };
    btnLimparDitado->OnClick = [this] { btnLimparDitadoClick(); };
    MathBotao3->OnClick = [this] { btnVoltarClick(); };
}

void TForm1::CreateApresPage() {
    pageApres = new QWidget;
    pageApres->setObjectName(QStringLiteral("apres"));
    abook->addWidget(pageApres);
    Image1 = Named(new QLabel(pageApres), "Image1", QRect(0, 0, 508, 364));
    Image1->setPixmap(QPixmap::fromImage(SkinImage(QStringLiteral("logo"))));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
}

void TForm1::CreateTray() {
    imgList = SkinImage(QStringLiteral("tray_desativado"));
    popTray = new QMenu(this);
    popTray->setObjectName(QStringLiteral("popTray"));
    AbrirPainel1 = popTray->addAction(QStringLiteral("Abrir Painel"));
    AbrirPainel1->setObjectName(QStringLiteral("AbrirPainel1"));
    CarregarProfile1 = popTray->addAction(QStringLiteral("Carregar Profile"));
    CarregarProfile1->setObjectName(QStringLiteral("CarregarProfile1"));
    Reconhecer1 = popTray->addAction(QStringLiteral("Reconhecer"));
    Reconhecer1->setObjectName(QStringLiteral("Reconhecer1"));
    Reconhecer1->setCheckable(true);
    N1 = popTray->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    cancelar1 = popTray->addAction(QStringLiteral("Cancelar"));
    cancelar1->setObjectName(QStringLiteral("cancelar1"));
    N2 = popTray->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    Sair1 = popTray->addAction(QStringLiteral("Sair"));
    Sair1->setObjectName(QStringLiteral("Sair1"));
    connect(AbrirPainel1, &QAction::triggered, this, [this] { Handle([this] { AbrirPainel1Click(); }); });
    connect(CarregarProfile1, &QAction::triggered, this, [this] { Handle([this] { btnCarregarProfileClick(); }); });
    // The item's check mark is the switch's to set, not the menu's.
    connect(Reconhecer1, &QAction::triggered, this, [this](bool) {
        Reconhecer1->setChecked(!Reconhecer1->isChecked());
        Handle([this] { Reconhecer1Click(); });
    });
    connect(Sair1, &QAction::triggered, this, [this] { Handle([this] { Sair1Click(); }); });
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

std::optional<QString> TForm1::Choose(QFileDialog& dialog) {
    return RunDialog(dialog);
}

// ---------------------------------------------------------------------------
// Start-up and shutdown

void TForm1::FormCreate() {
    // Without the hook library the program still works (no activation key,
    // no indicator): say so and go on, settings included.
    try {
        services_.LoadHookLibrary();
        HookLoaded = true;
    } catch (const std::exception& e) {
        ShowException(e);
    }
    // A file that lost characters on loading says so in a message box.
    SetNoticeSink([](const std::string& utf8) { ShowErrorMessage(QString::fromStdString(utf8)); });
    Guard([this] {
        BuildWindowRegion();
        // PastaExe was given by the program entry (the executable's folder).
        ShowPage(pageApres);
        ResetProfile(Profile);
        ReadSettings();
        rdgTipoCmd->setToolTip(QString::fromUtf8(kTipoCmdHint));
    });
    // Centred on the desktop.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

void TForm1::ReadSettings() {
    const std::string file = PastaExe + "config.ini";
    TIniDocument ini;
    bool readable = true;
    std::error_code ec;
    if (std::filesystem::exists(NativePath(file), ec)) {
        try {
            ini = TIniDocument(ReadLines(file));
        } catch (const TError&) {
            // A settings file that exists but cannot be read gives the
            // defaults and is left alone at exit.
            readable = false;
        }
    }
    Profile.TempoTecla = ini.ReadInteger(kSection, "tempotecla", 10);
    edtTempoTeclas->setText(QString::number(Profile.TempoTecla));
    Profile.TempoAtivacao = ini.ReadInteger(kSection, "tempoativacao", 5);
    edtTempoAtivo->setText(QString::number(Profile.TempoAtivacao));
    {
        QSignalBlocker b1(tbConfianca), b2(tbSampling);
        tbConfianca->setValue(ini.ReadInteger(kSection, "confianca", 50));  // the slider clamps to 0..100
        // The microphone records at this rate; the recognizer converts it to
        // the 16000 Hz its acoustic model was made for.
        tbSampling->setValue(ini.ReadInteger(kSection, "sampling", kDefaultSampling));  // clamped to 0..5
    }
    tbConfiancaChange();
    tbSamplingChange();
    edtSomAtivacao->setText(QFileName(FileNameFromSetting(ini.ReadString(kSection, "somativacao", PastaExe + "beep.wav"))));
    const QString profiles = QFileName(PastaExe + "profiles/");
    dlgAbrirProfile->setDirectory(profiles);
    dlgSalvarProfile->setDirectory(profiles);
    edtTeclaAtivacao->setText(Q(ini.ReadString(kSection, "teclaativacao", "")));
    chbAtivaToggle->setChecked(ini.ReadBool(kSection, "ativatoggle", false));
    chbMostrarIndicador->setChecked(ini.ReadBool(kSection, "mostrarindicador", true));
    chbMultiCmd->setChecked(ini.ReadBool(kSection, "multicmd", true));
    chbModNum->setChecked(ini.ReadBool(kSection, "modnum", true));
    chbModoAdv->setChecked(ini.ReadBool(kSection, "modoadv", true));
    SettingsRead = readable;
}

void TForm1::WriteSettings() {
    const std::string file = PastaExe + "config.ini";
    // Other sections and keys of the file stay as they are.
    TIniDocument ini = TIniDocument::LoadOrEmpty(file);
    auto flag = [&ini](const char* key, bool value) { ini.WriteString(kSection, key, value ? "1" : "0"); };
    ini.WriteInteger(kSection, "tempotecla", Profile.TempoTecla);
    ini.WriteInteger(kSection, "tempoativacao", Profile.TempoAtivacao);
    ini.WriteInteger(kSection, "sampling", tbSampling->value());
    ini.WriteInteger(kSection, "confianca", tbConfianca->value());
    ini.WriteString(kSection, "somativacao", FileName(edtSomAtivacao->text()));
    ini.WriteString(kSection, "teclaativacao", C(edtTeclaAtivacao->text()));
    flag("ativatoggle", chbAtivaToggle->isChecked());
    flag("mostrarindicador", chbMostrarIndicador->isChecked());
    flag("multicmd", chbMultiCmd->isChecked());
    flag("modnum", chbModNum->isChecked());
    flag("modoadv", chbModoAdv->isChecked());
    // One atomic write: the old file stays whole when it cannot be replaced.
    ini.Save(file);
}

void TForm1::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (!SettingsRead) return;  // never overwrite settings that were not read
    Guard([this] { WriteSettings(); });
}

void TForm1::BuildWindowRegion() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    region_ = zel::BuildWindowRegion(background_);
    setFixedSize(background_.size());
    setMask(region_);
}

// ---------------------------------------------------------------------------
// Pages

void TForm1::ShowPage(QWidget* page) {
    abook->setCurrentWidget(page);
}

QString TForm1::CurrentPageName() const {
    return abook->currentWidget() ? abook->currentWidget()->objectName() : QString();
}

void TForm1::BtnComandosClick() {
    ShowPage(pageComandos);
    RefreshCommandEditor();
}

void TForm1::btnPreferenciasClick() {
    ShowPage(pagePrefs);
}

void TForm1::btnDitadoClick() {
    ShowPage(pageDitado);
}

void TForm1::btnVoltarClick() {
    ShowPage(pageMenu);
}

void TForm1::Image1Click() {
    ShowPage(pageMenu);
}

void TForm1::btnLimparDitadoClick() {
    mmoDitado->clear();
}

void TForm1::btnMinimizarClick() {
    MinimizeToTray();
}

void TForm1::MathBotao1Click() {
    QCoreApplication::quit();
}

void TForm1::Sair1Click() {
    QCoreApplication::quit();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fundo) {
        // A second press soon after the first comes as a double click: it is a press all the same.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            auto* m = static_cast<QMouseEvent*>(event);
            DragOriginX = m->position().toPoint().x();
            DragOriginY = m->position().toPoint().y();
            return true;
        }
        if (event->type() == QEvent::MouseMove) {
            auto* m = static_cast<QMouseEvent*>(event);
            if (m->buttons() & Qt::LeftButton) {
                QPoint p = m->position().toPoint();
                move(x() + p.x() - DragOriginX, y() + p.y() - DragOriginY);
            }
            return true;
        }
    } else if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() == Qt::LeftButton && Image1->rect().contains(m->position().toPoint()))
            Handle([this] { Image1Click(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // FormCloseQuery: Alt+F4 while a combination is being captured is a
    // combination, not a close request.
    if (edtArgTecla->hasFocus() && edtArgTecla->Capturing()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

// ---------------------------------------------------------------------------
// Profile

void TForm1::ResetProfileWindowPart() {
    ShowPage(pageMenu);
    {
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(-1);
    }
    lbxCmdsClick();
    mmoDitado->clear();
}

std::vector<std::string> TForm1::DitadoLines() const {
    std::vector<std::string> lines;
    const QString text = mmoDitado->toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(C(line));
    return lines;
}

void TForm1::SetDitadoLines(const std::vector<std::string>& lines) {
    QStringList list;
    for (const auto& l : lines) list << Q(l);
    mmoDitado->setPlainText(list.join(QLatin1Char('\n')));
}

void TForm1::btnCarregarProfileClick() {
    auto file = Choose(*dlgAbrirProfile);
    if (!file) return;
    const std::string name = FileName(*file);
    LoadProfile(Profile, name);
    SetDitadoLines(Profile.Ditado);
    lblProfile->setText(Q(ProfileCaption(name)));
}

void TForm1::btnSalvarProfileClick() {
    auto file = Choose(*dlgSalvarProfile);
    if (!file) return;
    const std::string name = FileName(*file);
    Profile.Ditado = DitadoLines();
    SaveProfile(Profile, name);
    lblProfile->setText(Q(ProfileCaption(name)));
}

// ---------------------------------------------------------------------------
// Command editor

int32_t TForm1::TipoCmdIndex() const {
    return rdgTipoCmdItems->checkedId();
}

void TForm1::SetTipoCmdIndex(int32_t index) {
    if (QAbstractButton* b = rdgTipoCmdItems->button(index)) b->setChecked(true);
}

void TForm1::SetEditorEnabled(bool enabled) {
    pnlEditarCmd->setEnabled(enabled);
    for (QObject* child : pnlEditarCmd->children())
        if (auto* w = qobject_cast<QWidget*>(child)) w->setEnabled(enabled);
}

void TForm1::lbxCmdsClick() {
    const int row = lbxCmds->currentRow();
    if (row < 0 || row >= Profile.Comandos.Count()) {
        SetEditorEnabled(false);
        ntbArgs->hide();
        Profile.ComandoAtual = -1;
        return;
    }
    Profile.ComandoAtual = row;
    SetEditorEnabled(true);
    ntbArgs->show();
    RefreshCommandEditor();
}

void TForm1::RefreshCommandEditor() {
    const int selected = lbxCmds->currentRow();
    {
        QSignalBlocker b(lbxCmds);
        lbxCmds->clear();
        for (const TComando& c : Profile.Comandos) lbxCmds->addItem(Q(c.Cmd));
    }
    if (Profile.ComandoAtual < 0) {
        lblParecido->clear();
        return;
    }
    try {
        const TComando c = Profile.Comandos[Profile.ComandoAtual];
        {
            QSignalBlocker b1(edtCmd), b2(edtFonemas), b3(edtArgProg), b4(edtArgPar), b5(edtArgTexto), b6(chbArgEspaco),
                b7(chbArgEnter);
            edtCmd->setText(Q(c.Cmd));
            edtFonemas->setText(Q(c.Fonemas));
            ShowSoundAlikes();
            switch (c.Acao) {
            case tcExecucao: {
                SetTipoCmdIndex(0);
                TExecArgs a = SplitExecArgs(c.Args);
                std::string params;
                for (size_t i = 0; i < a.Parameters.size(); ++i) params += (i ? " " : "") + a.Parameters[i];
                edtArgProg->setText(Q(a.Program));
                edtArgPar->setText(Q(params));
                break;
            }
            case tcTecla:
                SetTipoCmdIndex(1);
                edtArgTecla->setText(Q(c.Args));
                break;
            case tcAtivacao:
                SetTipoCmdIndex(2);
                break;
            case tcDigitacao: {
                SetTipoCmdIndex(3);
                TDigitacaoArgs a = SplitDigitacaoArgs(c.Args);
                chbArgEspaco->setChecked(a.MandarEspaco);
                chbArgEnter->setChecked(a.MandarEnter);
                edtArgTexto->setText(Q(a.Texto));
                break;
            }
            default:
                // A type outside 0..3 (a hand-edited profile) keeps its code:
                // no item is selected and the type change below leaves it alone.
                if (QAbstractButton* b = rdgTipoCmdItems->checkedButton()) {
                    rdgTipoCmdItems->setExclusive(false);
                    b->setChecked(false);
                    rdgTipoCmdItems->setExclusive(true);
                }
                break;
            }
        }
        rdgTipoCmdClick();
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(selected);
    } catch (const std::exception&) {
        Profile.ComandoAtual = -1;
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(-1);
        lbxCmds->clear();
        for (const TComando& c : Profile.Comandos) lbxCmds->addItem(Q(c.Cmd));
    }
}

void TForm1::rdgTipoCmdClick() {
    const int index = TipoCmdIndex();
    if (index < 0) return;
    ntbArgs->setCurrentIndex(index);
    if (Profile.ComandoAtual >= 0) Profile.Comandos.At(Profile.ComandoAtual).Acao = static_cast<uint8_t>(index);
}

void TForm1::edtCmdChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Cmd = C(edtCmd->text());
    const std::string fonemas = services_.TextToPhonemes(C(edtCmd->text()));
    {
        QSignalBlocker b(edtFonemas);
        edtFonemas->setText(Q(fonemas).toUpper());
    }
    edtFonemasChange();
}

void TForm1::edtFonemasChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Fonemas = C(edtFonemas->text());
    ShowSoundAlikes();
}

void TForm1::ShowSoundAlikes() {
    if (!numerosDoAviso_) {
        numerosDoAviso_.emplace();
        try {
            LoadNumericModifiers(*numerosDoAviso_, PastaExe + "modnum.ini");
        } catch (const std::exception&) {
            // A broken table only means no number words in the warning.
        }
    }
    lblParecido->setText(Q(SoundAlikeWarning(Profile.Comandos, Profile.ComandoAtual, *numerosDoAviso_)));
}

void TForm1::edtArgProgChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Args = JoinExecArgs(C(edtArgProg->text()), C(edtArgPar->text()));
}

void TForm1::edtArgTeclaKeyUp() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Args = C(edtArgTecla->text());
}

void TForm1::edtArgTextoChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Args =
        JoinDigitacaoArgs(chbArgEspaco->isChecked(), chbArgEnter->isChecked(), C(edtArgTexto->text()));
}

void TForm1::SpeedButton1Click() {
    services_.ShellOpen(PastaExe + "phoneset.txt");
}

void TForm1::SpeedButton7Click() {
    auto file = Choose(*dlgAbrirProg);
    if (file) edtArgProg->setText(*file);
}

void TForm1::btnAdicionarClick() {
    Profile.Comandos.AppendNew();
    RefreshCommandEditor();
    {
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(Profile.Comandos.Count() - 1);
    }
    lbxCmdsClick();
}

void TForm1::btnRemoverClick() {
    const int row = lbxCmds->currentRow();
    if (row < 0 || row >= Profile.Comandos.Count()) return;
    Profile.ComandoAtual = -1;
    Profile.Comandos.RemoveAt(row);
    {
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(-1);
    }
    lbxCmdsClick();
    RefreshCommandEditor();
}

// ---------------------------------------------------------------------------
// Preferences

void TForm1::tbConfiancaChange() {
    LblConfianca->setText(QStringLiteral("Confiança: %1%").arg(tbConfianca->value()));
    services_.SetConfThreshPercentage(tbConfianca->value());
}

void TForm1::tbSamplingChange() {
    const int rate = kSamplingRates[std::clamp(tbSampling->value(), 0, 5)];
    lblSampling->setText(QStringLiteral("Sampling: %1Hz").arg(rate));
    services_.SetSamplesPerSecond(rate);
}

void TForm1::SpeedButton10Click() {
    auto file = Choose(*dlgAbrirWave);
    if (file) edtSomAtivacao->setText(*file);
}

// ---------------------------------------------------------------------------
// Dictation

void TForm1::btnCarregarDitadoClick() {
    auto file = Choose(*dlgAbrirDitado);
    if (!file) return;
    const std::string name = FileName(*file);
    // The extension: from the last full stop of the name on, compared byte for byte.
    const std::string base = name.substr(name.find_last_of('/') == std::string::npos ? 0 : name.find_last_of('/') + 1);
    const size_t dot = base.find_last_of('.');
    const std::string ext = dot == std::string::npos ? std::string() : base.substr(dot);
    if (ext == ".zlm") {
        SetDitadoLines(ReadTextLines(name));
        return;
    }
    services_.LoadDictationCorpus(name, PastaExe);
    SetDitadoLines(ReadLines(PastaExe + "zellm.zlm"));
}

// ---------------------------------------------------------------------------
// Recognition switch

TWindowState TForm1::State() const {
    TWindowState s;
    s.Comandos = &Profile.Comandos;
    s.TempoTecla = Profile.TempoTecla;
    s.TempoAtivacao = Profile.TempoAtivacao;
    s.MultiCmd = chbMultiCmd->isChecked();
    s.ModNum = chbModNum->isChecked();
    s.ModoAdv = chbModoAdv->isChecked();
    s.AtivaToggle = chbAtivaToggle->isChecked();
    s.MostrarIndicador = chbMostrarIndicador->isChecked();
    s.SomAtivacao = FileName(edtSomAtivacao->text());
    s.TeclaAtivacao = C(edtTeclaAtivacao->text());
    s.PastaExe = PastaExe;
    return s;
}

void TForm1::SetMenuButtonsEnabled(bool enabled) {
    for (TMathBotao* b : {btnCarregarProfile, btnSalvarProfile, BtnComandos, btnPreferencias, btnDitado}) b->setEnabled(enabled);
}

void TForm1::btnReconhecerClick() {
    // Input handled during the message pumps of a switch-on must not start a
    // second switch: the click is dropped, and the button does not flip.
    if (switching_) throw EAbort();
    Reconhecer1->setChecked(!btnReconhecer->Checked());
    if (btnReconhecer->Checked()) {
        SwitchOff();
        return;
    }
    try {
        SwitchOn();
    } catch (...) {
        // The menu's tick shows the state the switch is really in.
        Reconhecer1->setChecked(false);
        throw;
    }
}

void TForm1::SwitchOff() {
    listening_ = false;
    services_.StopRecognizer();
    services_.CloseKeyHook();
    SetMenuButtonsEnabled(true);
    services_.HideIndicator();
    lblStatus->setText(QStringLiteral("Reconhecimento Desligado"));
}

void TForm1::SwitchOn() {
    switching_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{switching_};

    lblStatus->setText(QStringLiteral("Gerando arquivos"));
    lblStatus->repaint();
    QCoreApplication::processEvents();
    const int32_t tempoTecla = StrToInt(C(edtTempoTeclas->text()));
    const int32_t tempoAtivacao = StrToInt(C(edtTempoAtivo->text()));
    Profile.TempoTecla = tempoTecla;
    Profile.TempoAtivacao = tempoAtivacao;
    timerAtivo->stop();
    services_.GenerateRecognizerFiles(State(), DitadoLines());
    SetMenuButtonsEnabled(false);
    lblStatus->setText(QStringLiteral("Inicializando Sphinx"));
    lblStatus->repaint();
    QCoreApplication::processEvents();
    // A recognizer that cannot start leaves everything as it was before the
    // click, and the status says what failed.
    try {
        services_.InitRecognizer();
    } catch (const std::exception& e) {
        SwitchedOffBy(Q(kStatusRecognizerFailed) + Q(e.what()));
        throw;
    }
    lblStatus->setText(QStringLiteral("Sphinx Inicializado"));
    audioFailed_ = false;
    try {
        services_.StartRecognizer();
    } catch (const std::exception& e) {
        SwitchedOffBy(Q(kStatusMicrophoneFailed) + Q(e.what()));
        throw;
    }
    if (!Trim(C(edtTeclaAtivacao->text())).empty()) {
        try {
            services_.OpenKeyHook(static_cast<uint64_t>(winId()));
        } catch (...) {
            // Bring recognizer and button back into line: recognition is off.
            services_.StopRecognizer();
            SetMenuButtonsEnabled(true);
            lblStatus->setText(QStringLiteral("Reconhecimento Desligado"));
            throw;
        }
    }
    listening_ = true;
    lblStatus->setText(Q(kStatusListening));
}

void TForm1::SwitchedOffBy(const QString& status) {
    listening_ = false;
    // Each step on its own: one that fails must not keep the others from
    // bringing the window back to "off".
    for (const std::function<void()>& step : std::initializer_list<std::function<void()>>{
             [this] { services_.StopRecognizer(); }, [this] { services_.CloseKeyHook(); },
             [this] { services_.HideIndicator(); }}) {
        try {
            step();
        } catch (const std::exception&) {
        }
    }
    SetMenuButtonsEnabled(true);
    btnReconhecer->WriteChecked(false);
    Reconhecer1->setChecked(false);
    lblStatus->setText(status);
}

void TForm1::Reconhecer1Click() {
    btnReconhecerClick();
    btnReconhecer->WriteChecked(!btnReconhecer->Checked());
    RemoveTrayIcon();
    MinimizeToTray();
}

void TForm1::SphinxUtteranceResult(const std::u16string& result) {
    services_.UtteranceResult(State(), result);
}

namespace {
void Yield1ms() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
}  // namespace

void TForm1::SphinxNewUtterance() { Yield1ms(); }
void TForm1::SphinxEndUtterance() { Yield1ms(); }
void TForm1::SphinxUtteranceError(int32_t error) {
    if (error == kUtteranceErrorAudio) audioFailed_ = true;
    Yield1ms();
}

void TForm1::SphinxStartListening() { Yield1ms(); }

void TForm1::SphinxStopListening() {
    // Our own switch-off stops listening too; only an end that nobody asked
    // for (a lost audio server, a source that ended) changes the window.
    if (!listening_) {
        Yield1ms();
        return;
    }
    const QString status = Q(audioFailed_ ? kStatusAudioLost : kStatusSourceEnded);
    SwitchedOffBy(status);
    // An icon in the notification area shows the new state too.
    if (TrayIcon) MinimizeToTray();
    if (!audioFailed_) return;
    // Recognition stopped without the user: say so even with the window hidden.
    throw TError(C(status));
}
void TForm1::SphinxUtterancePartialResult(const std::u16string&) { Yield1ms(); }

void TForm1::timerAtivoTimer() {
    services_.ActivationTimerTick(State());
}

void TForm1::ActivationKeyMessage(uint32_t wParam, uint32_t lParam) {
    services_.ActivationKey(State(), wParam, lParam);
}

bool TForm1::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    // The hook library's key reports come as client messages to this window.
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    auto* cm = reinterpret_cast<xcb_client_message_event_t*>(event);
    if (cm->format != 32 || !IsActivationKeyMessage(cm->data.data32[0])) return false;
    if (!testAttribute(Qt::WA_WState_Created) || cm->window != static_cast<xcb_window_t>(winId())) return false;
    const uint32_t wParam = cm->data.data32[1], lParam = cm->data.data32[2];
    Handle([this, wParam, lParam] { ActivationKeyMessage(wParam, lParam); });
    return true;
}

// ---------------------------------------------------------------------------
// Notification area

QString TForm1::TrayTip() const {
    return btnReconhecer->Checked() ? QStringLiteral("MORO Zel") : QStringLiteral("MORO Zel (desativado)");
}

void TForm1::MinimizeToTray() {
    if (!TrayAvailable()) {
        showMinimized();
        return;
    }
    hide();
    RemoveTrayIcon();
    TrayIcon = new QSystemTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    if (btnReconhecer->Checked())
        TrayIcon->setIcon(QIcon(QPixmap::fromImage(SkinImage(QStringLiteral("app_icon")))));
    else
        TrayIcon->setIcon(QIcon(QPixmap::fromImage(imgList)));
    TrayIcon->setToolTip(TrayTip());
    connect(TrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { Handle([this, reason] { TrayActivated(reason); }); });
    TrayIcon->show();
}

void TForm1::RemoveTrayIcon() {
    if (!TrayIcon) return;
    TrayIcon->hide();
    TrayIcon->deleteLater();
    TrayIcon = nullptr;
}

void TForm1::TrayActivated(int reason) {
    // A press of the left or the right button opens the menu at the pointer.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context) popTray->popup(QCursor::pos());
}

void TForm1::AbrirPainel1Click() {
    RemoveTrayIcon();
    show();
    raise();
    activateWindow();
}

}  // namespace zel
