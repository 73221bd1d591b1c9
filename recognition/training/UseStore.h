#pragma once
// Learning from use: the commands a user says while listening, kept with what
// they said, so that the voice can be adapted without a training session.
// Only a command both decodings heard the same way, with a confidence well
// above the threshold, is kept: the risk is the program learning its own
// mistakes.
//
// They live in "gravacoes/uso/" of the runtime folder: each as "NNNNNN.wav"
// and "lista.tsv" naming each with its sentence, as `zelcmd train --prompts`
// reads it. At most kMaxKeptCommands of them and kMaxKeptBytes in all; the
// oldest go first.
#include <cstdint>
#include <string>
#include <vector>

#include "recognition/RecognizerControl.h"
#include "recognition/training/VoiceTraining.h"

namespace zel {

inline constexpr const char* kUseFolderName = "gravacoes/uso";
inline constexpr size_t kMaxKeptCommands = 300;
inline constexpr uint64_t kMaxKeptBytes = 32ull << 20;  // about 17 minutes of speech at 16 kHz
// How far above the threshold a command's confidence must be to be kept.
inline constexpr int32_t kLearningMargin = 20;

// Whether an accepted result is worth learning from: a command (no dictation)
// both decodings heard word for word, at least kLearningMargin above the
// threshold (which must be on: at 0 nothing is checked).
bool WorthLearningFrom(const TUtteranceScore& score, int32_t threshold);

class TUseStore {
public:
    // runtimeFolder ends in the separator. Keep and Forget raise when the
    // folder exists and is not the program's, and leave it as it is.
    explicit TUseStore(std::string runtimeFolder, size_t maxCount = kMaxKeptCommands, uint64_t maxBytes = kMaxKeptBytes);

    // Keeps one command; text: the result as the recognizer gave it.
    void Keep(const std::u16string& text, const std::vector<int16_t>& samples, int32_t rate);
    // What is kept, the oldest first.
    std::vector<TPrompt> Prompts() const;
    // Removes everything kept (the setting turned off); false when nothing was.
    bool Forget();
    // The voice's adaptation began with kept (what Prompts gave);
    // NotAdaptedCount counts those of kept that came after it.
    void MarkAdapted(const std::vector<TPrompt>& kept);
    size_t NotAdaptedCount(const std::vector<TPrompt>& kept) const;
    const std::string& Folder() const { return folder_; }

private:
    void RequireOwnFolder() const;
    std::string folder_;  // ends in the separator
    size_t maxCount_;
    uint64_t maxBytes_;
};

// The setting "Aprender com o uso", on unless config.ini's "aprenderuso"
// is 0; applied to a switch-on by ApplyLearningFromUse (UseAdaptation.h).
inline constexpr const char* kLearnFromUseKey = "aprenderuso";

}  // namespace zel
