#include "app/MicrophonePanel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "app/Form1.h"
#include "app/QtControls.h"

namespace zel {

struct TMicrophonePanel::TAdapters {
    TAdapters(QComboBox* choice, QProgressBar* meter, QTimer& timer) : Choice(choice), Meter(meter), Timer(timer) {}
    TQtComboBox Choice;
    TQtProgressBar Meter;
    TQtTimer Timer;
};

TMicrophonePanel::TMicrophonePanel(IWindowServices& services, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlMicrofone"));
    lblMicrofone = new QLabel(QStringLiteral("Microfone"), this);
    lblMicrofone->setObjectName(QStringLiteral("lblMicrofone"));
    lblMicrofone->setGeometry(0, 0, 170, 18);
    cbxMicrofone = new QComboBox(this);
    cbxMicrofone->setObjectName(QStringLiteral("cbxMicrofone"));
    cbxMicrofone->setGeometry(0, 18, 170, 22);
    pbNivel = new QProgressBar(this);
    pbNivel->setObjectName(QStringLiteral("pbNivel"));
    pbNivel->setGeometry(0, 46, 170, 10);
    pbNivel->setRange(0, 100);
    pbNivel->setTextVisible(false);
    pbNivel->setStyleSheet(QStringLiteral("QProgressBar { background: rgb(39, 46, 39); border: 1px solid rgb(150, 160, 150); }"
                                          "QProgressBar::chunk { background: rgb(96, 200, 80); }"));
    auto* timer = new QTimer(this);
    adapters_ = std::make_unique<TAdapters>(cbxMicrofone, pbNivel, *timer);
    choice_ = std::make_unique<TMicrophoneChoice>(services, adapters_->Choice, adapters_->Meter, adapters_->Timer);
    connect(timer, &QTimer::timeout, this, [this] { choice_->Poll(); });
    connect(cbxMicrofone, &QComboBox::activated, this, [this](int index) { choice_->Chosen(index); });
    // Escape on the open list closes the list only: the page's Voltar
    // shortcut must not take the key from it.
    cbxMicrofone->view()->installEventFilter(this);
}

bool TMicrophonePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

TMicrophonePanel::~TMicrophonePanel() { choice_.reset(); }

}  // namespace zel
