#include "platform/fake/FakeDesktop.h"

#include <cstdio>

#include "commands/TextFile.h"

namespace zel {

namespace {
std::string Hex2(int32_t value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(value) & 0xFFu);
    return buffer;
}
}  // namespace

std::string EventToken(const TDesktopEvent& e) {
    switch (e.Kind) {
        case TDesktopEvent::KeyDown: return "+" + Hex2(e.Value);
        case TDesktopEvent::KeyUp: return "-" + Hex2(e.Value);
        case TDesktopEvent::Sleep: return "w" + std::to_string(e.Value);
        case TDesktopEvent::ShellOpen: return "open(" + e.File + "|" + e.Parameters + "|" + e.WorkFolder + ")";
        case TDesktopEvent::PlaySound: return "sound(" + e.File + ")";
        case TDesktopEvent::ProcessMessages: return "pump";
        case TDesktopEvent::TimerEnabled: return e.Value ? "timer:on" : "timer:off";
        case TDesktopEvent::TimerInterval: return "interval:" + std::to_string(e.Value);
        case TDesktopEvent::IndicatorShow: return "show";
        case TDesktopEvent::IndicatorHide: return "hide";
    }
    return "?";
}

std::string DescribeEvent(const TDesktopEvent& e) {
    switch (e.Kind) {
        case TDesktopEvent::KeyDown: return "key down 0x" + Hex2(e.Value);
        case TDesktopEvent::KeyUp: return "key up 0x" + Hex2(e.Value);
        case TDesktopEvent::Sleep: return "wait " + std::to_string(e.Value) + " ms";
        case TDesktopEvent::ShellOpen:
            return "launch \"" + FileNameForDisplay(e.File) + "\" parameters \"" + e.Parameters + "\" folder \"" +
                   FileNameForDisplay(e.WorkFolder) + "\"";
        case TDesktopEvent::PlaySound: return "sound \"" + FileNameForDisplay(e.File) + "\"";
        case TDesktopEvent::ProcessMessages: return "process messages";
        case TDesktopEvent::TimerEnabled: return e.Value ? "activation timer on" : "activation timer off";
        case TDesktopEvent::TimerInterval: return "activation timer interval " + std::to_string(e.Value) + " ms";
        case TDesktopEvent::IndicatorShow: return "indicator shown";
        case TDesktopEvent::IndicatorHide: return "indicator hidden";
    }
    return "?";
}

std::string TEventLog::Trace(uint16_t kinds) const {
    std::string out;
    for (const auto& e : events_) {
        if (!(e.Kind & kinds)) continue;
        if (!out.empty()) out += ' ';
        out += EventToken(e);
    }
    return out;
}

size_t TEventLog::Count(TDesktopEvent::TKind kind) const {
    size_t n = 0;
    for (const auto& e : events_) n += e.Kind == kind;
    return n;
}

void TFakeDesktop::KeyDown(uint8_t vk) { log_.Add({TDesktopEvent::KeyDown, vk, {}, {}, {}}); }
void TFakeDesktop::KeyUp(uint8_t vk) { log_.Add({TDesktopEvent::KeyUp, vk, {}, {}, {}}); }
void TFakeDesktop::Sleep(int32_t milliseconds) { log_.Add({TDesktopEvent::Sleep, milliseconds, {}, {}, {}}); }

bool TFakeDesktop::ShellOpen(const std::string& file, const std::string& parameters, const std::string& workFolder) {
    log_.Add({TDesktopEvent::ShellOpen, 0, file, parameters, workFolder});
    return ShellOpenResult;
}

void TFakeDesktop::PlaySoundAsync(const std::string& wavFile) { log_.Add({TDesktopEvent::PlaySound, 0, wavFile, {}, {}}); }

void TFakeDesktop::ProcessMessages() {
    log_.Add({TDesktopEvent::ProcessMessages, 0, {}, {}, {}});
    if (OnProcessMessages) {
        // A handler that runs a long operation may pump again; the copy keeps
        // this one alive if it replaces itself.
        auto handler = OnProcessMessages;
        handler();
    }
}

void TFakeTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    log_.Add({TDesktopEvent::TimerEnabled, enabled ? 1 : 0, {}, {}, {}});
}

void TFakeTimer::SetInterval(int32_t milliseconds) {
    interval_ = milliseconds;
    log_.Add({TDesktopEvent::TimerInterval, milliseconds, {}, {}, {}});
}

void TFakeIndicator::Show() {
    visible_ = true;
    log_.Add({TDesktopEvent::IndicatorShow, 0, {}, {}, {}});
}

void TFakeIndicator::Hide() {
    visible_ = false;
    log_.Add({TDesktopEvent::IndicatorHide, 0, {}, {}, {}});
}

}  // namespace zel
