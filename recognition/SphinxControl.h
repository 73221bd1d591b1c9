#pragma once
// The recognizer control over PocketSphinx (Debian's 0.8 line, pre-1.0 API)
// with the US-English acoustic model, whose phones are the ones our letter
// rules produce.
//
// Threads: InitRecognizer and StopRecognizer touch the engine on the owner's
// thread; between StartRecognizer and StopRecognizer only the decoding thread
// does, and StopRecognizer joins it before it touches the engine again. A
// second thread captures the audio; a read that never returns (a stalled audio
// source) cannot hold StopRecognizer: after a short wait the capture thread is
// left to finish on its own and closes its device when its read returns.
// Every event is posted to the owner's thread with the run's token; once
// StopRecognizer has cleared the token, events still queued are dropped, so
// nothing of a stopped run arrives after StopRecognizer returns.
#include <memory>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "recognition/ArgFile.h"
#include "recognition/EventPoster.h"
#include "recognition/RecognizerControl.h"
#include "recognition/decoding/GrammarChecker.h"
#include "recognition/decoding/UtteranceScore.h"

struct ps_decoder_s;

namespace zel {

class TSphinxControl : public IRecognizerControl {
public:
    explicit TSphinxControl(IEventPoster& poster);
    ~TSphinxControl() override;
    TSphinxControl(const TSphinxControl&) = delete;
    TSphinxControl& operator=(const TSphinxControl&) = delete;

    // Reads ArgFile (raises "Cannot open file %s"), passes its options to the
    // engine and loads the models; a refusal raises the engine's own reason.
    int32_t InitRecognizer() override;
    // Opens the audio source (a WAV file when the argument file names one,
    // else the microphone) and listens. Raises a clear message when the
    // source cannot be opened; nothing is left running then.
    int32_t StartRecognizer() override;
    int32_t StopRecognizer() override;
    bool Listening() const override { return static_cast<bool>(run_); }

    // Ours, stored like the others: a WAV file to listen to instead of what
    // the argument file says (its "-audiofile" or the microphone). Read by
    // InitRecognizer; relative names are taken from the argument file's folder.
    // A file name: the system's bytes (see NativePath).
    std::string AudioFile;
    // Ours: asked while the microphone is being opened; true ends the wait
    // (zelcmd's Ctrl+C).
    std::function<bool()> Cancelled;

    // The options of the last InitRecognizer, as read from the argument file.
    const TRecognizerArgs& Args() const { return args_; }
    // The confidence (0..100) of a utterance whose words scored at least this
    // many natural-log units of acoustic likelihood per frame in the worst word.
    static int32_t ConfidenceFromAcousticPerFrame(double lnPerFrame) { return zel::ConfidenceFromAcousticPerFrame(lnPerFrame); }

    struct TRun;

private:
    struct TDecoding;
    // What the capture thread handed over next: a chunk, or how it ended.
    struct TNextAudio {
        std::vector<int16_t> Chunk;
        bool Stop = false, Ended = false, Failed = false, Gone = false;
    };

    void Release();
    void Shutdown(bool notify);

    // The decoding thread: DecodeLoop takes each chunk through the steps below.
    void DecodeLoop(std::shared_ptr<TRun> run);
    TNextAudio WaitForAudio(TRun& run);
    // The noise floor, the main decoder, the audio kept and the grammar's share.
    void DecodeChunk(TDecoding& d, std::vector<int16_t>& chunk);
    // Half a second into the run: returns whether the speech detector, heard
    // again from the run's starting mean, is still in speech.
    bool WarmUpDetector(TDecoding& d, bool inSpeech);
    void SpeechBegan(TDecoding& d);
    void AnnounceNewUtterance(TDecoding& d);
    void PostPartialResult(TDecoding& d);
    // The utterance decoded again when the cepstral mean moved during it.
    void DecodeAgainIfMeanMoved(TDecoding& d);
    // The end of speech: the result, the grammar's verdict, the decision.
    void FinishUtterance(TDecoding& d);
    // toLearnFrom: the utterance's audio when it is worth learning from.
    void PostUtterance(TDecoding& d, const TUtteranceScore& score, std::vector<int16_t> toLearnFrom);
    void EndOfSource(TDecoding& d, const TNextAudio& next);
    void Post(const TDecoding& d, std::function<void(TSphinxControl&)> event);

    // The cepstral mean a run starts from and the one it ended with.
    void StartFromLastMean();
    void KeepLastMean();

    IEventPoster& poster_;
    ps_decoder_s* ps_ = nullptr;
    TGrammarChecker checker_;  // the second opinion; not loaded without a grammar
    // The commands' and number words' written forms: a result with any other
    // word is dictation.
    std::unordered_set<std::string> commandWords_;
    TRecognizerArgs args_;
    std::string audioFile_;  // resolved against the argument file's folder
    std::string audioDevice_;  // the source of this run; empty: the default
    std::string meanFile_;     // MeanFile, the system's bytes
    int32_t rate_ = 16000;         // the engine's
    int32_t captureRate_ = 16000;  // the microphone's
    int32_t confThresh_ = 0;
    bool ignoreEmpty_ = true;
    bool partials_ = false;
    bool keepToLearn_ = false;
    int32_t partialInterval_ = 10;
    std::shared_ptr<TRun> run_;
    std::thread decoder_;
    // The cepstral mean the last run ended with, and the source it heard: a
    // switch-on that listens to the same source starts from it rather than
    // from the model's, so its first utterance need not be decoded twice.
    // The program's first switch-on takes it from MeanFile.
    std::vector<float> lastMean_;
    std::string lastMeanSource_;
    std::string SourceName() const;
};

}  // namespace zel
