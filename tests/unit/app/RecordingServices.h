#pragma once
// The window's outside parts as a recorder: every call lands in Calls, in
// order, and any step can be told to fail or to run something inside it.
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/WindowServices.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zeltest {

class TRecordingServices : public zel::IWindowServices {
public:
    std::vector<std::string> Calls;
    std::map<std::string, std::string> FailWith;            // step → message it raises
    std::map<std::string, std::function<void()>> During;   // step → what happens inside it
    zel::TWindowLinks Links;
    zel::TWindowState LastState;
    std::vector<std::string> LastDitado;
    std::vector<std::u16string> Sentences;
    int32_t ConfThresh = -1;
    int32_t SampleRate = -1;

    std::string Trace() const {
        std::string t;
        for (const auto& c : Calls) t += (t.empty() ? "" : " ") + c;
        return t;
    }

    void Connect(const zel::TWindowLinks& links) override {
        if (links.TimerAtivo) Links = links;
    }
    void LoadHookLibrary() override { Step("LoadHookLibrary"); }
    void SetConfThreshPercentage(int32_t p) override { ConfThresh = p; }
    void SetSamplesPerSecond(int32_t r) override { SampleRate = r; }
    std::string TextToPhonemes(const std::string& text) override {
        // A stand-in conversion that shows which text it was given.
        std::string out;
        for (char c : text) out += c == ' ' ? std::string(" ") : std::string(1, c) + " ";
        return out;
    }
    void LoadDictationCorpus(const std::string& corpus, const std::string& pastaExe) override {
        Step("LoadDictationCorpus(" + corpus + ")");
        zel::WriteLines(pastaExe + "zellm.zlm", {"### UNI ###", "1\tCORPUS", "### ENDUBT ###", "### DIC ###", "### ENDDIC ###"});
    }
    void GenerateRecognizerFiles(const zel::TWindowState& state, const std::vector<std::string>& ditado) override {
        LastState = state;
        LastDitado = ditado;
        Step("GenerateRecognizerFiles");
    }
    void InitRecognizer() override { Step("InitRecognizer"); }
    void StartRecognizer() override { Step("StartRecognizer"); }
    void StopRecognizer() override { Step("StopRecognizer"); }
    void OpenKeyHook(uint64_t) override { Step("OpenKeyHook"); }
    void CloseKeyHook() override { Step("CloseKeyHook"); }
    void HideIndicator() override { Step("HideIndicator"); }
    void UtteranceResult(const zel::TWindowState& state, const std::u16string& result) override {
        LastState = state;
        Sentences.push_back(result);
    }
    void ActivationKey(const zel::TWindowState&, uint32_t wParam, uint32_t lParam) override {
        Step("ActivationKey(" + std::to_string(wParam) + ((lParam & 0x80000000u) ? ",up)" : ",down)"));
    }
    void ActivationTimerTick(const zel::TWindowState&) override { Step("ActivationTimerTick"); }
    void ShellOpen(const std::string& file) override { Step("ShellOpen(" + file + ")"); }
    std::string ListeningStatus() override { return Status; }
    void SetHistoryEnabled(bool enabled) override { History = enabled; }
    void SetLearningFromUse(bool on) override { LearningFromUse = on; }
    std::vector<zel::TAudioSourceInfo> AudioSources() override {
        Step("AudioSources");
        return Sources;
    }
    void SetAudioSource(const std::string& name) override { Source = name; }
    void StartLevelMeter(const std::string& name) override { Step("StartLevelMeter(" + name + ")"); }
    void StopLevelMeter() override { Step("StopLevelMeter"); }
    int32_t TakeLevel() override { return Level; }

    std::string Status = "Ouvindo\x85";
    bool History = true;
    bool LearningFromUse = true;
    std::vector<zel::TAudioSourceInfo> Sources{{"", "fonte padr\xE3o"}};
    std::string Source = "?";
    int32_t Level = 0;

    // The microphone of a take: this WAV file, read at speaking pace.
    std::string TakeWav;
    std::vector<zel::TPrompt> TrainedOn;
    std::unique_ptr<zel::IAudioSource> OpenTakeMicrophone(int32_t rate) override {
        Step("OpenTakeMicrophone(" + std::to_string(rate) + ")");
        return std::make_unique<zel::TWavFileSource>(TakeWav, rate, true);
    }
    void TrainVoice(const std::vector<zel::TPrompt>& takes, const std::string& pastaExe,
                    const std::function<void(const std::string&)>& progress) override {
        TrainedOn = takes;
        progress("passo um");
        Step("TrainVoice");
        std::filesystem::create_directories(zel::NativePath(pastaExe + "voz"));
        zel::WriteLines(pastaExe + "voz/mdef", {"mdef"});
        zel::WriteLines(pastaExe + "voz/means", {"adaptado"});
    }

private:
    void Step(const std::string& name) {
        Calls.push_back(name);
        if (auto d = During.find(name); d != During.end() && d->second) d->second();
        if (auto f = FailWith.find(name); f != FailWith.end()) throw zel::TError(f->second);
    }
};

}  // namespace zeltest
