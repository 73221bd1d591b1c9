// zelcmd train --prompts LIST.tsv [--folder DIR]
// zelcmd train --record [--folder DIR]
// zelcmd train --forget [--folder DIR]
// zelcmd train --from-use [--folder DIR]: from the commands `zelcmd listen
//   --folder DIR` (or the window) kept while listening (gravacoes/uso/)
// Adapts the acoustic model to a voice: the recordings of LIST.tsv (lines
// "file.wav<TAB>sentence", names relative to the list's folder), or the
// shipped prompt sentences read aloud into the microphone one by one, become
// the model in DIR/voz (DIR: by default zelcmd's own folder), which every
// later switch-on with that folder loads. --forget removes it. The steps go
// to stderr, their times to stdout.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "recognition/AudioSource.h"
#include "recognition/Sphinx.h"
#include "recognition/training/TakeRecorder.h"
#include "recognition/training/VoiceFolder.h"
#include "recognition/training/UseAdaptation.h"
#include "recognition/training/VoiceTraining.h"
#include "platform/SystemFiles.h"
#include "platform/SystemProcess.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"
#include "tools/zelcmd/TerminalSession.h"

namespace zelcmd {

namespace {

constexpr const char* kUsage = "uso: zelcmd train --prompts LISTA.tsv | --record | --forget | --from-use [--folder DIR]";
// The prompt sentences shipped beside the program.
constexpr const char* kPromptFile = "frases_treino.txt";
constexpr int32_t kRecordRate = 16000;

void WaitForEnter() {
    std::string line;
    if (!std::getline(std::cin, line)) throw zel::TError(zel::Utf8ToCp1252("Gravação interrompida."));
}

// Reads the shipped sentences aloud: Enter starts and stops each recording.
// The recordings and their list stay in DIR/gravacoes.
std::vector<zel::TPrompt> RecordPrompts(const std::string& folder) {
    zel::TTakeFolder takes(folder + zel::kTakeFolderName, zel::ReadPromptSentences(Folders().Runtime + kPromptFile));
    zel::TTakeRecorder recorder;
    const size_t n = takes.Sentences().size();
    for (size_t i = 0; i < n;) {
        PrintLine(std::to_string(i + 1) + " de " + std::to_string(n) + ": " + takes.Sentences()[i]);
        std::cerr << "Enter começa a gravar" << std::endl;
        WaitForEnter();
        recorder.Start(zel::OpenMicrophone("", kRecordRate, kRecordRate));
        std::cerr << "Gravando; Enter termina" << std::endl;
        WaitForEnter();
        const std::vector<int16_t> take = recorder.Stop();
        if (zel::HeardNothing(take)) {
            PrintLine(zel::kHeardNothingMessage);  // and the same sentence again
            continue;
        }
        takes.Keep(i++, take, kRecordRate);
    }
    return takes.Prompts();
}

}  // namespace

int RunTrain(const std::vector<std::string>& argv) {
    TArgs args = ParseArgs(argv, {"prompts", "folder"}, {"record", "forget", "from-use"});
    const int modes = args.Has("prompts") + args.Has("record") + args.Has("forget") + args.Has("from-use");
    if (modes != 1 || !args.plain.empty()) throw zel::TError(kUsage);
    // File names are the system's, not text.
    std::string folder = args.Has("folder") ? args.Get("folder") : Folders().Runtime;
    if (!zel::EndsInFolderSeparator(folder)) folder += zel::FolderSeparator();

    // The folder is this run's while it trains or forgets.
    std::error_code ec;
    std::unique_ptr<zel::TFolderLock> lock;
    if (args.Has("forget")) {
        if (std::filesystem::is_directory(zel::NativePath(folder), ec)) lock = std::make_unique<zel::TFolderLock>(folder);
        PrintLine(zel::ForgetVoiceModel(folder) ? zel::Utf8ToCp1252("Treino de voz esquecido.")
                                                : zel::Utf8ToCp1252("Não havia treino de voz."));
        return 0;
    }
    std::filesystem::create_directories(zel::NativePath(folder), ec);
    lock = std::make_unique<zel::TFolderLock>(folder);
    const zel::TTrainingSetup setup = zel::InstalledTrainingSetup(folder, Folders().Installation);
    zel::TUseStore useStore(folder);
    std::vector<zel::TPrompt> kept;  // with --from-use
    std::vector<zel::TPrompt> prompts;
    if (args.Has("prompts")) {
        prompts = zel::ReadPromptList(args.Get("prompts"));
    } else if (args.Has("from-use")) {
        kept = useStore.Prompts();
        if (kept.empty())
            throw zel::TError(zel::Utf8ToCp1252("Nenhum comando guardado para aprender em ") + useStore.Folder());
        prompts = zel::PromptsToLearnFrom(folder, kept);
    } else {
        prompts = RecordPrompts(folder);
    }
    const zel::TTrainingReport report = zel::TrainVoice(setup, prompts, [](const std::string& step) {
        std::cerr << zel::Cp1252ToUtf8(step) << "..." << std::endl;
    });
    // After --from-use, learning from use counts again from here.
    useStore.MarkAdapted(kept);
    char line[160];
    for (const auto& step : report.Steps) {
        std::snprintf(line, sizeof line, "%.2f s", step.Seconds);
        PrintLine(step.Name + ": " + line);
    }
    std::snprintf(line, sizeof line, "%zu frases, %zu aproveitadas, %.1f s de fala", prompts.size(), report.UsedTakes,
                  report.SpeechSeconds);
    // The folder goes out as the system's bytes, as every file name.
    std::cout << "Modelo adaptado em " << folder << zel::kVoiceFolderName << " (" << line << ")\n";
    return 0;
}

}  // namespace zelcmd
