#include "recognition/HeardReporter.h"

#include <chrono>
#include <ctime>

#include "actions/Interpretation.h"
#include "recognition/RecognitionSwitch.h"

namespace zel {

std::string NowStamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

void THeardReporter::SetHistoryFile(const std::string& fileName) {
    if (history_ && history_->FileName() == fileName) return;
    history_ = fileName.empty() ? nullptr : std::make_unique<THistoryLog>(fileName);
}

void THeardReporter::StartRun() {
    if (history_) history_->StartRun();
    confidence_ = 0;
}

void THeardReporter::Score(const TUtteranceScore& score) {
    confidence_ = score.Confidence;
    if (score.Accepted) return;
    // A sentence the command grammar heard otherwise says so: its confidence
    // alone may have been enough.
    Report(THeardEntry{NowStamp(), SentenceFromResult(score.Text), score.Confidence, false,
                       RejectedOutcome(score.Confidence, score.GrammarVerdict < 0)});
}

void THeardReporter::Result(TActionContext& ctx, const std::u16string& result) {
    THeardEntry entry{NowStamp(), SentenceFromResult(result), confidence_, true, {}};
    confidence_ = 0;
    try {
        entry.Outcome = DescribeActions(HandleSentence(ctx, entry.Sentence));
    } catch (const std::exception& e) {
        entry.Outcome = ErrorOutcome(e.what());
        Report(std::move(entry));
        throw;
    }
    Report(std::move(entry));
}

void THeardReporter::Report(THeardEntry entry) {
    // An empty result (kept when empty utterances are not ignored) said nothing.
    if (entry.Sentence.empty()) return;
    std::string failure;
    if (historyOn_ && history_) failure = history_->Append(HistoryLine(entry));
    list_.Add(entry);
    if (OnHeard) OnHeard(list_.Entries().front());
    if (!failure.empty() && OnHistoryError) OnHistoryError(failure);
}

}  // namespace zel
