#include "recognition/training/VoiceTraining.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdint>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/ArgFile.h"
#include "recognition/AudioSource.h"
#include "recognition/Sphinx.h"
#include "recognition/WavWriter.h"
#include "platform/SystemFiles.h"
#include "platform/SystemProcess.h"
#include "recognition/training/BuiltInTrainer.h"
#include "recognition/training/MixtureWeights.h"
#include "recognition/training/VoiceFolder.h"

namespace zel {

namespace fs = std::filesystem;

namespace {

// Fewer seconds of speech than this give the adaptation too little to go on.
constexpr double kMinSpeechSeconds = 10.0;

bool IsWordByte(unsigned char c) {
    // Letters of Windows-1252: ASCII, the accented ones from 0xC0 (but not the
    // multiplication and division signs), and the apostrophe inside words.
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7) || c == 0x8A || c == 0x8C || c == 0x9A || c == 0x9C;
}

// Lower case of a Windows-1252 letter.
char Lower(char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char>(c + 32);
    return ch;
}

// Bytes that hold non-ASCII characters, all of them well-formed UTF-8: a file
// a user wrote on this system rather than one of the program's own (text
// with accents in Windows-1252 is almost never valid UTF-8).
bool LooksLikeUtf8(std::string_view bytes) {
    bool wide = false;
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const size_t more = c < 0x80                           ? 0
                            : (c & 0xE0) == 0xC0 && c >= 0xC2   ? 1
                            : (c & 0xF0) == 0xE0                ? 2
                            : (c & 0xF8) == 0xF0 && c <= 0xF4   ? 3
                                                                : 9;  // not a lead byte
        if (more == 9 || i + more >= bytes.size()) return false;
        for (size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        wide |= more > 0;
        i += more + 1;
    }
    return wide;
}

// The engine's options of a file of "-name value" lines (feat.params).
std::map<std::string, std::string> OptionsOf(const std::string& fileName) {
    std::map<std::string, std::string> out;
    if (!FileExists(fileName)) return out;
    const TRecognizerArgs args = ParseRecognizerArgs(ReadLines(fileName), [](std::string_view) { return true; });
    for (const auto& [name, value] : args.Engine) out[name] = value;
    return out;
}

// The files of a model that bw reads and map_adapt writes.
struct TModelFiles {
    std::string Means, Variances, MixtureWeights, TransitionMatrices;
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class TSteps {
public:
    TSteps(const std::string& log, const std::function<void(const std::string&)>& progress, TTrainingReport& report)
        : log_(log), progress_(progress), report_(report) {}
    int ToolSeconds = 0;  // TTrainingSetup::ToolSeconds, worked out

    // Runs a step of our own; its errors pass as they are.
    template <class F>
    void Do(const char* utf8Name, F&& work) {
        const std::string name = Utf8ToCp1252(utf8Name);
        if (progress_) progress_(name);
        const auto start = std::chrono::steady_clock::now();
        work();
        report_.Steps.push_back({name, Since(start)});
    }
    // Runs a tool; a failure names the step and the log.
    void Tool(const char* utf8Name, const std::vector<std::string>& argv) {
        Do(utf8Name, [&] {
            const int rc = RunTool(argv, log_, ToolSeconds);
            if (rc == 0) return;
            const std::string tool = FileNameForDisplay(argv[0]);
            std::string why = rc == kToolTimedOut
                                  ? tool + Utf8ToCp1252(" não terminou em ") + std::to_string(ToolSeconds) + " s"
                              : rc < 0 ? Utf8ToCp1252("não foi possível executar ") + tool
                                       : tool + Utf8ToCp1252(" terminou com erro ") + std::to_string(rc);
            throw TError(Utf8ToCp1252("O treino de voz falhou (") + Utf8ToCp1252(utf8Name) + "): " + why +
                         ". Veja " + FileNameForDisplay(log_));
        });
    }

private:
    std::string log_;
    const std::function<void(const std::string&)>& progress_;
    TTrainingReport& report_;
};

}  // namespace

std::vector<std::string> PromptWords(const std::string& sentence) {
    std::vector<std::string> words;
    std::string word;
    for (char c : sentence + " ") {
        if (IsWordByte(static_cast<unsigned char>(c)) || (c == '-' && !word.empty())) {
            word += Lower(c);
        } else if (!word.empty()) {
            while (!word.empty() && word.back() == '-') word.pop_back();
            if (!word.empty()) words.push_back(word);
            word.clear();
        }
    }
    return words;
}

std::vector<TPrompt> ReadPromptList(const std::string& listFile) {
    const fs::path folder = NativePath(listFile).parent_path();
    std::vector<TPrompt> prompts;
    int number = 0;
    // A list written on this system is UTF-8; one of ours, Windows-1252.
    std::string bytes = ReadFileBytes(listFile);
    if (LooksLikeUtf8(bytes)) bytes = Utf8ToCp1252(bytes);
    for (const std::string& raw : SplitLines(bytes)) {
        ++number;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || Trim(line.substr(tab + 1)).empty())
            throw TError(listFile + ", linha " + std::to_string(number) +
                         Utf8ToCp1252(": esperava \"arquivo.wav<TAB>frase\""));
        // The name is the list's text: as a file name of this system.
        fs::path wav = NativePath(FileNameFromText(Trim(line.substr(0, tab))));
        if (wav.is_relative()) wav = folder / wav;
        prompts.push_back({CoreFileName(wav), Trim(line.substr(tab + 1))});
    }
    return prompts;
}

std::vector<std::string> ReadPromptSentences(const std::string& fileName) {
    std::vector<std::string> out;
    for (const std::string& raw : ReadLines(fileName)) {
        const std::string line = Trim(raw);
        if (!line.empty() && line[0] != '#') out.push_back(line);
    }
    return out;
}

std::string TrainingToolFolder(const std::string& installation) {
#ifdef _WIN32
    return installation;
#else
    (void)installation;
    return TTrainingSetup().ToolFolder;
#endif
}

TTrainingSetup InstalledTrainingSetup(const std::string& programFolder, const std::string& installation) {
    TTrainingSetup setup;
    setup.ProgramFolder = programFolder;
    setup.BaseModel = InstalledAcousticModel(programFolder, installation + kRecognizerFolderName);
    setup.ToolFolder = TrainingToolFolder(installation);
    return setup;
}

std::string InstalledAcousticModel(const std::string& programFolder, const std::string& recognizerFolder) {
    const std::string defaults = recognizerFolder + kArgFileTemplateName;
    for (const std::string& argFile : {programFolder + "sphinx.arg", defaults}) {
        const auto options = OptionsOf(argFile);
        const auto hmm = options.find("-hmm");
        if (hmm == options.end()) continue;
        // A relative model (the Windows edition's) lies in the recognizer's folder.
        if (NativePath(hmm->second).is_relative()) return CoreFileName(NativePath(recognizerFolder) / NativePath(hmm->second));
        return hmm->second;
    }
    throw TError(Utf8ToCp1252("Modelo acústico não encontrado: falta a linha -hmm em ") + defaults);
}

bool HeardNothing(const std::vector<int16_t>& take) {
    constexpr int kQuietestVoicePeak = 655;  // 2% of full scale
    return std::none_of(take.begin(), take.end(), [](int16_t v) { return std::abs(static_cast<int>(v)) >= kQuietestVoicePeak; });
}

namespace {
// Each returns how many recordings its last round could align with their
// sentences: the ones the voice was really adapted to.
size_t AdaptBuiltIn(TSteps& steps, const TTrainingSetup& setup, const std::string& base, const std::string& work,
                    const std::string& model, const std::map<std::string, std::string>& feat,
                    const std::vector<TTrainingTake>& takes, std::unordered_map<std::string, std::string> pronunciation);
size_t AdaptWithTools(TSteps& steps, const TTrainingSetup& setup, const std::string& base, const std::string& work,
                      const std::string& model, const std::map<std::string, std::string>& feat, const std::string& ts2cb);
void InstallAdaptedModel(TSteps& steps, const TAdaptation& adapt, const std::string& base, const std::string& model,
                         TVoiceModelBuild& build);
}  // namespace

TTrainingReport TrainVoice(const TTrainingSetup& setup, const std::vector<TPrompt>& prompts,
                           const std::function<void(const std::string&)>& progress) {
    if (prompts.empty()) throw TError(Utf8ToCp1252("O treino de voz precisa de gravações."));
    const std::string base = EndsInFolderSeparator(setup.BaseModel) ? setup.BaseModel : setup.BaseModel + FolderSeparator();
    if (!FileExists(base + "mdef") || !FileExists(base + "means"))
        throw TError(Utf8ToCp1252("Modelo acústico não encontrado em ") + base);
    const std::string log = setup.ProgramFolder + kTrainingLogName;
    // The log is the program's: a link in its place is replaced, never followed.
    std::FILE* fresh = OpenOwnFile(log, false);
    if (!fresh) RaiseCannotCreate(log, std::strerror(errno));
    std::fclose(fresh);

    TTrainingReport report;
    TSteps steps(log, progress, report);
    steps.ToolSeconds = setup.ToolSeconds > 0 ? setup.ToolSeconds : 120 + 10 * static_cast<int>(prompts.size());
    TVoiceModelBuild build(setup.ProgramFolder);
    const std::string work = build.WorkFolder();
    const std::string model = build.ModelFolder();
    fs::create_directories(NativePath(work + "wav"));
    fs::create_directories(NativePath(work + "feat"));

    // The recordings at the model's rate, converted as the recognizer
    // converts what it hears; the words' pronunciations from our letter rules.
    std::vector<TTrainingTake> takes;                        // for the program's own trainer
    std::unordered_map<std::string, std::string> pronunciation;  // word → phones
    steps.Do("preparar as gravações", [&] {
        std::vector<std::string> ids, transcript, dictionary;
        std::set<std::string> known;
        size_t samples = 0;
        for (size_t i = 0; i < prompts.size(); ++i) {
            int32_t rate = 0;
            std::vector<int16_t> recorded = ReadWavSamples(prompts[i].Wav, rate);
            if (HeardNothing(recorded))
                throw TError("Nada foi ouvido em " + prompts[i].Wav + ": verifique o microfone e grave de novo.");
            std::vector<int16_t> converted;
            TRateConverter(rate, setup.SampleRate).Convert(recorded.data(), recorded.size(), converted);
            samples += converted.size();
            const std::string id = std::to_string(1000 + i).substr(1);
            WriteFileAtomic(work + "wav/" + id + ".wav", WavFileBytes(converted, setup.SampleRate));
            if (setup.Adapt.BuiltIn) takes.push_back({converted, {}});
            const std::vector<std::string> words = PromptWords(prompts[i].Sentence);
            if (words.empty()) throw TError(Utf8ToCp1252("Frase sem palavras: ") + prompts[i].Sentence);
            std::string line = "<s>";
            for (const std::string& w : words) {
                line += " " + w;
                if (!known.insert(w).second) continue;
                std::string phones;
                for (char c : TParserPortugues::TextToPhonemes(w) + " ") {
                    if (c != ' ') phones += c;
                    else if (!phones.empty() && phones.back() != ' ') phones += ' ';
                }
                dictionary.push_back(w + " " + Trim(phones));
                pronunciation[w] = Trim(phones);
            }
            if (setup.Adapt.BuiltIn) takes.back().Words = words;
            transcript.push_back(line + " </s> (" + id + ")");
            ids.push_back(id);
        }
        report.SpeechSeconds = static_cast<double>(samples) / setup.SampleRate;
        if (report.SpeechSeconds < kMinSpeechSeconds)
            throw TError(Utf8ToCp1252("Gravações curtas demais para o treino de voz (") +
                         std::to_string(std::lround(report.SpeechSeconds)) +
                         Utf8ToCp1252(" s; são precisos pelo menos 10 s)."));
        // The trainer reads lines ending in LF.
        auto join = [](const std::vector<std::string>& lines) {
            std::string out;
            for (const auto& l : lines) out += l + "\n";
            return out;
        };
        WriteFileAtomic(work + "ids", join(ids));
        WriteFileAtomic(work + "transcricao", join(transcript));
        WriteFileAtomic(work + "dicionario", join(dictionary));
    });

    const auto feat = OptionsOf(base + "feat.params");
    auto featOption = [&](const char* name, const char* fallback) {
        auto it = feat.find(name);
        return it == feat.end() ? std::string(fallback) : it->second;
    };
    // The model's kind tells how its states share codebooks.
    const std::string kind = featOption("-model", "ptm");
    const std::string ts2cb = kind == "ptm" ? ".ptm." : kind == "semi" ? ".semi." : ".cont.";

    report.UsedTakes = setup.Adapt.BuiltIn ? AdaptBuiltIn(steps, setup, base, work, model, feat, takes, std::move(pronunciation))
                                           : AdaptWithTools(steps, setup, base, work, model, feat, ts2cb);
    // A voice learnt from a few of the takes (the rest noise, or not the
    // sentence) is no voice: the earlier one stays.
    if (report.UsedTakes == SIZE_MAX) report.UsedTakes = prompts.size();
    if (report.UsedTakes * 2 < prompts.size())
        throw TError(Utf8ToCp1252("O treino de voz não aproveitou as gravações: só ") + std::to_string(report.UsedTakes) +
                     " de " + std::to_string(prompts.size()) +
                     Utf8ToCp1252(" puderam ser alinhadas com as suas frases. Grave de novo num lugar silencioso, lendo "
                                  "cada frase como está escrita (veja ") +
                     FileNameForDisplay(log) + Utf8ToCp1252("). O treino anterior foi mantido."));
    InstallAdaptedModel(steps, setup.Adapt, base, model, build);
    return report;
}

namespace {

size_t AdaptBuiltIn(TSteps& steps, const TTrainingSetup& setup, const std::string& base, const std::string& work,
                    const std::string& model, const std::map<std::string, std::string>& feat,
                    const std::vector<TTrainingTake>& takes, std::unordered_map<std::string, std::string> pronunciation) {
    TBuiltInTrainer trainer(base, feat, setup.SampleRate, setup.ProgramFolder + kTrainingLogName);
    steps.Do("ler o modelo de voz", [&] { trainer.ReadModel(work); });
    steps.Do("analisar o som das gravações", [&] { trainer.ComputeFeatures(takes); });
    trainer.SetDictionary(std::move(pronunciation));
    size_t used = 0;
    auto align = [&] {
        steps.Do("comparar as gravações com as frases", [&] {
            used = trainer.Align();
            if (used == 0)
                throw TError(Utf8ToCp1252("O treino de voz falhou: nenhuma gravação pôde ser alinhada com a sua frase."));
        });
    };
    if (setup.Adapt.Mllr) {
        align();
        steps.Do("ajustar à voz e ao microfone", [&] { trainer.Mllr(); });
    }
    for (int pass = 1; pass <= std::max(1, setup.Adapt.Passes); ++pass) {
        align();
        steps.Do("adaptar cada som", [&] { trainer.Map(setup.Adapt.BuiltInTau); });
    }
    // The variances stay the installed model's.
    WriteFileAtomic(model + "means", trainer.MeansFile());
    WriteFileAtomic(model + "variances", ReadFileBytes(base + "variances"));
    return used;
}

size_t AdaptWithTools(TSteps& steps, const TTrainingSetup& setup, const std::string& base, const std::string& work,
                      const std::string& model, const std::map<std::string, std::string>& feat, const std::string& ts2cb) {
    auto featOption = [&](const char* name, const char* fallback) {
        auto it = feat.find(name);
        return it == feat.end() ? std::string(fallback) : it->second;
    };
    std::vector<std::string> fe = {setup.BinFolder + "sphinx_fe", "-samprate", std::to_string(setup.SampleRate), "-c", work + "ids",
                                   "-di", work + "wav", "-do", work + "feat", "-ei", "wav", "-eo", "mfc",
                                   "-mswav", "yes", "-dither", "yes", "-seed", "1"};
    if (FileExists(base + "feat.params")) fe.insert(fe.begin() + 1, {"-argfile", base + "feat.params"});
    steps.Tool("analisar o som das gravações", fe);
    steps.Tool("ler o modelo de voz",
               {setup.BinFolder + "pocketsphinx_mdef_convert", "-text", base + "mdef", work + "mdef.txt"});
    // The installed model ships its weights only in the engine's quantized
    // form; bw and map_adapt read the trainer's.
    std::string mixw = base + "mixture_weights";
    if (!FileExists(mixw)) {
        steps.Do("preparar o modelo de voz", [&] {
            mixw = work + "mixture_weights";
            WriteFileAtomic(mixw, MixtureWeightsFile(ReadSendump(ReadFileBytes(base + "sendump"), base + "sendump")));
        });
    }
    // The model bw aligns with and the prior MAP moves away from: the
    // installed one, or the installed one under the voice's MLLR transform.
    TModelFiles prior{base + "means", base + "variances", mixw, base + "transition_matrices"};
    TModelFiles current = prior;
    const TAdaptation& adapt = setup.Adapt;
    // What bw made of the takes, from its lines in the log: "utt>" for each,
    // "NNN ignored" for one it could not align with its sentence.
    const std::string log = setup.ProgramFolder + kTrainingLogName;
    size_t used = 0;
    auto countAligned = [&](uintmax_t from) {
        const std::string text = ReadFileBytes(log);
        size_t takes = 0, ignored = 0;
        ForEachLine(std::string_view(text).substr(std::min<size_t>(from, text.size())), [&](std::string_view line) {
            if (line.rfind("utt>", 0) == 0) ++takes;
            else if (line.find("baum_welch") != std::string_view::npos && line.find(" ignored") != std::string_view::npos)
                ++ignored;
        });
        // A bw that says nothing of its takes is taken at its word.
        used = takes == 0 ? SIZE_MAX : takes - std::min(takes, ignored);
    };
    auto statistics = [&](const TModelFiles& m, const std::string& accum) {
        fs::create_directories(NativePath(accum));
        std::vector<std::string> bw = {setup.ToolFolder + "bw", "-moddeffn", work + "mdef.txt",
                                       "-meanfn", m.Means, "-varfn", m.Variances, "-mixwfn", m.MixtureWeights,
                                       "-tmatfn", m.TransitionMatrices, "-ts2cbfn", ts2cb, "-feat",
                                       featOption("-feat", "1s_c_d_dd"), "-cmn", featOption("-cmn", "batch"), "-agc",
                                       featOption("-agc", "none"), "-varnorm", featOption("-varnorm", "no"),
                                       "-dictfn", work + "dicionario", "-fdictfn", base + "noisedict", "-ctlfn",
                                       work + "ids", "-lsnfn", work + "transcricao", "-cepdir", work + "feat",
                                       "-cepext", "mfc", "-accumdir", accum};
        if (feat.count("-svspec")) bw.insert(bw.end(), {"-svspec", feat.at("-svspec")});
        std::error_code ec;
        const uintmax_t before = fs::file_size(NativePath(log), ec);
        steps.Tool("comparar as gravações com as frases", bw);
        countAligned(ec ? 0 : before);
    };
    if (adapt.Mllr) {
        const std::string accum = work + "contas-mllr";
        statistics(current, accum);
        steps.Tool("ajustar à voz e ao microfone",
                   {setup.ToolFolder + "mllr_solve", "-meanfn", prior.Means, "-varfn", prior.Variances, "-accumdir",
                    accum, "-outmllrfn", work + "mllr_matrix"});
        steps.Tool("aplicar o ajuste",
                   {setup.ToolFolder + "mllr_transform", "-inmeanfn", prior.Means, "-mllrmat", work + "mllr_matrix",
                    "-outmeanfn", work + "means.mllr"});
        prior.Means = current.Means = work + "means.mllr";
    }
    const int passes = std::max(1, adapt.Passes);
    for (int pass = 1; pass <= passes; ++pass) {
        const std::string accum = work + "contas" + std::to_string(pass);
        statistics(current, accum);
        // Only the last round writes into the new model.
        const std::string out = pass == passes ? model : work + "volta" + std::to_string(pass) + "/";
        fs::create_directories(NativePath(out));
        TModelFiles next{out + "means", out + "variances",
                         adapt.MixtureWeights ? out + "mixture_weights" : prior.MixtureWeights,
                         prior.TransitionMatrices};
        std::vector<std::string> map = {
            setup.ToolFolder + "map_adapt", "-moddeffn", work + "mdef.txt", "-ts2cbfn", ts2cb, "-meanfn", prior.Means,
            "-varfn", prior.Variances, "-mixwfn", prior.MixtureWeights, "-tmatfn", prior.TransitionMatrices,
            "-accumdir", accum, "-mapmeanfn", next.Means, "-mapvarfn", next.Variances, "-mapmixwfn",
            adapt.MixtureWeights ? next.MixtureWeights : work + "mixture_weights.map", "-maptmatfn",
            work + "transition_matrices.map"};
        if (adapt.Tau > 0) map.insert(map.end(), {"-fixedtau", "yes", "-tau", std::to_string(adapt.Tau)});
        if (!adapt.BayesMean) map.insert(map.end(), {"-bayesmean", "no"});
        steps.Tool("adaptar cada som", map);
        current = next;
    }
    return used;
}

void InstallAdaptedModel(TSteps& steps, const TAdaptation& adapt, const std::string& base, const std::string& model,
                         TVoiceModelBuild& build) {
    steps.Do("guardar a voz treinada", [&] {
        // The rest of the model comes along unchanged.
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(NativePath(base))) {
            const std::string name = CoreFileName(entry.path().filename());
            if (!entry.is_regular_file() || name == "means" || name == "variances") continue;
            // Adapted weights are read unquantized: the engine prefers a sendump.
            if (adapt.MixtureWeights && (name == "sendump" || name == "mixture_weights")) continue;
            fs::copy_file(entry.path(), NativePath(model) / NativePath(name), fs::copy_options::overwrite_existing, ec);
            if (ec) RaiseCannotCreate(model + name, ec.message());
        }
        build.Commit();
    });
}

}  // namespace

}  // namespace zel
