#pragma once
// The voice adapted in the background from the commands kept while listening
// (UseStore.h). Once enough new commands are kept, a thread of its own trains
// the voice on them, and on the training session's takes when there are
// some, as `zelcmd train --from-use` does. The new model is put in place only
// when it is complete, a failure keeps the old one, and the recognizer hears
// with it from the next switch-on.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "recognition/training/UseStore.h"
#include "recognition/training/VoiceTraining.h"

namespace zel {

// How many new kept commands start an adaptation: the first, and each later one.
inline constexpr size_t kCommandsBeforeAdapting = 60;

// What learning from use trains on: the training session's takes
// (gravacoes/lista.tsv of runtimeFolder, when it can be read), then the kept
// commands (the store's Prompts).
std::vector<TPrompt> PromptsToLearnFrom(const std::string& runtimeFolder, const std::vector<TPrompt>& kept);

struct TUseAdaptationEnd {
    size_t Commands = 0;  // the kept commands it learnt from
    std::string Error;    // core text; empty when the new model is in place
};
// What the window and zelcmd say when one ends (core text).
std::string UseAdaptationMessage(const TUseAdaptationEnd& end);

class TUseAdaptation {
public:
    // train: adapts the voice to the prompts, raising on a failure (TrainVoice
    // with the installation's setup). every: new commands before each adaptation.
    using TTrain = std::function<void(const std::vector<TPrompt>&)>;
    TUseAdaptation(std::string runtimeFolder, TUseStore& store, TTrain train,
                   size_t every = kCommandsBeforeAdapting);
    // Waits for an adaptation under way: the folder is its until it ends.
    ~TUseAdaptation();
    TUseAdaptation(const TUseAdaptation&) = delete;
    TUseAdaptation& operator=(const TUseAdaptation&) = delete;

    // After each kept command, on the owner's thread: starts an adaptation
    // when `every` commands were kept since the last one began and none is
    // under way. True when it started one.
    bool CommandKept();
    // While one runs the store is being read: nothing is kept then.
    bool Running() const { return running_; }
    void Wait();

    // Called on the owner's thread as one starts; what it returns is held
    // until the adaptation ends (the window's lock on its folder).
    std::function<std::shared_ptr<void>()> HoldFolder;
    // Called on the adaptation's thread as it ends.
    std::function<void(const TUseAdaptationEnd&)> OnEnded;

private:
    std::string runtimeFolder_;
    TUseStore& store_;
    TTrain train_;
    size_t every_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// The setting "Aprender com o uso" applied to a switch-on (UseStore.h), with
// the adaptation told of each command kept; adaptation may be null (kept
// only, as the settings' tests and `zelcmd listen --adapt-after 0` do).
void ApplyLearningFromUse(IRecognizerControl& control, TUseStore& store, TUseAdaptation* adaptation, bool on,
                          std::function<void(const std::string& message)> onError);

}  // namespace zel
