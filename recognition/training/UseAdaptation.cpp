#include "recognition/training/UseAdaptation.h"

#include <filesystem>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "recognition/training/TakeRecorder.h"

namespace zel {

std::vector<TPrompt> PromptsToLearnFrom(const std::string& runtimeFolder, const std::vector<TPrompt>& kept) {
    std::vector<TPrompt> prompts;
    const std::string session = runtimeFolder + kTakeFolderName + kPromptListName;
    std::error_code ec;
    if (std::filesystem::exists(NativePath(session), ec)) {
        try {
            prompts = ReadPromptList(session);
        } catch (const std::exception&) {
            // A damaged session list: the kept commands alone.
        }
    }
    prompts.insert(prompts.end(), kept.begin(), kept.end());
    return prompts;
}

std::string UseAdaptationMessage(const TUseAdaptationEnd& end) {
    const std::string count = std::to_string(end.Commands);
    if (!end.Error.empty())
        return Utf8ToCp1252("A adaptação da voz com " + count + " comandos não terminou; o modelo anterior continua em uso: ") +
               end.Error;
    return Utf8ToCp1252("Voz adaptada com " + count + " comandos ouvidos; ela vale a partir da próxima ativação.");
}

TUseAdaptation::TUseAdaptation(std::string runtimeFolder, TUseStore& store, TTrain train, size_t every)
    : runtimeFolder_(std::move(runtimeFolder)), store_(store), train_(std::move(train)), every_(every) {}

TUseAdaptation::~TUseAdaptation() { Wait(); }

void TUseAdaptation::Wait() {
    if (thread_.joinable()) thread_.join();
}

bool TUseAdaptation::CommandKept() {
    if (every_ == 0 || running_) return false;
    const std::vector<TPrompt> kept = store_.Prompts();
    if (store_.NotAdaptedCount(kept) < every_) return false;
    Wait();  // the one before has ended: its thread is joined here
    // Counted from here whether it succeeds or not: a failing one (a full
    // disk) is tried again after as many commands, not after each.
    store_.MarkAdapted(kept);
    std::shared_ptr<void> held = HoldFolder ? HoldFolder() : nullptr;
    running_ = true;
    thread_ = std::thread([this, held = std::move(held), commands = kept.size(),
                           prompts = PromptsToLearnFrom(runtimeFolder_, kept)]() mutable {
        TUseAdaptationEnd end;
        end.Commands = commands;
        try {
            train_(prompts);
        } catch (const std::exception& e) {
            end.Error = e.what();
        }
        held.reset();
        running_ = false;
        if (OnEnded) OnEnded(end);
    });
    return true;
}

void ApplyLearningFromUse(IRecognizerControl& control, TUseStore& store, TUseAdaptation* adaptation, bool on,
                          std::function<void(const std::string& message)> onError) {
    control.KeepCommandsToLearnFrom = on;
    if (!on) {
        control.OnCommandToLearnFrom = nullptr;
        // An adaptation under way reads the store.
        if (adaptation) adaptation->Wait();
        try {
            store.Forget();
        } catch (const std::exception& e) {
            if (onError) onError(e.what());
        }
        return;
    }
    control.OnCommandToLearnFrom = [&store, adaptation, onError](const TUtteranceScore& s,
                                                                 const std::vector<int16_t>& samples, int32_t rate) {
        // While an adaptation reads the store, nothing is added or dropped.
        if (adaptation && adaptation->Running()) return;
        try {
            store.Keep(s.Text, samples, rate);
            if (adaptation) adaptation->CommandKept();
        } catch (const std::exception& e) {
            if (onError) onError(e.what());
        }
    };
}

}  // namespace zel
