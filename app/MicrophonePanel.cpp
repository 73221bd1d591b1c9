#include "app/MicrophonePanel.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTimer>

#include "app/FormParts.h"

namespace zel {

namespace {
const QString kMeterHint = QStringLiteral("Nível do microfone: fale e veja a barra se mover");
}  // namespace

TMicrophonePanel::TMicrophonePanel(IWindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("pnlMicrofone"));
    lblMicrofone = new QLabel(QStringLiteral("Microfone"), this);
    lblMicrofone->setObjectName(QStringLiteral("lblMicrofone"));
    lblMicrofone->setGeometry(0, 0, 170, 18);
    cbxMicrofone = new QComboBox(this);
    cbxMicrofone->setObjectName(QStringLiteral("cbxMicrofone"));
    cbxMicrofone->setGeometry(0, 18, 170, 22);
    cbxMicrofone->setToolTip(QStringLiteral("A fonte de gravação do servidor de áudio usada no reconhecimento"));
    pbNivel = new QProgressBar(this);
    pbNivel->setObjectName(QStringLiteral("pbNivel"));
    pbNivel->setGeometry(0, 46, 170, 10);
    pbNivel->setRange(0, 100);
    pbNivel->setValue(0);
    pbNivel->setTextVisible(false);
    pbNivel->setToolTip(kMeterHint);
    pbNivel->setStyleSheet(QStringLiteral("QProgressBar { background: rgb(39, 46, 39); border: 1px solid rgb(150, 160, 150); }"
                                          "QProgressBar::chunk { background: rgb(96, 200, 80); }"));
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] { Poll(); });
    connect(cbxMicrofone, &QComboBox::activated, this, [this](int index) { Chosen(index); });
    SetSource(std::string());
}

TMicrophonePanel::~TMicrophonePanel() { Close(); }

void TMicrophonePanel::SetSource(const std::string& name) {
    source_ = name;
    services_.SetAudioSource(name);
    QSignalBlocker block(cbxMicrofone);
    cbxMicrofone->clear();
    cbxMicrofone->addItem(Q(name.empty() ? std::string(kDefaultSourceCaption) : name));
    sources_ = {TAudioSourceInfo{name, {}}};
}

void TMicrophonePanel::Open() {
    open_ = true;
    QSignalBlocker block(cbxMicrofone);
    cbxMicrofone->clear();
    cbxMicrofone->setToolTip(QStringLiteral("A fonte de gravação do servidor de áudio usada no reconhecimento"));
    try {
        sources_ = services_.AudioSources();
    } catch (const std::exception& e) {
        // No server: the choice still shows what is kept, and says why.
        sources_ = {TAudioSourceInfo{}};
        cbxMicrofone->setToolTip(Q(e.what()));
    }
    int chosen = -1;
    for (size_t i = 0; i < sources_.size(); ++i)
        if (sources_[i].Name == source_) chosen = static_cast<int>(i);
    // A kept source that is not plugged in now stays the choice.
    if (chosen < 0) {
        sources_.push_back(TAudioSourceInfo{source_, {}});
        chosen = static_cast<int>(sources_.size()) - 1;
    }
    for (const TAudioSourceInfo& s : sources_) {
        const QString name = Q(s.Name.empty() ? std::string(kDefaultSourceCaption) : s.Name);
        cbxMicrofone->addItem(name);
        cbxMicrofone->setItemData(cbxMicrofone->count() - 1, Q(s.Description), Qt::ToolTipRole);
    }
    cbxMicrofone->setCurrentIndex(chosen);
    StartMeter();
}

void TMicrophonePanel::Close() {
    if (!open_) return;
    open_ = false;
    timer_->stop();
    services_.StopLevelMeter();
    pbNivel->setValue(0);
}

void TMicrophonePanel::Chosen(int index) {
    if (!open_ || index < 0 || index >= static_cast<int>(sources_.size())) return;
    source_ = sources_[static_cast<size_t>(index)].Name;
    services_.SetAudioSource(source_);
    StartMeter();
}

void TMicrophonePanel::StartMeter() {
    timer_->stop();
    pbNivel->setValue(0);
    pbNivel->setEnabled(true);
    pbNivel->setToolTip(kMeterHint);
    try {
        services_.StartLevelMeter(source_);
    } catch (const std::exception& e) {
        // The page stays usable; the meter says what is wrong.
        pbNivel->setEnabled(false);
        pbNivel->setToolTip(Q(e.what()));
        return;
    }
    timer_->start();
}

void TMicrophonePanel::Poll() {
    const int32_t level = services_.TakeLevel();
    if (level < 0) {
        Close();
        pbNivel->setEnabled(false);
        pbNivel->setToolTip(QStringLiteral("O microfone parou de responder"));
        return;
    }
    pbNivel->setValue(level);
}

}  // namespace zel
