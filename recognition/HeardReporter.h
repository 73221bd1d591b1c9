#pragma once
// Every sentence the recognizer decoded, told in one place: rejected ones as
// they are scored, accepted ones once the interpretation has acted on them.
// Each becomes a THeardEntry kept in the heard list, written to the history
// file when it is on, and handed to whoever shows it (the window's panel,
// zelcmd's output).
#include <functional>
#include <memory>
#include <string>

#include "actions/ActionContext.h"
#include "actions/Heard.h"
#include "recognition/HistoryLog.h"
#include "recognition/RecognizerControl.h"

namespace zel {

// The local time as "AAAA-MM-DD HH:MM:SS".
std::string NowStamp();

class THeardReporter {
public:
    std::function<void(const THeardEntry&)> OnHeard;
    // The history file could not be written (core text), at most once a run.
    std::function<void(const std::string&)> OnHistoryError;

    // The history file (core text); empty: none.
    void SetHistoryFile(const std::string& fileName);
    void SetHistoryEnabled(bool enabled) { historyOn_ = enabled; }
    bool HistoryEnabled() const { return historyOn_; }
    // A new run of recognition.
    void StartRun();

    // OnUtteranceScore: a rejected sentence is reported now; an accepted
    // one's confidence waits for its result.
    void Score(const TUtteranceScore& score);
    // OnUtteranceResult: the sentence to the interpretation, then reported
    // with what it caused. An error of the interpretation is reported as the
    // sentence's outcome and raised again for the caller to show.
    void Result(TActionContext& ctx, const std::u16string& result);

    const THeardList& List() const { return list_; }

private:
    void Report(THeardEntry entry);
    THeardList list_;
    std::unique_ptr<THistoryLog> history_;
    bool historyOn_ = true;
    int32_t confidence_ = 0;
};

}  // namespace zel
