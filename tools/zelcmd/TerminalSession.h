#pragma once
// What `zelcmd say` and `zelcmd listen` share: the program's folder, the
// settings the interpretation reads, and the desktop a sentence acts on —
// the real desktop, or with --dry-run a recorder whose events are printed.
#include <chrono>
#include <memory>
#include <string>

#include "actions/ActionContext.h"
#include "commands/IniFile.h"
#include "platform/Desktop.h"
#include "platform/fake/FakeDesktop.h"

#include "platform/RuntimeFolder.h"
#include "platform/SystemDesktop.h"

namespace zelcmd {

// Where zelcmd is installed and where it keeps its files (the user's own
// folder for an installation for every user), worked out once.
const zel::TProgramFolders& Folders();

// config.ini as given with --settings; no name gives the defaults, a name
// that does not exist raises "Cannot open file %s".
zel::TIniDocument LoadSettings(const std::string& fileName);
// The times and check boxes of the section "geral", with their defaults.
void ReadActionSettings(zel::TActionContext& ctx, const zel::TIniDocument& ini, const std::string& programFolder);

// The activation timer of a terminal program: it ticks when the loop finds
// its time has run out. A dry run's timer runs too (a recording plays in real
// time), and its changes go into the run's log.
class TPolledTimer : public zel::ITimer {
public:
    explicit TPolledTimer(zel::TEventLog* log = nullptr) : log_(log) {}
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }
    void SetInterval(int32_t milliseconds) override;
    int32_t Interval() const override { return interval_; }
    bool Due() const { return enabled_ && std::chrono::steady_clock::now() >= due_; }

private:
    zel::TEventLog* log_;
    bool enabled_ = false;
    int32_t interval_ = 1000;
    std::chrono::steady_clock::time_point due_{};
};

class TTerminalDesktop {
public:
    // The dry run records what the real desktop would be sent.
    explicit TTerminalDesktop(bool dryRun);

    zel::IDesktop& Desktop() { return *desktop_; }
    zel::ITimer& Timer() { return *timer_; }
    // The real desktop, or null in a dry run.
    zel::TSystemDesktop* Real() { return real_; }
    bool TimerDue() const { return polled_ && polled_->Due(); }

    // In a dry run: every event since the last call, one a line, then the
    // state of Ativo. Nothing otherwise.
    void PrintDryRun(const zel::TActionContext& ctx);
    void ClearLog() { log_.Clear(); }

private:
    bool dryRun_;
    zel::TEventLog log_;
    std::unique_ptr<zel::IDesktop> desktop_;
    std::unique_ptr<zel::ITimer> timer_;
    zel::TSystemDesktop* real_ = nullptr;
    TPolledTimer* polled_ = nullptr;
};

// An error that ends one sentence: the message, and the next one goes on.
void PrintSentenceError(const std::exception& e);

}  // namespace zelcmd
