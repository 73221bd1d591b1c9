#include "recognition/FakeRecognizer.h"

#include "commands/Cp1252.h"
#include "commands/ZelError.h"

namespace zel {

void TFakeRecognizerControl::Record(const char* method) {
    calls_.push_back({method, ArgFile, LogFile, SamplesPerSecond, ConfThreshPercentage, AcousticModel});
}

int32_t TFakeRecognizerControl::InitRecognizer() {
    Record("init");
    if (!FailInit.empty()) throw TError(FailInit);
    if (listening_) StopRecognizer();
    initialized_ = true;
    return 0;
}

int32_t TFakeRecognizerControl::StartRecognizer() {
    Record("start");
    if (!FailStart.empty()) throw TError(FailStart);
    if (!initialized_) throw TError(Utf8ToCp1252("O reconhecedor não foi inicializado."));
    if (!listening_) {
        listening_ = true;
        if (OnStartListening) OnStartListening();
    }
    return 0;
}

int32_t TFakeRecognizerControl::StopRecognizer() {
    Record("stop");
    if (listening_) {
        listening_ = false;
        if (OnStopListening) OnStopListening();
    }
    return 0;
}

bool TFakeRecognizerControl::Hear(const std::u16string& sentence, int32_t confidence) {
    if (!listening_) return false;
    if (OnNewUtterance) OnNewUtterance();
    if (OnEndUtterance) OnEndUtterance();
    const bool accepted = confidence >= ConfThreshPercentage;
    if (OnUtteranceScore) {
        TUtteranceScore s;
        s.Text = sentence;
        s.Confidence = confidence;
        s.Accepted = accepted;
        OnUtteranceScore(s);
    }
    if (accepted && OnUtteranceResult) OnUtteranceResult(sentence);
    if (OnUtteranceDone) OnUtteranceDone();
    return true;
}

std::string TFakeRecognizerControl::Trace() const {
    std::string t;
    for (const auto& c : calls_) {
        if (!t.empty()) t += ' ';
        t += c.Method;
    }
    return t;
}

}  // namespace zel
