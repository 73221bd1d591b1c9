#pragma once
// A recognizer control for tests of the window and the switch: it records
// every method call with the properties it saw, fails on demand with a given
// message, and raises its events when the test says a sentence was heard.
#include <string>
#include <vector>

#include "recognition/RecognizerControl.h"

namespace zel {

class TFakeRecognizerControl : public IRecognizerControl {
public:
    // One call: "init", "start" or "stop", and the paths and values the
    // control held at that moment.
    struct TCall {
        std::string Method;
        std::u16string ArgFile;
        std::u16string LogFile;
        int32_t SamplesPerSecond = 0;
        int32_t ConfThreshPercentage = 0;
        std::u16string AcousticModel;
    };

    int32_t InitRecognizer() override;
    int32_t StartRecognizer() override;
    int32_t StopRecognizer() override;
    bool Listening() const override { return listening_; }

    // Makes the next calls of that method raise TError(message) (Windows-1252);
    // an empty message lets them succeed again.
    std::string FailInit;
    std::string FailStart;

    // Raises OnNewUtterance, OnEndUtterance, OnUtteranceScore and, when the
    // confidence reaches ConfThreshPercentage, OnUtteranceResult(sentence), as
    // the real control does for one utterance, on the caller's thread. Only
    // while listening; returns whether the events were raised.
    bool Hear(const std::u16string& sentence, int32_t confidence = 100);

    const std::vector<TCall>& Calls() const { return calls_; }
    // "init start stop …"
    std::string Trace() const;

private:
    void Record(const char* method);

    std::vector<TCall> calls_;
    bool initialized_ = false;
    bool listening_ = false;
};

}  // namespace zel
