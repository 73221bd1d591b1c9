#include "recognition/decoding/GrammarChecker.h"

#include <pocketsphinx.h>

#include "langmodel/WrittenForm.h"
#include "platform/SystemFiles.h"
#include "recognition/DictionaryAlternates.h"
#include "recognition/decoding/CepstralMean.h"
#include "recognition/decoding/EngineLog.h"
#include "recognition/decoding/TemporaryFile.h"

namespace zel {

TGrammarChecker::~TGrammarChecker() { Release(); }

void TGrammarChecker::Release() {
    if (ps_) ps_free(ps_);
    ps_ = nullptr;
    open_ = false;
    words_.clear();
    numbers_.clear();
}

void TGrammarChecker::Load(const std::vector<std::string>& engineArgv, const std::string& dictionary,
                           const std::vector<std::string>& numberWords, const std::vector<std::string>& commandPhrases,
                           size_t maxCommands) {
    Release();
    if (commandPhrases.empty() || commandPhrases.size() > maxCommands) return;
    // Only words the dictionary has can stand in the grammar.
    const std::unordered_set<std::string> known = DictionaryWords(dictionary);
    std::vector<std::string> numbers, commands;
    for (const auto& w : numberWords)
        if (known.count(WrittenForm(w))) numbers.push_back(WrittenForm(w));
    for (const auto& w : commandPhrases)
        if (known.count(WrittenForm(w))) commands.push_back(WrittenForm(w));
    if (commands.empty()) return;
    TTemporaryFile grammar = TTemporaryFile::Holding(CommandGrammar(numbers, commands));
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
        ps_ = ps_init(config);
        cmd_ln_free_r(config);
    }
    TEngineLog::Instance().ClearErrors();
    if (!ps_) {
        TEngineLog::Instance().Line("the command grammar was refused; results are not checked against it");
        return;
    }
    words_.insert(numbers.begin(), numbers.end());
    words_.insert(commands.begin(), commands.end());
    numbers_.insert(numbers.begin(), numbers.end());
    for (const auto& w : commands) numbers_.erase(w);
    TEngineLog::Instance().Line("command grammar: " + std::to_string(commands.size()) + " commands, " +
                                std::to_string(numbers.size()) + " number words");
}

bool TGrammarChecker::Begin(const TCepstralMean& mainMean) {
    Drop();
    if (!ps_) return false;
    // The checker listens with the cepstral mean the main decoder has learned.
    TCepstralMean mine(ps_);
    if (mainMean.Present()) mine.SetMean(mainMean.Mean());
    if (ps_start_utt(ps_) < 0) return false;
    open_ = true;
    return true;
}

bool TGrammarChecker::Start(const TCepstralMean& mainMean, const int16_t* audio, size_t samples) {
    if (!Begin(mainMean)) return false;
    Feed(audio, samples);
    return true;
}

void TGrammarChecker::Feed(const int16_t* audio, size_t samples) {
    if (open_ && samples > 0) ps_process_raw(ps_, audio, samples, FALSE, FALSE);
}

void TGrammarChecker::Drop() {
    if (open_) ps_end_utt(ps_);
    open_ = false;
}

TGrammarVerdict TGrammarChecker::Finish(const std::string& hypothesis, std::string& heard) {
    if (!open_) return TGrammarVerdict::NotChecked;
    Drop();
    if (hypothesis.empty()) return TGrammarVerdict::NotChecked;
    const std::vector<std::string> words = ResultWords(hypothesis);
    for (const auto& w : words)
        if (!words_.count(w)) return TGrammarVerdict::NotChecked;  // dictation: not the grammar's business
    const char* hyp = ps_get_hyp(ps_, nullptr);
    heard = hyp ? hyp : "";
    return CompareDecodings(words, ResultWords(heard), numbers_);
}

}  // namespace zel
