// The window as a picture: its shape and place, dragging by the background,
// the notification area, and quitting.

#include "app/Form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QSystemTrayIcon>

#include "app/FormParts.h"
#include "app/KeyCaptureEdit.h"
#include "app/MicrophonePanel.h"
#include "app/WindowRegion.h"
#include "mathImg/MathBotao.h"

namespace zel {

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

void TForm1::BuildWindowRegion() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    region_ = zel::BuildWindowRegion(background_);
    setFixedSize(background_.size());
    setMask(region_);
}

void TForm1::CentreOnScreen() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

void TForm1::QuitProgram() { QCoreApplication::quit(); }

void TForm1::ProcessMessages() {
    lblStatus->repaint();
    QCoreApplication::processEvents();
}

uint64_t TForm1::HookWindowId() { return static_cast<uint64_t>(winId()); }

TFormWindow::TAnswer TForm1::Ask(const std::string& question) { return RunQuestion(Q(question)); }

// ---------------------------------------------------------------------------
// Pages

void TForm1::ShowPage(QWidget* page) { ShowPage(static_cast<TPage>(abook->indexOf(page))); }

QString TForm1::CurrentPageName() const {
    return abook->currentWidget() ? abook->currentWidget()->objectName() : QString();
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
    // Unsaved changes of the profile are offered for saving; cancelled, the window stays.
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

// ---------------------------------------------------------------------------
// Notification area

QString TForm1::TrayTip() const { return Q(TrayTipText()); }

bool TForm1::NotificationAreaAvailable() { return TrayAvailable(); }

void TForm1::HideWindow() { hide(); }

void TForm1::MinimizeWindow() { showMinimized(); }

void TForm1::ShowWindowInFront() {
    show();
    raise();
    activateWindow();
}

void TForm1::ShowTrayIcon(bool recognitionOn, const std::string& tip) {
    TrayIcon = new QSystemTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    if (recognitionOn)
        TrayIcon->setIcon(QIcon(QPixmap::fromImage(SkinImage(QStringLiteral("app_icon")))));
    else
        TrayIcon->setIcon(QIcon(QPixmap::fromImage(imgList)));
    TrayIcon->setToolTip(Q(tip));
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

}  // namespace zel
