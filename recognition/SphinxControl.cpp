#include "recognition/SphinxControl.h"

#include <pocketsphinx.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <future>
#include <mutex>
#include <vector>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "langmodel/PronunciationAlternates.h"
#include "langmodel/WrittenForm.h"
#include "recognition/ArpaCheck.h"
#include "recognition/AudioSource.h"
#include "recognition/DictionaryAlternates.h"
#include "recognition/DictationAcceptance.h"
#include "recognition/GrammarCheck.h"
#include "recognition/NumberPairs.h"
#include "recognition/decoding/CepstralMean.h"
#include "recognition/decoding/EngineLog.h"
#include "recognition/decoding/NoiseFloor.h"
#include "recognition/decoding/SavedMeans.h"
#include "recognition/decoding/TemporaryFile.h"
#include "recognition/decoding/UtteranceAudio.h"
#include "recognition/training/UseStore.h"
#include "recognition/training/VoiceFolder.h"
#include "platform/SystemFiles.h"

namespace zel {

namespace {

// 20 ms of audio at 16 kHz: the engine's speech detector works on 10 ms
// frames, and smaller chunks only cost calls.
constexpr int32_t kChunkMs = 20;
// How long StopRecognizer waits for a capture read to come back before it
// leaves the capture thread to finish on its own.
constexpr auto kCaptureGrace = std::chrono::milliseconds(500);
// Cepstral mean normalisation: the engine subtracts a running mean of the
// cepstrum, which starts at the acoustic model's value and is updated at the
// end of each utterance. The model's starting loudness term (c0 = 41) lies far
// from what a microphone or a recording gives (54 for the test recordings), so
// the first utterance of a run was decoded against a wrong mean: "abrir" as
// "anterior" for four voices of six. When the mean moved more than this
// during an utterance, the utterance is decoded again with the updated mean.
// A switch-on starts from the mean the last run on the same source ended
// with, kept in the runtime folder between runs of the program, so only the
// very first run on a source pays for it.
constexpr double kCmnShift = 2.0;
// Audio kept for that second decoding (longer utterances are not redone).
constexpr int64_t kRedecodeMaxSeconds = 15;
// Up to this many words the dictionary the engine loads gets the alternate
// pronunciations.
constexpr size_t kMaxWordsWithAlternates = 20000;
// Profiles with more commands than this are not checked against a grammar:
// the engine takes about 0.8 ms of processor time per command to load it
// (8 s at 10000 commands with the shipped number words, most of switch-on),
// so the check stops at the size where it costs about a second and a half.
constexpr size_t kMaxGrammarCommands = 2000;

// The value of the last line of an engine option (later lines win).
std::string EngineOption(const TRecognizerArgs& args, const std::string& name) {
    std::string value;
    for (const auto& [n, v] : args.Engine)
        if (n == name) value = v;
    return value;
}

bool IsReadableFile(const std::string& fileName) {
    std::error_code ec;
    return !fileName.empty() && std::filesystem::is_regular_file(NativePath(fileName), ec);
}

// A file the engine loads instead of the argument file's, and the line the
// log gets about it (written by the owner's thread).
struct TEngineFile {
    TTemporaryFile File;
    std::string LogLine;
};

// The argument file's dictionary (its text; empty when it cannot be read,
// which the engine then reports) with the pronunciation alternates of its
// generated words; none when there is nothing to add.
TEngineFile DictionaryForEngine(const TRecognizerArgs& args, const std::string& dictionary) {
    if (dictionary.empty()) return {};
    std::vector<std::string> rules = AlternateRulesFromArg(args.Alternates);
    // A dictionary of tens of thousands of words would about triple in the
    // engine, and its loading with it (a second of a 100,000-command
    // switch-on), for a vocabulary where one pronunciation more decides little;
    // the words whose letters the rules dropped still get them restored.
    const size_t words = static_cast<size_t>(std::count(dictionary.begin(), dictionary.end(), '\n'));
    std::string note;
    const bool restoring = std::find(rules.begin(), rules.end(), kRestoredLettersRule) != rules.end();
    if (words > kMaxWordsWithAlternates && rules.size() > (restoring ? 1u : 0u)) {
        rules.clear();
        if (restoring) rules.push_back(kRestoredLettersRule);
        note = "alternate pronunciations left out: the dictionary has " + std::to_string(words) + " words, more than " +
               std::to_string(kMaxWordsWithAlternates) + "; ";
    }
    const size_t most = args.AlternatesMax >= 0 ? static_cast<size_t>(args.AlternatesMax) : kMaxAlternates;
    TDictionaryAlternates alt = DictionaryWithAlternates(dictionary, rules, most);
    if (alt.Added == 0) return {{}, note.empty() ? note : note.substr(0, note.size() - 2)};
    return {TTemporaryFile::Holding(alt.Text), note + std::to_string(alt.Added) + " alternate pronunciations for " +
                                                   std::to_string(alt.Words) + " words"};
}

// The argument file's model with a bigram for every number + command pair.
TEngineFile ModelForEngine(const TRecognizerArgs& args, const std::vector<std::string>& numbers,
                           const std::vector<std::string>& commands) {
    std::string lm = EngineOption(args, "-lm");
    if (numbers.empty() || commands.empty() || !IsReadableFile(lm)) return {};
    std::vector<std::string> n, c;
    for (const auto& w : numbers) n.push_back(WrittenForm(w));
    for (const auto& w : commands) c.push_back(WrittenForm(w));
    TNumberPairs pairs = ModelWithNumberPairs(ReadFileBytes(lm), n, c);
    if (pairs.Added == 0) return {};
    return {TTemporaryFile::Holding(pairs.Model), std::to_string(pairs.Added) + " number + command bigrams added to the model"};
}

}  // namespace

// What the capture thread, the decoding thread and the owner share in one run.
struct TSphinxControl::TRun {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::vector<int16_t>> chunks;
    bool stop = false;
    bool sourceEnded = false;
    bool sourceFailed = false;
    bool sourceGone = false;  // with sourceFailed: the chosen source went away
    bool captureDone = false;
    bool uttOpen = false;
    // Owner's thread only: OnStopListening of the source's end was delivered.
    bool stopAnnounced = false;
    // Cleared on the owner's thread by StopRecognizer; checked there when a
    // posted event is delivered.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

TSphinxControl::TSphinxControl(IEventPoster& poster) : poster_(poster) {}

TSphinxControl::~TSphinxControl() {
    Shutdown(false);
    Release();
    TEngineLog::Instance().Close();
}

void TSphinxControl::Release() {
    if (ps_) ps_free(ps_);
    ps_ = nullptr;
    checker_.Release();
    commandWords_.clear();
}

int32_t TSphinxControl::InitRecognizer() {
    Shutdown(false);
    Release();

    Notice.clear();
    std::string logFile = Utf16ToCp1252(LogFile);
    TEngineLog& log = TEngineLog::Instance();
    log.Open(logFile);

    std::string argFile = Utf16ToCp1252(ArgFile);
    std::vector<std::string> lines = ReadLines(argFile);  // "Cannot open file %s"
    const arg_t* defs = ps_args();
    args_ = ParseRecognizerArgs(lines, [defs](std::string_view name) {
        for (const arg_t* a = defs; a->name; ++a)
            if (name == a->name) return true;
        return false;
    });
    for (const auto& note : args_.Notes) log.Line(note);

    // Two rates: SamplesPerSecond is the rate the microphone records at; the
    // engine runs at the rate its acoustic model was made for, the argument
    // file's "-samprate" (the template's 16000). The audio is converted
    // between them, so any setting of the preferences can be heard. Without
    // "-samprate" in the file the engine runs at SamplesPerSecond.
    int32_t engineRate = SamplesPerSecond;
    std::vector<std::string> argv;
    for (const auto& [name, value] : args_.Engine) {
        if (name == "-samprate") {
            double r = std::atof(value.c_str());
            if (r >= 1000 && r <= 192000) engineRate = static_cast<int32_t>(std::lround(r));
            continue;
        }
        argv.push_back(name);
        argv.push_back(value);  // file names, as the system spells them
        if (name == "-hmm" && !InstallFolder.empty() && NativePath(value).is_relative())
            argv.back() = CoreFileName(NativePath(Utf16ToCp1252(InstallFolder)) / NativePath(value));
    }
    argv.push_back("-samprate");
    argv.push_back(std::to_string(engineRate));
    const std::string voice = Utf16ToCp1252(AcousticModel);  // a file name: the system's bytes
    // A damaged trained voice is said so, and the installed model heard
    // instead: the engine would end the program on some damaged files.
    auto damaged = [&](const std::string& why) {
        Notice = Utf8ToCp1252("O treino de voz em ") + FileNameForDisplay(voice) + Utf8ToCp1252(" está danificado: ") +
                 why + Utf8ToCp1252(". O modelo instalado é usado; treine a voz de novo ou esqueça o treino.");
        log.Line("the voice's model is damaged; the installed model is used");
    };
    // Where the last "-hmm" is: its value is the model the engine loads.
    auto lastModel = [&argv]() -> size_t {
        for (size_t i = argv.size(); i-- > 0;)
            if (argv[i] == "-hmm" && i + 1 < argv.size()) return i;
        return argv.size();
    };
    if (!voice.empty()) {
        const size_t installed = lastModel();
        const std::string damage = installed == argv.size() ? std::string() : VoiceModelDamage(voice, argv[installed + 1]);
        if (!damage.empty()) {
            damaged(damage);
        } else {
            // The adapted model wins over the file's without the user's file
            // being touched; the last "-hmm" is the one the engine keeps.
            argv.push_back("-hmm");
            argv.push_back(voice);
            log.Line("acoustic model adapted to the voice: " + voice);
        }
    }
    if (!RawLogDir.empty()) {
        argv.push_back("-rawlogdir");
        argv.push_back(Utf16ToCp1252(RawLogDir));
    }
    // What the engine loads besides the files as written: alternate
    // pronunciations and the number + command pairs. On a big profile the
    // model's check and the alternates each take a good part of a second, so
    // the model's side runs on the other processor.
    std::future<TEngineFile> modelSide = std::async(std::launch::async, [this] {
        for (const auto& [name, value] : args_.Engine)
            if (name == "-lm") CheckArpaModel(value);
        return ModelForEngine(args_, NumberWords, CommandPhrases);
    });
    const std::string dictPath = EngineOption(args_, "-dict");
    std::string dictionary;
    TEngineFile dict;
    std::exception_ptr dictFailure;
    try {
        dictionary = IsReadableFile(dictPath) ? ReadFileBytes(dictPath) : std::string();
        dict = DictionaryForEngine(args_, dictionary);
    } catch (...) {
        dictFailure = std::current_exception();
    }
    // A damaged model is reported before anything of the dictionary.
    TEngineFile model = modelSide.get();
    if (dictFailure) std::rethrow_exception(dictFailure);
    for (const TEngineFile* f : {&dict, &model})
        if (!f->LogLine.empty()) log.Line(f->LogLine);
    for (size_t i = 0; i + 1 < argv.size(); ++i) {
        if (argv[i] == "-dict" && !dict.File.Path.empty()) argv[i + 1] = dict.File.Path;
        if (argv[i] == "-lm" && !model.File.Path.empty()) argv[i + 1] = model.File.Path;
    }

    auto start = [&] {
        std::vector<char*> cargv;
        for (auto& a : argv) cargv.push_back(a.data());
        log.ClearErrors();
        cmd_ln_t* config = cmd_ln_parse_r(nullptr, ps_args(), static_cast<int32>(cargv.size()), cargv.data(), FALSE);
        if (!config)
            throw TError(Utf8ToCp1252("Argumentos do reconhecedor inválidos em ") + FileNameForDisplay(argFile) + ": " +
                         EngineReason(Utf8ToCp1252("opção ou valor recusado")));
        ps_ = ps_init(config);
        cmd_ln_free_r(config);
    };
    start();
    if (!ps_ && !voice.empty() && Notice.empty()) {
        // Refused all the same: the adapted "-hmm" is the last two arguments.
        damaged(EngineReason(Utf8ToCp1252("o reconhecedor não o carregou")));
        const size_t adapted = lastModel();
        argv.erase(argv.begin() + static_cast<std::ptrdiff_t>(adapted), argv.begin() + static_cast<std::ptrdiff_t>(adapted) + 2);
        start();
    }
    if (!ps_)
        throw TError(Utf8ToCp1252("O reconhecedor recusou o modelo: ") +
                     EngineReason(Utf8ToCp1252("motivo não informado (veja ") + logFile + ")"));
    for (const auto& w : NumberWords) commandWords_.insert(WrittenForm(w));
    for (const auto& w : CommandPhrases) commandWords_.insert(WrittenForm(w));
    if (!args_.NoGrammarCheck) checker_.Load(argv, dictionary, NumberWords, CommandPhrases, kMaxGrammarCommands);

    rate_ = engineRate;
    captureRate_ = SamplesPerSecond > 0 ? SamplesPerSecond : engineRate;
    confThresh_ = ConfThreshPercentage;
    ignoreEmpty_ = IgnoreEmptyUtterance;
    partials_ = RequirePartialResult;
    partialInterval_ = std::max<int32_t>(1, PartialResultInterval);
    meanFile_ = Utf16ToCp1252(MeanFile);
    keepToLearn_ = KeepCommandsToLearnFrom;
    audioDevice_ = AudioSource.empty() ? args_.AudioDevice : AudioSource;
    audioFile_.clear();
    const std::string audio = AudioFile.empty() ? args_.AudioFile : AudioFile;
    if (!audio.empty()) {
        std::filesystem::path p = NativePath(audio);
        if (p.is_relative()) p = NativePath(argFile).parent_path() / p;
        audioFile_ = CoreFileName(p);
    }
    return 0;
}

std::string TSphinxControl::SourceName() const {
    return audioFile_.empty() ? "microphone " + audioDevice_ + " " + std::to_string(captureRate_) : "file " + audioFile_;
}

int32_t TSphinxControl::StartRecognizer() {
    if (!ps_) throw TError(Utf8ToCp1252("O reconhecedor não foi inicializado."));
    if (run_) return 0;
    std::unique_ptr<IAudioSource> source;
    if (!audioFile_.empty())
        source = std::make_unique<TWavFileSource>(audioFile_, rate_, args_.AudioRealTime);
    else
        source = OpenMicrophone(audioDevice_, captureRate_, rate_, Cancelled);

    TEngineLog::Instance().ClearErrors();
    StartFromLastMean();
    if (ps_start_utt(ps_) < 0)
        throw TError(Utf8ToCp1252("O reconhecedor não pôde começar: ") + EngineReason("erro do motor"));

    auto run = std::make_shared<TRun>();
    run->uttOpen = true;
    run_ = run;

    // Posted before the threads exist, so that it comes before their events.
    auto alive = run->alive;
    poster_.Post([this, alive] {
        if (*alive && OnStartListening) OnStartListening();
    });

    const int32_t chunk = std::max<int32_t>(1, rate_ * kChunkMs / 1000);
    std::thread([run, chunk, src = std::move(source)]() mutable {
        std::vector<int16_t> buffer(static_cast<size_t>(chunk));
        for (;;) {
            {
                std::lock_guard lock(run->mutex);
                if (run->stop) break;
            }
            int32_t n = src->Read(buffer.data(), chunk);
            std::lock_guard lock(run->mutex);
            run->sourceGone = n == kSourceGone;
            if (n < 0) run->sourceFailed = true;
            else if (n == 0) run->sourceEnded = true;
            else run->chunks.emplace_back(buffer.begin(), buffer.begin() + n);
            run->cv.notify_all();
            if (n <= 0) break;
        }
        src.reset();  // closes the microphone
        std::lock_guard lock(run->mutex);
        run->captureDone = true;
        run->cv.notify_all();
    }).detach();

    decoder_ = std::thread([this, run] { DecodeLoop(run); });

    return 0;
}

// One run's decoding: what the steps of the loop share (the decoding thread's own).
struct TSphinxControl::TDecoding {
    TDecoding(std::shared_ptr<TRun> r, ps_decoder_s* ps, int32_t rate)
        : run(std::move(r)), mean(ps), audio(rate, kRedecodeMaxSeconds), warmUpAt(rate / 2),
          atRunStart(mean.State()), c0AtStart(mean.C0()) {}

    std::shared_ptr<TRun> run;
    TCepstralMean mean;
    TNoiseFloor floor;
    TUtteranceAudio audio;
    // The speech detector knows nothing of the background when a run begins
    // and takes its first frames for speech: the run's first utterance began
    // with the silence before it, which lengthened its decoding and pulled its
    // cepstral mean down. Once it has heard this much, a run that is "in
    // speech" starts over with the mean and sums it began with, and the
    // detector, which keeps what it learned, hears the audio so far again.
    int64_t warmUpAt;
    bool warmedUp = false;
    TCepstralState atRunStart;
    double c0AtStart;  // the mean's loudness term when the utterance opened
    bool inSpeech = false;
    // The detector said "speech" and the owner has not been told yet: before
    // the detector has warmed up, the news waits for its verdict.
    bool newUtterancePending = false;
    int64_t samplesIn = 0;
    int32_t chunksInSpeech = 0;
};

void TSphinxControl::Post(const TDecoding& d, std::function<void(TSphinxControl&)> event) {
    poster_.Post([this, alive = d.run->alive, event = std::move(event)] {
        if (*alive) event(*this);
    });
}

void TSphinxControl::DecodeLoop(std::shared_ptr<TRun> run) {
    TDecoding d(run, ps_, rate_);
    for (;;) {
        TNextAudio next = WaitForAudio(*run);
        if (next.Stop) return;
        if (next.Chunk.empty()) {
            EndOfSource(d, next);
            return;
        }
        DecodeChunk(d, next.Chunk);
        bool inSpeech = ps_get_in_speech(ps_) != 0;
        if (!d.warmedUp && d.samplesIn >= d.warmUpAt) inSpeech = WarmUpDetector(d, inSpeech);
        if (inSpeech && !d.inSpeech) SpeechBegan(d);
        if (inSpeech) PostPartialResult(d);
        if (!inSpeech && d.inSpeech) {
            FinishUtterance(d);
            if (ps_start_utt(ps_) >= 0) run->uttOpen = true;
        }
        d.inSpeech = inSpeech;
    }
}

TSphinxControl::TNextAudio TSphinxControl::WaitForAudio(TRun& run) {
    TNextAudio next;
    std::unique_lock lock(run.mutex);
    run.cv.wait(lock, [&] { return run.stop || !run.chunks.empty() || run.sourceEnded || run.sourceFailed; });
    if (run.stop) {
        next.Stop = true;
    } else if (!run.chunks.empty()) {
        next.Chunk = std::move(run.chunks.front());
        run.chunks.pop_front();
    } else {
        next.Ended = run.sourceEnded;
        next.Failed = run.sourceFailed;
        next.Gone = run.sourceGone;
    }
    return next;
}

void TSphinxControl::DecodeChunk(TDecoding& d, std::vector<int16_t>& chunk) {
    d.floor.Apply(chunk);
    if (ps_process_raw(ps_, chunk.data(), chunk.size(), FALSE, FALSE) < 0)
        Post(d, [](TSphinxControl& c) {
            if (c.OnUtteranceError) c.OnUtteranceError(kUtteranceErrorDecode);
        });
    d.samplesIn += static_cast<int64_t>(chunk.size());
    d.audio.Add(chunk);
    if (d.inSpeech) checker_.Feed(chunk.data(), chunk.size());
}

bool TSphinxControl::WarmUpDetector(TDecoding& d, bool inSpeech) {
    d.warmedUp = true;
    if (inSpeech && d.audio.Whole() && !d.atRunStart.Empty()) {
        ps_end_utt(ps_);
        d.mean.Restore(d.atRunStart);
        d.run->uttOpen = false;
        if (ps_start_utt(ps_) >= 0) {
            d.run->uttOpen = true;
            ps_process_raw(ps_, d.audio.Samples().data(), d.audio.Samples().size(), FALSE, FALSE);
        }
        inSpeech = ps_get_in_speech(ps_) != 0;
        if (!inSpeech && d.inSpeech) {
            // Only silence so far: no utterance after all.
            checker_.Drop();
            d.inSpeech = false;
            d.newUtterancePending = false;
        } else if (inSpeech && d.inSpeech && confThresh_ > 0) {
            auto [audio, samples] = d.audio.GrammarSlice();
            checker_.Start(d.mean, audio, samples);
        }
    }
    AnnounceNewUtterance(d);
    return inSpeech;
}

void TSphinxControl::SpeechBegan(TDecoding& d) {
    d.audio.SpeechBegan();
    d.chunksInSpeech = 0;
    if (confThresh_ > 0 && d.audio.Whole()) {
        auto [audio, samples] = d.audio.GrammarSlice();
        checker_.Start(d.mean, audio, samples);
    }
    d.newUtterancePending = true;
    if (d.warmedUp) AnnounceNewUtterance(d);
}

void TSphinxControl::AnnounceNewUtterance(TDecoding& d) {
    if (d.newUtterancePending)
        Post(d, [](TSphinxControl& c) {
            if (c.OnNewUtterance) c.OnNewUtterance();
        });
    d.newUtterancePending = false;
}

void TSphinxControl::PostPartialResult(TDecoding& d) {
    if (!partials_ || d.newUtterancePending || ++d.chunksInSpeech % partialInterval_ != 0) return;
    const char* hyp = ps_get_hyp(ps_, nullptr);
    if (hyp && *hyp)
        Post(d, [partial = Cp1252ToUtf16(hyp)](TSphinxControl& c) {
            if (c.OnUtterancePartialResult) c.OnUtterancePartialResult(partial);
        });
}

void TSphinxControl::DecodeAgainIfMeanMoved(TDecoding& d) {
    if (!d.audio.Whole() || d.audio.Empty() || std::fabs(d.mean.C0() - d.c0AtStart) <= kCmnShift ||
        ps_start_utt(ps_) < 0)
        return;
    TEngineLog::Instance().Line("cepstral mean moved from " + std::to_string(d.c0AtStart) + " to " +
                                std::to_string(d.mean.C0()) + "; utterance decoded again");
    // The grammar hears it again with the new mean too, on the other
    // processor while the main decoder works: the two decoders share
    // nothing once the mean is copied.
    std::future<void> grammarAgain;
    if (confThresh_ > 0 && checker_.Begin(d.mean)) {
        auto [audio, samples] = d.audio.GrammarSlice();
        grammarAgain =
            std::async(std::launch::async, [this, audio = audio, samples = samples] { checker_.Feed(audio, samples); });
    }
    ps_process_raw(ps_, d.audio.Samples().data(), d.audio.Samples().size(), FALSE, FALSE);
    ps_end_utt(ps_);
    if (grammarAgain.valid()) grammarAgain.get();
}

void TSphinxControl::FinishUtterance(TDecoding& d) {
    ps_end_utt(ps_);
    d.run->uttOpen = false;
    DecodeAgainIfMeanMoved(d);
    d.c0AtStart = d.mean.C0();
    const char* hyp = ps_get_hyp(ps_, nullptr);
    const std::string text = hyp ? hyp : "";
    std::string grammarHeard;
    const TGrammarVerdict verdict = checker_.Finish(d.audio.Whole() ? text : std::string(), grammarHeard);

    TUtteranceScore s = ScoreResult(ps_, text, commandWords_);
    s.GrammarVerdict = verdict == TGrammarVerdict::Agrees ? 1 : verdict == TGrammarVerdict::Disagrees ? -1 : 0;
    s.GrammarHeard = Cp1252ToUtf16(grammarHeard);
    s.Accepted = AcceptResult(s, confThresh_);
    std::vector<int16_t> toLearnFrom;
    if (keepToLearn_ && d.audio.Whole() && WorthLearningFrom(s, confThresh_)) toLearnFrom = d.audio.Samples();
    d.audio.Clear();
    s.AudioEndSeconds = static_cast<double>(d.samplesIn) / rate_;
    if (!text.empty())
        TEngineLog::Instance().Line("heard \"" + text + "\" confidence " + std::to_string(s.Confidence) +
                                    (s.GrammarVerdict < 0 ? ", grammar heard \"" + grammarHeard + "\"" : "") +
                                    (s.Accepted ? ": accepted" : ": rejected"));
    PostUtterance(d, s, std::move(toLearnFrom));
}

void TSphinxControl::PostUtterance(TDecoding& d, const TUtteranceScore& s, std::vector<int16_t> toLearnFrom) {
    AnnounceNewUtterance(d);
    Post(d, [](TSphinxControl& c) {
        if (c.OnEndUtterance) c.OnEndUtterance();
    });
    if (s.Text.empty()) {
        if (!ignoreEmpty_)
            Post(d, [](TSphinxControl& c) {
                if (c.OnUtteranceResult) c.OnUtteranceResult(u"");
            });
    } else {
        Post(d, [s](TSphinxControl& c) {
            if (c.OnUtteranceScore) c.OnUtteranceScore(s);
        });
        if (!toLearnFrom.empty())
            Post(d, [s, audio = std::move(toLearnFrom), rate = rate_](TSphinxControl& c) {
                if (c.OnCommandToLearnFrom) c.OnCommandToLearnFrom(s, audio, rate);
            });
        if (s.Accepted)
            Post(d, [result = s.Text](TSphinxControl& c) {
                if (c.OnUtteranceResult) c.OnUtteranceResult(result);
            });
    }
    Post(d, [](TSphinxControl& c) {
        if (c.OnUtteranceDone) c.OnUtteranceDone();
    });
}

void TSphinxControl::EndOfSource(TDecoding& d, const TNextAudio& next) {
    // What was being said still counts.
    if (d.inSpeech) {
        FinishUtterance(d);
    } else {
        ps_end_utt(ps_);
        d.run->uttOpen = false;
    }
    if (next.Failed)
        Post(d, [gone = next.Gone](TSphinxControl& c) {
            if (c.OnUtteranceError) c.OnUtteranceError(gone ? kUtteranceErrorSourceGone : kUtteranceErrorAudio);
        });
    if (next.Ended || next.Failed)
        Post(d, [run = d.run](TSphinxControl& c) {
            run->stopAnnounced = true;
            if (c.OnStopListening) c.OnStopListening();
        });
}

void TSphinxControl::StartFromLastMean() {
    TCepstralMean mean(ps_);
    if (!mean.Present()) return;
    const std::string source = SourceName();
    if (lastMeanSource_ != source) {
        // The program's first run on this source: the mean its last run
        // ended with, when one was kept.
        lastMean_ = ReadSavedMean(meanFile_, source);
        lastMeanSource_ = source;
    }
    if (mean.SetMean(lastMean_))
        TEngineLog::Instance().Line("cepstral mean of the last run on this source: " + std::to_string(lastMean_[0]));
}

void TSphinxControl::KeepLastMean() {
    TCepstralMean mean(ps_);
    if (!mean.Present()) return;
    lastMean_ = mean.Mean();
    lastMeanSource_ = SourceName();
    if (meanFile_.empty()) return;
    try {
        WriteSavedMean(meanFile_, lastMeanSource_, lastMean_);
    } catch (const std::exception& e) {
        // Only the next run's first command is slower for it.
        TEngineLog::Instance().Line(std::string("the cepstral mean was not kept: ") + e.what());
    }
}

void TSphinxControl::Shutdown(bool notify) {
    if (!run_) return;
    std::shared_ptr<TRun> run = std::move(run_);
    *run->alive = false;
    {
        std::lock_guard lock(run->mutex);
        run->stop = true;
    }
    run->cv.notify_all();
    if (decoder_.joinable()) decoder_.join();
    KeepLastMean();
    {
        std::unique_lock lock(run->mutex);
        run->cv.wait_for(lock, kCaptureGrace, [&] { return run->captureDone; });
        if (!run->captureDone) TEngineLog::Instance().Line("audio source did not answer; capture left to end on its own");
    }
    if (run->uttOpen) ps_end_utt(ps_);  // the interrupted utterance is dropped
    checker_.Drop();
    if (notify && !run->stopAnnounced && OnStopListening) OnStopListening();
}

int32_t TSphinxControl::StopRecognizer() {
    Shutdown(true);
    return 0;
}

}  // namespace zel
