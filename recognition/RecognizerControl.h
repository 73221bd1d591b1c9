#pragma once
// The speech recognizer control: properties, three methods and seven events.
// The window holds one (inside TSphinx); the real one runs PocketSphinx
// (SphinxControl.h), the fake one records calls and raises events on demand
// (FakeRecognizer.h). Property writes take effect at the next InitRecognizer.
// Events always arrive on the owner's thread (see EventPoster.h).
#include <cstdint>
#include <string>
#include <vector>
#include <functional>
#include <string>

namespace zel {

// Result texts and paths are wide text, as the control speaks it; the
// program converts them to its 8-bit text on arrival.
using TSphinxNotifyEvent = std::function<void()>;
using TSphinxUtteranceResult = std::function<void(const std::u16string& Result)>;
using TSphinxUtterancePartialResult = std::function<void(const std::u16string& Result)>;
using TSphinxUtteranceError = std::function<void(int32_t Error)>;

// What the control measured of one decoded utterance, accepted or not; the
// terminal front end prints it and the benchmarks tune the threshold with it.
struct TUtteranceScore {
    std::u16string Text;        // the hypothesis, words as in the dictionary
    int32_t Confidence = 0;     // 0..100, compared with ConfThreshPercentage (dictation: DictationConfidence)
    double AcousticPerFrame = 0;  // the measure behind Confidence (natural log)
    // Other measures, for the benchmarks' comparison: acoustic score per
    // frame over all words, the lowest word posterior (natural log), words.
    double MeanAcousticPerFrame = 0;
    double MinWordPosterior = 0;
    int32_t Words = 0;
    // The second decoding over the profile's grammar: 0 not made (dictation
    // words, no grammar), 1 it heard the same words, -1 other words.
    int32_t GrammarVerdict = 0;
    std::u16string GrammarHeard;  // what the grammar decoding heard, when it was made
    // A word of it is none of the commands and number words: dictated text,
    // judged by the dictation's own rule (DictationAcceptance.h).
    bool Dictation = false;
    bool Accepted = false;      // raised as OnUtteranceResult
    double AudioEndSeconds = 0;  // position in the audio where the utterance ended
};
using TSphinxUtteranceScore = std::function<void(const TUtteranceScore& Score)>;

// Error codes of OnUtteranceError.
enum : int32_t {
    kUtteranceErrorAudio = 1,   // the audio source failed while listening
    kUtteranceErrorDecode = 2,  // the engine refused a chunk of audio
    kUtteranceErrorSourceGone = 3,  // the chosen microphone left the audio server
};

class IRecognizerControl {
public:
    virtual ~IRecognizerControl() = default;

    // Properties (ids 1..10 of the control). The file and folder names hold
    // the system's bytes one per character (Cp1252ToUtf16 and back keeps
    // every byte), so a name of any spelling survives.
    std::u16string ArgFile = u"sphinx.arg";
    std::u16string LogFile = u"sphinx.log";
    bool IgnoreEmptyUtterance = true;
    std::u16string LogDirectory;
    int32_t SamplesPerSecond = 16000;
    std::u16string RawLogDir;
    int32_t PartialResultInterval = 10;
    bool RequirePartialResult = false;
    std::u16string UttIdPrefix;
    int32_t ConfThreshPercentage = 45;
    // Ours, core text: the numeric modifiers' words and the command phrases,
    // so that the engine expects a number before a command.
    std::vector<std::string> NumberWords;
    std::vector<std::string> CommandPhrases;
    // Ours, core text: the audio server's source to record from; empty: the
    // argument file's "-audiodev", else the server's default.
    std::string AudioSource;
    // Ours: the folder of an acoustic model to load instead of the argument
    // file's "-hmm" (the model adapted to the user's voice); empty: the file's.
    std::u16string AcousticModel;
    // Ours: the folder the control is installed in (the recognizer's folder,
    // "sphinx/" beside the program); a relative "-hmm" of the argument file,
    // as the Windows edition ships it, is taken from there.
    std::u16string InstallFolder;
    // Ours: the file the cepstral mean each audio source's last run ended with
    // is kept in between runs of the program (decoding/SavedMeans.h); empty:
    // kept only while the program runs.
    std::u16string MeanFile;
    // Ours: accepted commands worth learning from (training/UseStore.h) are
    // raised with their audio through OnCommandToLearnFrom.
    bool KeepCommandsToLearnFrom = false;
    // Ours, core text: what the last InitRecognizer went on in spite of (a
    // damaged trained voice, left for the installed model); empty: nothing.
    std::string Notice;

    // Methods; a failure raises TError with the control's message. The
    // returned integer means nothing.
    virtual int32_t InitRecognizer() = 0;
    virtual int32_t StartRecognizer() = 0;
    // Returns when listening has stopped: no event of this run arrives after.
    virtual int32_t StopRecognizer() = 0;
    virtual bool Listening() const = 0;

    // Events (ids 1..7), in this order.
    TSphinxUtteranceResult OnUtteranceResult;
    TSphinxNotifyEvent OnNewUtterance;
    TSphinxNotifyEvent OnEndUtterance;
    TSphinxUtteranceError OnUtteranceError;
    TSphinxNotifyEvent OnStartListening;
    TSphinxNotifyEvent OnStopListening;
    TSphinxUtterancePartialResult OnUtterancePartialResult;
    // Ours: the last event of every utterance that OnNewUtterance announced,
    // after its result (or its score, when rejected).
    TSphinxNotifyEvent OnUtteranceDone;
    // Ours: every decoded, non-empty utterance with its confidence, raised
    // before OnUtteranceResult (which follows only when Accepted).
    TSphinxUtteranceScore OnUtteranceScore;
    // Ours: with KeepCommandsToLearnFrom, an accepted command worth learning
    // from, with the audio of its utterance (samples at rate), raised after its
    // score and before its result.
    std::function<void(const TUtteranceScore& Score, const std::vector<int16_t>& Samples, int32_t Rate)>
        OnCommandToLearnFrom;
};

}  // namespace zel
