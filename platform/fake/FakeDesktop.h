#pragma once
// A desktop that records instead of acting: every key, wait, program start,
// sound, timer change and indicator call lands in one ordered event log, so a
// test can assert exactly what the user's desktop would have received.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace zel {

struct TDesktopEvent {
    enum TKind : uint16_t {
        KeyDown = 1 << 0,
        KeyUp = 1 << 1,
        Sleep = 1 << 2,
        ShellOpen = 1 << 3,
        PlaySound = 1 << 4,
        ProcessMessages = 1 << 6,
        TimerEnabled = 1 << 7,   // Value: 1 on, 0 off
        TimerInterval = 1 << 8,  // Value: milliseconds
        IndicatorShow = 1 << 9,
        IndicatorHide = 1 << 10,
    };
    static constexpr uint16_t kAll = 0x7FF;
    static constexpr uint16_t kKeys = KeyDown | KeyUp | Sleep;

    TKind Kind;
    int32_t Value = 0;       // key code, milliseconds, timer flag or interval
    std::string File;        // ShellOpen, PlaySound
    std::string Parameters;  // ShellOpen
    std::string WorkFolder;  // ShellOpen
};

// One short token per event, for compact assertions:
//   "+11" / "-11"  key 0x11 down / up        "w10"   wait 10 ms
//   "open(F|P|W)"  program F, parameters P, working folder W
//   "sound(F)"  "pump"  "timer:on"  "timer:off"  "interval:5000"
//   "show"  "hide"
std::string EventToken(const TDesktopEvent& event);
// A line a person reads (zelcmd's dry run), e.g. "key down 0x11 CTRL".
std::string DescribeEvent(const TDesktopEvent& event);

class TEventLog {
public:
    void Add(TDesktopEvent event) { events_.push_back(std::move(event)); }
    void Clear() { events_.clear(); }
    const std::vector<TDesktopEvent>& Events() const { return events_; }
    // The tokens of the events whose kind is in kinds, joined by blanks.
    std::string Trace(uint16_t kinds = TDesktopEvent::kAll) const;
    size_t Count(TDesktopEvent::TKind kind) const;

private:
    std::vector<TDesktopEvent> events_;
};

class TFakeDesktop : public IDesktop {
public:
    explicit TFakeDesktop(TEventLog& log) : log_(log) {}

    void KeyDown(uint8_t vk) override;
    void KeyUp(uint8_t vk) override;
    void Sleep(int32_t milliseconds) override;
    bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& workFolder) override;
    void PlaySoundAsync(const std::string& wavFile) override;
    void ProcessMessages() override;

    // What ShellOpen answers.
    bool ShellOpenResult = true;
    // Runs inside ProcessMessages: what arrives while the program handles its
    // pending messages (a timer tick, a key message, another sentence).
    std::function<void()> OnProcessMessages;

private:
    TEventLog& log_;
};

// The activation timer. It never ticks by itself: the test calls the tick
// handler when it wants one.
class TFakeTimer : public ITimer {
public:
    explicit TFakeTimer(TEventLog& log) : log_(log) {}
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }
    void SetInterval(int32_t milliseconds) override;
    int32_t Interval() const override { return interval_; }

private:
    TEventLog& log_;
    bool enabled_ = false;
    int32_t interval_ = 1000;
};

class TFakeIndicator : public IIndicator {
public:
    explicit TFakeIndicator(TEventLog& log) : log_(log) {}
    void Show() override;
    void Hide() override;
    bool Visible() const { return visible_; }

private:
    TEventLog& log_;
    bool visible_ = false;
};

}  // namespace zel
