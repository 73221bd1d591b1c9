#include "form/MicrophoneChoice.h"

#include "commands/Cp1252.h"

namespace zel {

namespace {
const std::string kChoiceHint = Utf8ToCp1252("A fonte de gravação do servidor de áudio usada no reconhecimento");
const std::string kMeterHint = Utf8ToCp1252("Nível do microfone: fale e veja a barra se mover");

std::string Caption(const std::string& name) { return name.empty() ? std::string(kDefaultSourceCaption) : name; }
}  // namespace

TMicrophoneChoice::TMicrophoneChoice(IWindowServices& services, IComboBox& choice, IProgressBar& meter, ITimer& timer)
    : services_(services), choice_(choice), meter_(meter), timer_(timer) {
    timer_.SetInterval(100);
    choice_.SetHint(kChoiceHint);
    meter_.SetHint(kMeterHint);
    meter_.SetPosition(0);
    SetSource(std::string());
}

void TMicrophoneChoice::SetSource(const std::string& name) {
    source_ = name;
    services_.SetAudioSource(name);
    choice_.FillItems({{Caption(name), {}}}, 0);
    sources_ = {TAudioSourceInfo{name, {}}};
}

void TMicrophoneChoice::Open() {
    open_ = true;
    ListSources();
    StartMeter();
}

void TMicrophoneChoice::ListSources() {
    choice_.SetHint(kChoiceHint);
    try {
        sources_ = services_.AudioSources();
    } catch (const std::exception& e) {
        // No audio system: the choice still shows what is kept, and says why.
        sources_ = {TAudioSourceInfo{}};
        choice_.SetHint(e.what());
    }
    int32_t chosen = -1;
    for (size_t i = 0; i < sources_.size(); ++i)
        if (sources_[i].Name == source_) chosen = static_cast<int32_t>(i);
    // A kept source that is not plugged in now stays the choice.
    if (chosen < 0) {
        sources_.push_back(TAudioSourceInfo{source_, {}});
        chosen = static_cast<int32_t>(sources_.size()) - 1;
    }
    std::vector<IComboBox::TItem> items;
    for (const TAudioSourceInfo& s : sources_) items.push_back({Caption(s.Name), s.Description});
    choice_.FillItems(items, chosen);
}

void TMicrophoneChoice::Close() {
    if (!open_) return;
    open_ = false;
    failed_ = false;
    timer_.SetEnabled(false);
    services_.StopLevelMeter();
    meter_.SetPosition(0);
}

void TMicrophoneChoice::Chosen(int32_t index) {
    if (!open_ || index < 0 || index >= static_cast<int32_t>(sources_.size())) return;
    source_ = sources_[static_cast<size_t>(index)].Name;
    services_.SetAudioSource(source_);
    StartMeter();
}

bool TMicrophoneChoice::StartMeter() {
    meter_.SetPosition(0);
    try {
        services_.StartLevelMeter(source_);
    } catch (const std::exception& e) {
        // The page stays usable; the meter says what is wrong.
        MeterFailed(e.what());
        return false;
    }
    failed_ = false;
    meter_.SetEnabled(true);
    meter_.SetHint(kMeterHint);
    timer_.SetEnabled(true);
    return true;
}

void TMicrophoneChoice::MeterFailed(const std::string& why) {
    services_.StopLevelMeter();
    meter_.SetPosition(0);
    meter_.SetEnabled(false);
    meter_.SetHint(why);
    failed_ = true;
    ticksToRetry_ = 10;
    timer_.SetEnabled(true);
}

void TMicrophoneChoice::Poll() {
    if (!open_) return;
    if (failed_) {
        if (--ticksToRetry_ > 0) return;
        // The server may be back (restarted, or the microphone plugged in
        // again): its sources are listed afresh and the meter runs again.
        if (StartMeter()) ListSources();
        return;
    }
    const int32_t level = services_.TakeLevel();
    if (level < 0) {
        MeterFailed(Utf8ToCp1252("O microfone parou de responder"));
        return;
    }
    meter_.SetPosition(level);
}

}  // namespace zel
