#pragma once
// The recognizer's argument file as the control reads it: one option a line,
// the option is the first blank-separated token and the value is the rest of
// the line (so paths with blanks survive). "-lmfn" and "-dictfn" are the
// program's names for the engine's "-lm" and "-dict". A handful of options
// are the control's own (the audio source); the others go to the engine,
// which refuses names it does not know, so those are dropped with a line in
// the log.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// The control's own options.
inline constexpr const char* kOptAudioFile = "-audiofile";          // WAV file instead of the microphone
inline constexpr const char* kOptAudioRealTime = "-audiorealtime";  // yes: read the file at speaking pace
inline constexpr const char* kOptAudioDevice = "-audiodev";         // audio server's source name
inline constexpr const char* kOptAlternates = "-alternates";        // pronunciation rules, or "none"
inline constexpr const char* kOptAlternatesMax = "-alternatesmax";  // alternates per word at most
inline constexpr const char* kOptGrammarCheck = "-grammarcheck";    // no: the confidence alone decides

struct TRecognizerArgs {
    // Engine options in file order, values as written (later lines of the same
    // name win inside the engine).
    std::vector<std::pair<std::string, std::string>> Engine;
    std::string AudioFile;
    bool AudioRealTime = false;
    std::string AudioDevice;
    std::string Alternates;      // as written; empty: the default rules
    int AlternatesMax = -1;      // -1: the default
    bool NoGrammarCheck = false;
    // Lines for the log: dropped options and why.
    std::vector<std::string> Notes;
};

// isEngineOption tells whether the engine knows a name. Blank lines and lines
// starting with "#" are comments. An option without a value is dropped with a
// note: the engine wants a value for every option.
TRecognizerArgs ParseRecognizerArgs(const std::vector<std::string>& lines,
                                    const std::function<bool(std::string_view)>& isEngineOption);

// "yes"/"no", "true"/"false", "1"/"0" as the engine reads its booleans.
bool ArgIsTrue(std::string_view value);

}  // namespace zel
