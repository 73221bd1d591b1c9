#pragma once
// The preferences page's microphone in Qt: the choice of the recording
// sources and the level meter of the form's logic (form/MicrophoneChoice.h)
// as a combo box and a bar.
#include <QWidget>

#include <memory>
#include <string>

#include "app/WindowServices.h"
#include "form/MicrophoneChoice.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QTimer;

namespace zel {

class TMicrophonePanel : public QWidget {
public:
    TMicrophonePanel(IWindowServices& services, QWidget* parent);
    ~TMicrophonePanel() override;

    QLabel* lblMicrofone = nullptr;
    QComboBox* cbxMicrofone = nullptr;
    QProgressBar* pbNivel = nullptr;

    TMicrophoneChoice& Choice() { return *choice_; }
    const std::string& Source() const { return choice_->Source(); }
    void SetSource(const std::string& name) { choice_->SetSource(name); }
    void Open() { choice_->Open(); }
    void Close() { choice_->Close(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TAdapters;
    std::unique_ptr<TAdapters> adapters_;
    std::unique_ptr<TMicrophoneChoice> choice_;
};

}  // namespace zel
