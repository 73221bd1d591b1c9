#pragma once
// The second decoder: it hears each utterance that may be a command over the
// profile's command grammar (GrammarCheck.h), beside the main decoder, chunk
// by chunk, so that little of it is left when the speech ends. It is begun at
// the start of speech with the audio before it, fed every chunk after, and
// finished with the main decoder's result.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "recognition/GrammarCheck.h"

struct ps_decoder_s;

namespace zel {

class TCepstralMean;

class TGrammarChecker {
public:
    TGrammarChecker() = default;
    ~TGrammarChecker();
    TGrammarChecker(const TGrammarChecker&) = delete;
    TGrammarChecker& operator=(const TGrammarChecker&) = delete;

    // engineArgv: the main decoder's options (name, value pairs); dictionary:
    // its text; numbers and commands: core text. Without a command the
    // dictionary knows, or with more than maxCommands, there is no checker.
    void Load(const std::vector<std::string>& engineArgv, const std::string& dictionary,
              const std::vector<std::string>& numbers, const std::vector<std::string>& commands, size_t maxCommands);
    void Release();
    bool Loaded() const { return ps_ != nullptr; }

    // A new utterance with the main decoder's cepstral mean, nothing fed;
    // false when there is no checker or it could not begin.
    bool Begin(const TCepstralMean& mainMean);
    // Begin, then the audio heard so far.
    bool Start(const TCepstralMean& mainMean, const int16_t* audio, size_t samples);
    void Feed(const int16_t* audio, size_t samples);
    // Ends the open utterance unheard.
    void Drop();
    // hypothesis: the main decoder's. heard: what the grammar decoding heard.
    TGrammarVerdict Finish(const std::string& hypothesis, std::string& heard);

private:
    ps_decoder_s* ps_ = nullptr;
    bool open_ = false;
    std::unordered_set<std::string> words_;    // written forms
    std::unordered_set<std::string> numbers_;  // the number words that are no command
};

}  // namespace zel
