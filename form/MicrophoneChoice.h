#pragma once
// The preferences page's microphone: a choice of the recording sources
// ("padrão" first) and a level meter that moves while the page is open, so
// that a user sees the microphone is alive before switching recognition on.
#include <string>
#include <vector>

#include "form/Controls.h"
#include "form/WindowServices.h"

namespace zel {

class TMicrophoneChoice {
public:
    // timer: ticks every 100 ms while the meter runs, calling Poll.
    TMicrophoneChoice(IWindowServices& services, IComboBox& choice, IProgressBar& meter, ITimer& timer);
    ~TMicrophoneChoice() { Close(); }
    TMicrophoneChoice(const TMicrophoneChoice&) = delete;
    TMicrophoneChoice& operator=(const TMicrophoneChoice&) = delete;

    // The chosen source (core text), empty for the default. Setting it does
    // not ask the audio system; the recognizer takes it at once.
    const std::string& Source() const { return source_; }
    void SetSource(const std::string& name);
    // The page was shown: the sources are listed afresh and the meter runs.
    void Open();
    // The page was left: the meter stops.
    void Close();
    // The user chose the item at index.
    void Chosen(int32_t index);
    // The timer's tick: the meter shows the level.
    void Poll();

private:
    // Lists the server's sources into the choice, the kept one chosen.
    void ListSources();
    // Starts the meter of the chosen source; false when it cannot be opened
    // (the meter then says why and the page tries again now and then).
    bool StartMeter();
    void MeterFailed(const std::string& why);

    IWindowServices& services_;
    IComboBox& choice_;
    IProgressBar& meter_;
    ITimer& timer_;
    std::vector<TAudioSourceInfo> sources_;
    std::string source_;
    bool open_ = false;  // the page is shown: the meter may run
    // The meter's source failed or could not be opened: every second the
    // page tries it again, so that the meter comes back with the server.
    bool failed_ = false;
    int32_t ticksToRetry_ = 0;
};

}  // namespace zel
