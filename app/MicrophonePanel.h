#pragma once
// The preferences page's microphone: a choice of the audio server's sources
// ("padrão" first) and a level meter that moves while the page is open, so a
// user sees the microphone is alive before switching recognition on.
#include <QWidget>

#include <string>
#include <vector>

#include "app/WindowServices.h"

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

    // The chosen source (core text), empty for the server's default. Setting
    // it does not ask the server; the recognizer takes it at once.
    const std::string& Source() const { return source_; }
    void SetSource(const std::string& name);
    // The page was shown: the sources are listed afresh and the meter runs.
    void Open();
    // The page was left: the meter stops.
    void Close();

private:
    void Chosen(int index);
    void StartMeter();
    void Poll();

    IWindowServices& services_;
    QTimer* timer_ = nullptr;
    std::vector<TAudioSourceInfo> sources_;
    std::string source_;
    bool open_ = false;  // the page is shown: the meter may run
};

}  // namespace zel
