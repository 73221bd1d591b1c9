#include "recognition/SphinxControl.h"

#include <pocketsphinx.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/err.h>
#include <sphinxbase/feat.h>

#include <algorithm>
#include <future>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <exception>
#include <map>
#include <filesystem>
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
static_assert(std::is_same_v<mfcc_t, float>, "the engine's cepstra are kept as float");
// Cepstral mean normalisation: the engine subtracts a running mean of the
// cepstrum, which starts at the acoustic model's value and is updated at the
// end of each utterance. The model's starting loudness term (c0 = 41) lies far
// from what a microphone or a recording gives (54 for the test recordings), so
// the first utterance of a run was decoded against a wrong mean: "abrir" as
// "anterior" for four voices of six. When the mean moved more than this
// during an utterance, the utterance is decoded again with the updated mean.
// A switch-on after the first starts from the mean the last run on the same
// source ended with, so only the first after the program starts pays for it.
constexpr double kCmnShift = 2.0;
// Digital silence (files, capture paths with a noise gate) gets a faint floor
// of white noise (peak ~0.3% of full scale) before the engine: a microphone
// always has one, and without it the engine's speech detector and noise
// tracking go wrong between words (70.7% of the test commands against 84.6%
// with the floor; the engine's own dither, one step of the last bit, is too
// small to help). The floor goes on for the rest of the run at the first 20 ms
// that are silent to within a few steps (it must be continuous: added only to
// the silent stretches it helped much less, 75.6%), so audio with a noise of
// its own, like a microphone's, reaches the engine untouched.
constexpr int32_t kFloorPeak = 98;
constexpr int32_t kSilentPeak = 4;
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

// The engine logs through one process-wide callback. It goes to the control's
// log file; errors are also kept so that a refusal can say why.
class TEngineLog {
public:
    static TEngineLog& Instance() {
        static TEngineLog log;
        return log;
    }

    void Open(const std::string& fileName) {
        std::lock_guard lock(mutex_);
        CloseLocked();
        // The log is ours: a link put in its place is replaced by the log,
        // never followed (its target would be overwritten with the engine's output).
        if (!fileName.empty()) file_ = OpenOwnFile(fileName, false);
        // Line by line, so that the log can be followed while listening and
        // never ends in the middle of a line.
        if (file_) std::setvbuf(file_, nullptr, _IOLBF, 0);
        errors_.clear();
        // The engine prints its configuration straight to the log stream.
        err_set_logfp(file_);
        err_set_callback(&TEngineLog::Callback, this);
    }
    void Close() {
        std::lock_guard lock(mutex_);
        CloseLocked();
    }
    void Line(const std::string& text) {
        std::lock_guard lock(mutex_);
        if (file_) {
            std::fprintf(file_, "ZEL: %s\n", text.c_str());
            std::fflush(file_);
        }
    }
    void ClearErrors() {
        std::lock_guard lock(mutex_);
        errors_.clear();
    }
    // The engine's error lines since the last clear, without their source
    // position, joined by "; ".
    std::string Errors() {
        std::lock_guard lock(mutex_);
        std::string all;
        for (const auto& e : errors_) {
            if (!all.empty()) all += "; ";
            all += e;
        }
        return all;
    }

private:
    TEngineLog() { err_set_callback(&TEngineLog::Callback, this); }
    void CloseLocked() {
        err_set_logfp(nullptr);
        if (file_) std::fclose(file_);
        file_ = nullptr;
    }

    static void Callback(void* self, err_lvl_t level, const char* fmt, ...) {
        char text[2048];
        va_list ap;
        va_start(ap, fmt);
        std::vsnprintf(text, sizeof text, fmt, ap);
        va_end(ap);
        static_cast<TEngineLog*>(self)->Add(level, text);
    }
    void Add(err_lvl_t level, const char* text) {
        std::lock_guard lock(mutex_);
        if (file_) {
            std::fputs(text, file_);
            if (level >= ERR_WARN) std::fflush(file_);
        }
        if (level >= ERR_ERROR) {
            std::string e(text);
            while (!e.empty() && (e.back() == '\n' || e.back() == '\r')) e.pop_back();
            // "ERROR: "file.c", line 12: reason" → "reason"
            size_t at = e.find(", line ");
            if (at != std::string::npos) {
                size_t colon = e.find(": ", at);
                if (colon != std::string::npos) e = e.substr(colon + 2);
            }
            // The engine says the same thing at every attempt: once is enough.
            if (errors_.size() < 8 && !e.empty() && std::find(errors_.begin(), errors_.end(), e) == errors_.end())
                errors_.push_back(e);
        }
    }

    std::mutex mutex_;
    std::FILE* file_ = nullptr;
    std::vector<std::string> errors_;
};

// The engine's reason (its own words, ASCII) or our fallback (core text).
std::string Reason(const std::string& fallback) {
    std::string e = TEngineLog::Instance().Errors();
    return e.empty() ? fallback : Utf8ToCp1252(e);
}

bool IsFiller(const char* word) {
    return !word || word[0] == '<' || word[0] == '[' || (word[0] == '+' && word[1] == '+');
}

// A file that lives while the engine loads it.
struct TTempFile {
    std::string Path;  // UTF-8, as the engine takes it; empty: none
    TTempFile() = default;
    TTempFile(TTempFile&& o) noexcept : Path(std::move(o.Path)) { o.Path.clear(); }
    TTempFile& operator=(TTempFile&& o) noexcept {
        if (this != &o) {
            Remove();
            Path = std::move(o.Path);
            o.Path.clear();
        }
        return *this;
    }
    ~TTempFile() { Remove(); }
    void Remove() {
        std::error_code ec;
        if (!Path.empty()) std::filesystem::remove(NativePath(Path), ec);
        Path.clear();
    }
};

// text in a new file of the temporary folder; none when it cannot be written.
TTempFile WriteTempFile(const std::string& text) {
    TTempFile out;
    out.Path = WriteTemporaryFile(text);
    return out;
}

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
    TTempFile File;
    std::string LogLine;
};

// The argument file's dictionary (its text; empty when it cannot be read,
// which the engine then reports) with the pronunciation alternates of its
// generated words; none when there is nothing to add.
TEngineFile DictionaryForEngine(const TRecognizerArgs& args, const std::string& dictionary) {
    std::vector<std::string> rules = AlternateRulesFromArg(args.Alternates);
    if (rules.empty() || dictionary.empty()) return {};
    // A dictionary of tens of thousands of words would about triple in the
    // engine, and its loading with it (a second of a 100,000-command
    // switch-on), for a vocabulary where one pronunciation more decides little.
    const size_t words = static_cast<size_t>(std::count(dictionary.begin(), dictionary.end(), '\n'));
    if (words > kMaxWordsWithAlternates)
        return {{}, "alternate pronunciations left out: the dictionary has " + std::to_string(words) +
                        " words, more than " + std::to_string(kMaxWordsWithAlternates)};
    const size_t most = args.AlternatesMax >= 0 ? static_cast<size_t>(args.AlternatesMax) : kMaxAlternates;
    TDictionaryAlternates alt = DictionaryWithAlternates(dictionary, rules, most);
    if (alt.Added == 0) return {};
    return {WriteTempFile(alt.Text),
            std::to_string(alt.Added) + " alternate pronunciations for " + std::to_string(alt.Words) + " words"};
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
    return {WriteTempFile(pairs.Model), std::to_string(pairs.Added) + " number + command bigrams added to the model"};
}

// The decoder's cepstral mean normalisation; null when it keeps none.
cmn_t* CepstralMeanOf(ps_decoder_s* ps) {
    feat_t* feat = ps ? ps_get_feat(ps) : nullptr;
    cmn_t* cmn = feat ? feat->cmn_struct : nullptr;
    return cmn && cmn->cmn_mean && cmn->sum ? cmn : nullptr;
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
    if (checker_) ps_free(checker_);
    checker_ = nullptr;
    checkerOpen_ = false;
    grammarWords_.clear();
    commandWords_.clear();
}

void TSphinxControl::InitChecker(const std::vector<std::string>& engineArgv, const std::string& dictionary) {
    if (CommandPhrases.empty() || CommandPhrases.size() > kMaxGrammarCommands) return;
    // Only words the dictionary has can stand in the grammar.
    const std::unordered_set<std::string> known = DictionaryWords(dictionary);
    std::vector<std::string> numbers, commands;
    for (const auto& w : NumberWords)
        if (known.count(WrittenForm(w))) numbers.push_back(WrittenForm(w));
    for (const auto& w : CommandPhrases)
        if (known.count(WrittenForm(w))) commands.push_back(WrittenForm(w));
    if (commands.empty()) return;
    TTempFile grammar = WriteTempFile(CommandGrammar(numbers, commands));
    if (grammar.Path.empty()) return;
    std::vector<std::string> argv;
    for (size_t i = 0; i + 1 < engineArgv.size(); i += 2)
        if (engineArgv[i] != "-lm" && engineArgv[i] != "-jsgf" && engineArgv[i] != "-kws" && engineArgv[i] != "-fsg" &&
            engineArgv[i] != "-lmctl" && engineArgv[i] != "-keyphrase")
            argv.insert(argv.end(), {engineArgv[i], engineArgv[i + 1]});
    // The checker hears a short slice around the speech: a speech detector of
    // its own, which has not learned the room's noise there, cut the first
    // sound of words ("salvar" heard as "tocar"), and its dither made the
    // verdict on such a word change from run to run. It decodes every frame,
    // without dither (the slice has the noise floor already).
    argv.insert(argv.end(), {"-fsg", grammar.Path, "-dither", "no", "-remove_silence", "no"});
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cmd_ln_t* config = cmd_ln_parse_r(nullptr, ps_args(), static_cast<int32>(cargv.size()), cargv.data(), FALSE);
    if (config) {
        checker_ = ps_init(config);
        cmd_ln_free_r(config);
    }
    TEngineLog::Instance().ClearErrors();
    if (!checker_) {
        TEngineLog::Instance().Line("the command grammar was refused; results are not checked against it");
        return;
    }
    grammarWords_.insert(numbers.begin(), numbers.end());
    grammarWords_.insert(commands.begin(), commands.end());
    TEngineLog::Instance().Line("command grammar: " + std::to_string(commands.size()) + " commands, " +
                                std::to_string(numbers.size()) + " number words");
}

bool TSphinxControl::StartGrammarCheck(const int16_t* audio, size_t samples) {
    if (!BeginGrammarCheck()) return false;
    FeedGrammarCheck(audio, samples);
    return true;
}

bool TSphinxControl::BeginGrammarCheck() {
    if (checkerOpen_) ps_end_utt(checker_);
    checkerOpen_ = false;
    if (!checker_) return false;
    // The checker listens with the cepstral mean the main decoder has learned.
    const cmn_t* main = CepstralMeanOf(ps_);
    cmn_t* mine = CepstralMeanOf(checker_);
    if (main && mine && main->veclen == mine->veclen)
        std::copy(main->cmn_mean, main->cmn_mean + main->veclen, mine->cmn_mean);
    if (ps_start_utt(checker_) < 0) return false;
    checkerOpen_ = true;
    return true;
}

void TSphinxControl::FeedGrammarCheck(const int16_t* audio, size_t samples) {
    if (checkerOpen_ && samples > 0) ps_process_raw(checker_, audio, samples, FALSE, FALSE);
}

int32_t TSphinxControl::FinishGrammarCheck(const std::string& hypothesis, std::string& heard) {
    if (!checkerOpen_) return 0;
    checkerOpen_ = false;
    ps_end_utt(checker_);
    if (hypothesis.empty()) return 0;
    std::vector<std::string> words = ResultWords(hypothesis);
    for (const auto& w : words)
        if (!grammarWords_.count(w)) return 0;  // dictation: not the grammar's business
    const char* hyp = ps_get_hyp(checker_, nullptr);
    heard = hyp ? hyp : "";
    return ResultWords(heard) == words ? 1 : -1;
}

int32_t TSphinxControl::ConfidenceFromAcousticPerFrame(double lnPerFrame) {
    // Confidence is the acoustic score per frame of the worst-matching word of
    // the hypothesis (fillers left out). Of the measures the engine offers it
    // separated best, on spoken commands with a noise floor: right results
    // from wrong ones (area under the curve 0.85, against 0.80 for the lowest
    // word posterior and about 0.6 for the utterance posterior) and right
    // commands from ordinary speech forced onto the command words (0.98).
    // Right commands score about -3.5 natural-log units per frame (median),
    // 95% of them above -5.4; ordinary speech stays below -5.4. The scale
    // puts -7.5 at 0 and -3.5 at 100, linearly, so that the settings' default
    // threshold of 50 falls at -5.5.
    double c = (lnPerFrame + 7.5) / 4.0 * 100.0;
    return static_cast<int32_t>(std::lround(std::clamp(c, 0.0, 100.0)));
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
                         Reason(Utf8ToCp1252("opção ou valor recusado")));
        ps_ = ps_init(config);
        cmd_ln_free_r(config);
    };
    start();
    if (!ps_ && !voice.empty() && Notice.empty()) {
        // Refused all the same: the adapted "-hmm" is the last two arguments.
        damaged(Reason(Utf8ToCp1252("o reconhecedor não o carregou")));
        const size_t adapted = lastModel();
        argv.erase(argv.begin() + static_cast<std::ptrdiff_t>(adapted), argv.begin() + static_cast<std::ptrdiff_t>(adapted) + 2);
        start();
    }
    if (!ps_)
        throw TError(Utf8ToCp1252("O reconhecedor recusou o modelo: ") +
                     Reason(Utf8ToCp1252("motivo não informado (veja ") + logFile + ")"));
    for (const auto& w : NumberWords) commandWords_.insert(WrittenForm(w));
    for (const auto& w : CommandPhrases) commandWords_.insert(WrittenForm(w));
    if (!args_.NoGrammarCheck) InitChecker(argv, dictionary);

    rate_ = engineRate;
    captureRate_ = SamplesPerSecond > 0 ? SamplesPerSecond : engineRate;
    confThresh_ = ConfThreshPercentage;
    ignoreEmpty_ = IgnoreEmptyUtterance;
    partials_ = RequirePartialResult;
    partialInterval_ = std::max<int32_t>(1, PartialResultInterval);
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
    if (cmn_t* cmn = CepstralMeanOf(ps_);
        cmn && lastMeanSource_ == SourceName() && lastMean_.size() == static_cast<size_t>(cmn->veclen)) {
        std::copy(lastMean_.begin(), lastMean_.end(), cmn->cmn_mean);
        TEngineLog::Instance().Line("cepstral mean of the last run on this source: " + std::to_string(lastMean_[0]));
    }
    if (ps_start_utt(ps_) < 0)
        throw TError(Utf8ToCp1252("O reconhecedor não pôde começar: ") + Reason("erro do motor"));

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

void TSphinxControl::DecodeLoop(std::shared_ptr<TRun> run) {
    auto alive = run->alive;
    auto post = [this, alive](std::function<void(TSphinxControl&)> event) {
        poster_.Post([this, alive, event = std::move(event)] {
            if (*alive) event(*this);
        });
    };

    logmath_t* lmath = ps_get_logmath(ps_);
    cmn_t* cmn = CepstralMeanOf(ps_);
    auto cmnC0 = [cmn]() -> double { return cmn ? static_cast<double>(cmn->cmn_mean[0]) : 0.0; };
    double c0AtStart = cmnC0();
    // The engine's speech detector knows nothing of the background when a run
    // begins and takes its first frames for speech: the run's first utterance
    // began with the silence before it, which lengthened its decoding and
    // pulled its cepstral mean down. Once it has heard this much, the run
    // starts over with the mean and the sums it began with, and the detector,
    // which keeps what it learned, hears the audio so far again.
    const int64_t detectorWarmUp = rate_ / 2;
    bool warmedUp = false;
    // The detector said "speech", and the owner has not been told yet: before
    // the detector has warmed up, the news waits for its verdict.
    bool newUtterancePending = false;
    auto announceNewUtterance = [&] {
        if (newUtterancePending)
            post([](TSphinxControl& c) {
                if (c.OnNewUtterance) c.OnNewUtterance();
            });
        newUtterancePending = false;
    };
    std::vector<mfcc_t> meanAtRunStart, sumAtRunStart;
    int32 framesAtRunStart = 0;
    if (cmn) {
        meanAtRunStart.assign(cmn->cmn_mean, cmn->cmn_mean + cmn->veclen);
        sumAtRunStart.assign(cmn->sum, cmn->sum + cmn->veclen);
        framesAtRunStart = cmn->nframe;
    }
    std::vector<int16_t> uttAudio;  // the open utterance's audio, for a second decoding
    bool uttAudioWhole = true;
    size_t speechStart = 0;  // where the speech begins in uttAudio
    uint32_t floorState = 12345;
    bool floorOn = false;
    bool inSpeech = false;
    int64_t samplesIn = 0;
    int32_t chunksInSpeech = 0;

    // The detector says "speech" some frames after it began; the grammar
    // hears a little of the silence before the speech.
    const size_t detectorLag = static_cast<size_t>(rate_ / 4);
    const size_t grammarLeadIn = static_cast<size_t>(rate_ / 2);
    // The slice of the utterance the grammar hears.
    auto grammarSlice = [&]() -> std::pair<const int16_t*, size_t> {
        size_t from = speechStart - std::min(speechStart, grammarLeadIn);
        return {uttAudio.data() + from, uttAudio.size() - from};
    };
    auto finish = [&] {
        ps_end_utt(ps_);
        run->uttOpen = false;
        if (uttAudioWhole && !uttAudio.empty() && std::fabs(cmnC0() - c0AtStart) > kCmnShift &&
            ps_start_utt(ps_) >= 0) {
            TEngineLog::Instance().Line("cepstral mean moved from " + std::to_string(c0AtStart) + " to " +
                                        std::to_string(cmnC0()) + "; utterance decoded again");
            // The grammar hears it again with the new mean too, on the other
            // processor while the main decoder works: the two decoders share
            // nothing once the mean is copied.
            std::future<void> grammarAgain;
            if (confThresh_ > 0 && BeginGrammarCheck()) {
                auto [audio, samples] = grammarSlice();
                grammarAgain = std::async(std::launch::async,
                                          [this, audio, samples] { FeedGrammarCheck(audio, samples); });
            }
            ps_process_raw(ps_, uttAudio.data(), uttAudio.size(), FALSE, FALSE);
            ps_end_utt(ps_);
            if (grammarAgain.valid()) grammarAgain.get();
        }
        c0AtStart = cmnC0();
        int32 score = 0;
        const char* hyp = ps_get_hyp(ps_, &score);
        std::string text = hyp ? hyp : "";
        std::string grammarHeard;
        int32_t verdict = FinishGrammarCheck(uttAudioWhole ? text : std::string(), grammarHeard);
        uttAudio.clear();
        uttAudioWhole = true;
        speechStart = 0;
        // The worst word's acoustic score per frame.
        double worst = 0, minPost = 0;
        double totalAscr = 0;
        int totalFrames = 0, words = 0;
        bool any = false;
        for (ps_seg_t* seg = ps_seg_iter(ps_); seg; seg = ps_seg_next(seg)) {
            const char* word = ps_seg_word(seg);
            if (IsFiller(word)) continue;
            int sf = 0, ef = 0;
            ps_seg_frames(seg, &sf, &ef);
            int32 ascr = 0, lscr = 0, lback = 0;
            int32 post = ps_seg_prob(seg, &ascr, &lscr, &lback);
            double perFrame = logmath_log_to_ln(lmath, ascr) / std::max(1, ef - sf + 1);
            double postLn = logmath_log_to_ln(lmath, post);
            if (!any || perFrame < worst) worst = perFrame;
            if (!any || postLn < minPost) minPost = postLn;
            totalAscr += logmath_log_to_ln(lmath, ascr);
            totalFrames += std::max(1, ef - sf + 1);
            ++words;
            any = true;
        }
        TUtteranceScore s;
        s.Text = Cp1252ToUtf16(text);
        s.AcousticPerFrame = worst;
        s.MeanAcousticPerFrame = totalFrames ? totalAscr / totalFrames : 0;
        s.MinWordPosterior = minPost;
        s.Words = words;
        s.Confidence = any ? ConfidenceFromAcousticPerFrame(worst) : 0;
        s.GrammarVerdict = verdict;
        for (const std::string& w : ResultWords(text)) s.Dictation |= !commandWords_.count(w);
        // The panel and the history show the measure that decided.
        if (s.Dictation) s.Confidence = DictationConfidence(s);
        s.Accepted = AcceptResult(s, confThresh_);
        if (!text.empty())
            TEngineLog::Instance().Line("heard \"" + text + "\" confidence " + std::to_string(s.Confidence) +
                                        (verdict < 0 ? ", grammar heard \"" + grammarHeard + "\"" : "") +
                                        (s.Accepted ? ": accepted" : ": rejected"));
        s.AudioEndSeconds = static_cast<double>(samplesIn) / rate_;
        announceNewUtterance();
        post([](TSphinxControl& c) {
            if (c.OnEndUtterance) c.OnEndUtterance();
        });
        auto done = [&] {
            post([](TSphinxControl& c) {
                if (c.OnUtteranceDone) c.OnUtteranceDone();
            });
        };
        if (text.empty()) {
            if (!ignoreEmpty_)
                post([](TSphinxControl& c) {
                    if (c.OnUtteranceResult) c.OnUtteranceResult(u"");
                });
            done();
            return;
        }
        post([s](TSphinxControl& c) {
            if (c.OnUtteranceScore) c.OnUtteranceScore(s);
        });
        if (s.Accepted)
            post([result = s.Text](TSphinxControl& c) {
                if (c.OnUtteranceResult) c.OnUtteranceResult(result);
            });
        done();
    };

    for (;;) {
        std::vector<int16_t> chunk;
        bool ended = false, failed = false, gone = false;
        {
            std::unique_lock lock(run->mutex);
            run->cv.wait(lock, [&] {
                return run->stop || !run->chunks.empty() || run->sourceEnded || run->sourceFailed;
            });
            if (run->stop) return;
            if (!run->chunks.empty()) {
                chunk = std::move(run->chunks.front());
                run->chunks.pop_front();
            } else {
                ended = run->sourceEnded;
                failed = run->sourceFailed;
                gone = run->sourceGone;
            }
        }
        if (!chunk.empty()) {
            int32_t peak = 0;
            for (int16_t v : chunk) peak = std::max(peak, std::abs(static_cast<int32_t>(v)));
            if (peak <= kSilentPeak) floorOn = true;
            if (floorOn)
                for (auto& v : chunk) {
                    floorState = floorState * 1664525u + 1013904223u;
                    int32_t n = static_cast<int32_t>(floorState >> 16) % (2 * kFloorPeak + 1) - kFloorPeak;
                    v = static_cast<int16_t>(std::clamp<int32_t>(v + n, -32768, 32767));
                }
            if (ps_process_raw(ps_, chunk.data(), chunk.size(), FALSE, FALSE) < 0) {
                post([](TSphinxControl& c) {
                    if (c.OnUtteranceError) c.OnUtteranceError(kUtteranceErrorDecode);
                });
            }
            samplesIn += static_cast<int64_t>(chunk.size());
            if (uttAudioWhole) {
                if (static_cast<int64_t>(uttAudio.size()) + static_cast<int64_t>(chunk.size()) >
                    kRedecodeMaxSeconds * rate_) {
                    uttAudio.clear();
                    uttAudio.shrink_to_fit();
                    uttAudioWhole = false;
                } else {
                    uttAudio.insert(uttAudio.end(), chunk.begin(), chunk.end());
                }
            }
            if (inSpeech) FeedGrammarCheck(chunk.data(), chunk.size());
            bool now = ps_get_in_speech(ps_) != 0;
            if (!warmedUp && samplesIn >= detectorWarmUp) {
                warmedUp = true;
                if (now && uttAudioWhole && !meanAtRunStart.empty()) {
                    ps_end_utt(ps_);
                    std::copy(meanAtRunStart.begin(), meanAtRunStart.end(), cmn->cmn_mean);
                    std::copy(sumAtRunStart.begin(), sumAtRunStart.end(), cmn->sum);
                    cmn->nframe = framesAtRunStart;
                    run->uttOpen = false;
                    if (ps_start_utt(ps_) >= 0) {
                        run->uttOpen = true;
                        ps_process_raw(ps_, uttAudio.data(), uttAudio.size(), FALSE, FALSE);
                    }
                    now = ps_get_in_speech(ps_) != 0;
                    if (!now && inSpeech) {
                        // Only silence so far: no utterance after all.
                        if (checkerOpen_) ps_end_utt(checker_);
                        checkerOpen_ = false;
                        inSpeech = false;
                        newUtterancePending = false;
                    } else if (now && inSpeech && confThresh_ > 0) {
                        auto [audio, samples] = grammarSlice();
                        StartGrammarCheck(audio, samples);
                    }
                }
                announceNewUtterance();
            }
            if (now && !inSpeech) {
                // The silence before the speech is not kept for a second
                // decoding beyond what the grammar hears: the second
                // decoding is what the user waits for after the run's first
                // utterance.
                const size_t lead = detectorLag + grammarLeadIn;
                if (uttAudio.size() > lead) uttAudio.erase(uttAudio.begin(), uttAudio.end() - lead);
                speechStart = uttAudio.size() > detectorLag ? uttAudio.size() - detectorLag : 0;
                chunksInSpeech = 0;
                if (confThresh_ > 0 && uttAudioWhole) {
                    auto [audio, samples] = grammarSlice();
                    StartGrammarCheck(audio, samples);
                }
                newUtterancePending = true;
                if (warmedUp) announceNewUtterance();
            }
            if (now && partials_ && !newUtterancePending && ++chunksInSpeech % partialInterval_ == 0) {
                const char* hyp = ps_get_hyp(ps_, nullptr);
                if (hyp && *hyp)
                    post([partial = Cp1252ToUtf16(hyp)](TSphinxControl& c) {
                        if (c.OnUtterancePartialResult) c.OnUtterancePartialResult(partial);
                    });
            }
            if (!now && inSpeech) {
                finish();
                if (ps_start_utt(ps_) >= 0) run->uttOpen = true;
            }
            inSpeech = now;
            continue;
        }
        // The source is over: what was being said still counts.
        if (inSpeech) {
            finish();
        } else {
            ps_end_utt(ps_);
            run->uttOpen = false;
        }
        if (failed)
            post([gone](TSphinxControl& c) {
                if (c.OnUtteranceError) c.OnUtteranceError(gone ? kUtteranceErrorSourceGone : kUtteranceErrorAudio);
            });
        if (ended || failed)
            post([run](TSphinxControl& c) {
                run->stopAnnounced = true;
                if (c.OnStopListening) c.OnStopListening();
            });
        return;
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
    if (const cmn_t* cmn = CepstralMeanOf(ps_)) {
        lastMean_.assign(cmn->cmn_mean, cmn->cmn_mean + cmn->veclen);
        lastMeanSource_ = SourceName();
    }
    {
        std::unique_lock lock(run->mutex);
        run->cv.wait_for(lock, kCaptureGrace, [&] { return run->captureDone; });
        if (!run->captureDone) TEngineLog::Instance().Line("audio source did not answer; capture left to end on its own");
    }
    if (run->uttOpen) ps_end_utt(ps_);  // the interrupted utterance is dropped
    if (checkerOpen_) ps_end_utt(checker_);
    checkerOpen_ = false;
    if (notify && !run->stopAnnounced && OnStopListening) OnStopListening();
}

int32_t TSphinxControl::StopRecognizer() {
    Shutdown(true);
    return 0;
}

}  // namespace zel
