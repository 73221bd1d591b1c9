#include "app/Form1.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/ErrorGuard.h"
#include "app/FormParts.h"
#include "app/WindowRegion.h"
#include "app/HeardPanel.h"
#include "commands/ZelError.h"
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
    links.Heard = [this](const THeardEntry& e) { lstOuvido->Add(e); };
    // Listening goes on; the user is told once why nothing is written.
    links.HistoryError = [this](const std::string& m) { Handle([&] { throw TError(m); }); };
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

std::optional<QString> TForm1::Choose(QFileDialog& dialog) {
    std::optional<QString> chosen = RunDialog(dialog);
    // The name box's completion list can outlive a dialog closed with Enter;
    // left open, it would keep every key from the window.
    for (int i = 0; i < 4 && QApplication::activePopupWidget(); ++i) QApplication::activePopupWidget()->close();
    return chosen;
}

}  // namespace zel
