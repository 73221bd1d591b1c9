#include "recognition/training/VoiceTraining.h"

#include <gtest/gtest.h>

#include <fstream>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>

#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/WavWriter.h"
#include "recognition/training/VoiceFolder.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;

// An absolute name on this system.
#ifdef _WIN32
const std::string kRoot = "C:";
#else
const std::string kRoot;
#endif

TEST(PromptList, NamesAreTakenFromTheListsFolderAndABadLineIsNamed) {
    zeltest::TTempDir dir;
    dir.Write("lista.tsv", "# gravadas ontem\r\n\r\na.wav\tO gato dorme.\r\n" + kRoot + "/abs/b.wav\t  Bom dia  \r\n");
    const std::vector<TPrompt> prompts = ReadPromptList(dir.File("lista.tsv"));
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[0].Wav, dir.File("a.wav"));
    EXPECT_EQ(prompts[0].Sentence, "O gato dorme.");
    EXPECT_EQ(prompts[1].Wav, kRoot + "/abs/b.wav");
    EXPECT_EQ(prompts[1].Sentence, "Bom dia");
    // Written in UTF-8 by the user, or in the program's own text.
    dir.Write("utf8.tsv", "a.wav\tP\xC3\xA3o quente\n");
    EXPECT_EQ(ReadPromptList(dir.File("utf8.tsv"))[0].Sentence, "P\xE3o quente");
    dir.Write("cp1252.tsv", "a.wav\tP\xE3o quente\n");
    EXPECT_EQ(ReadPromptList(dir.File("cp1252.tsv"))[0].Sentence, "P\xE3o quente");
    dir.Write("ruim.tsv", "a.wav\tum\nb.wav sem tabula\xE7\xE3o\n");
    try {
        ReadPromptList(dir.File("ruim.tsv"));
        FAIL();
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), dir.File("ruim.tsv") + ", linha 2: esperava \"arquivo.wav<TAB>frase\"");
    }
}

TEST(PromptWords, LowerCaseWordsWithoutPunctuation) {
    EXPECT_EQ(PromptWords("\xC0s sete, na Sexta-Feira: p\xC3O quente!"),
              (std::vector<std::string>{"\xE0s", "sete", "na", "sexta-feira", "p\xE3o", "quente"}));
    EXPECT_EQ(PromptWords(" -- ... "), std::vector<std::string>{});
}

// The trainer's tools stand in as scripts: each leaves a trace in the log,
// and the test decides which one fails.
class VoiceTraining : public ::testing::Test {
protected:
    VoiceTraining() {
        fs::create_directories(dir.Path() / "pasta");
        fs::create_directories(dir.Path() / "base");
        fs::create_directories(dir.Path() / "tools");
        for (const char* f : {"mdef", "means", "variances", "mixture_weights", "transition_matrices", "noisedict"})
            dir.Write(std::string("base/") + f, std::string("installed ") + f);
        dir.Write("base/feat.params", "-feat 1s_c_d_dd\n-model ptm\n-svspec 0-12/13-25/26-38\n-cmn batch\n");
        Tool("sphinx_fe", "echo features");
        Tool("pocketsphinx_mdef_convert", "echo mdef");
        // bw shows the dictionary and the transcript it was given, and a
        // line for each take, as the real one reports them.
        Tool("bw", "while [ $# -gt 0 ]; do case $1 in -dictfn|-lsnfn) cat \"$2\";; "
                   "-ctlfn) while read id; do echo \"utt> 0 $id 300\"; done < \"$2\";; esac; shift; done");
        Tool("mllr_solve", "while [ $# -gt 0 ]; do case $1 in -outmllrfn) echo matrix > \"$2\";; esac; shift; done");
        Tool("mllr_transform",
             "while [ $# -gt 0 ]; do case $1 in -outmeanfn) echo transformed means > \"$2\";; esac; shift; done");
        Tool("map_adapt",
             "while [ $# -gt 0 ]; do case $1 in -mapmeanfn) echo adapted means > \"$2\";; "
             "-mapvarfn) echo adapted variances > \"$2\";; esac; shift; done");
        setup.ProgramFolder = dir.File("pasta/");
        setup.BaseModel = dir.File("base");
        setup.ToolFolder = dir.File("tools/");
        setup.BinFolder = dir.File("tools/");
        // Eleven seconds at 8 kHz: converted to the model's 16 kHz on the way.
        dir.Write("a.wav", WavFileBytes(std::vector<int16_t>(88000, 1000), 8000));
        prompts = {{dir.File("a.wav"), "O gato preto."}, {dir.File("a.wav"), "Gato, p\xE3o!"}};
    }
    void Tool(const std::string& name, const std::string& body) {
        dir.Write("tools/" + name, "#!/bin/sh\n" + body + "\n");
        fs::permissions(dir.Path() / "tools" / name, fs::perms::owner_all);
    }
    void OldModel() {
        fs::create_directories(dir.Path() / "pasta/voz");
        dir.Write("pasta/voz/mdef", "old mdef");
        dir.Write("pasta/voz/means", "old means");
    }
    std::string Failure() {
        try {
            TrainVoice(setup, prompts);
        } catch (const TError& e) {
            return e.what();
        }
        return "no error";
    }
    std::vector<std::string> Entries() {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir.Path() / "pasta")) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    std::string Phones(const char* word) {
        std::string p;
        for (char c : Trim(TParserPortugues::TextToPhonemes(word)))
            if (c != ' ' || (!p.empty() && p.back() != ' ')) p += c;
        return p;
    }

    zeltest::TTempDir dir;
    TTrainingSetup setup;
    std::vector<TPrompt> prompts;
};

#ifndef _WIN32  // the stand-in tools are shell scripts
TEST_F(VoiceTraining, TheAdaptedModelReplacesTheOldOneWithTheRestOfTheInstalledModel) {
    OldModel();
    std::vector<std::string> progress;
    const TTrainingReport report = TrainVoice(setup, prompts, [&](const std::string& s) { progress.push_back(s); });
    EXPECT_EQ(dir.Read("pasta/voz/means"), "adapted means\n");
    EXPECT_EQ(dir.Read("pasta/voz/variances"), "adapted variances\n");
    EXPECT_EQ(dir.Read("pasta/voz/mdef"), "installed mdef");
    EXPECT_EQ(dir.Read("pasta/voz/transition_matrices"), "installed transition_matrices");
    EXPECT_EQ(dir.Read("pasta/voz/feat.params").substr(0, 15), "-feat 1s_c_d_dd");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"treino.log", "voz"}));
    EXPECT_NEAR(report.SpeechSeconds, 22.0, 0.01);
    // bw, the MLLR transform, bw again with it, MAP on top, and a second
    // round of bw and MAP.
    ASSERT_EQ(report.Steps.size(), 11u);
    EXPECT_EQ(progress.size(), 11u);
    EXPECT_EQ(progress[3], "comparar as grava\xE7\xF5" "es com as frases");
    EXPECT_EQ(progress[4], "ajustar \xE0 voz e ao microfone");
    EXPECT_EQ(progress[6], "comparar as grava\xE7\xF5" "es com as frases");
    EXPECT_EQ(progress[9], "adaptar cada som");
    // The words once each, with our letter rules' phones; the sentences as
    // the trainer's transcript.
    const std::string log = dir.Read("pasta/treino.log");
    EXPECT_NE(log.find("o " + Phones("o") + "\ngato " + Phones("gato") + "\npreto " + Phones("preto") + "\np\xE3o " +
                       Phones("p\xE3o") + "\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\n<s> o gato preto </s> (000)\n<s> gato p\xE3o </s> (001)\n"), std::string::npos) << log;
    EXPECT_EQ(report.UsedTakes, 2u);
}
#endif

#ifndef _WIN32  // the stand-in tools are shell scripts; Wine makes no symbolic links
TEST_F(VoiceTraining, ALinkInThePlaceOfTheLogIsReplacedNeverFollowed) {
    dir.Write("importante.txt", "the user's file");
    fs::create_symlink(dir.Path() / "importante.txt", dir.Path() / "pasta" / "treino.log");
    TrainVoice(setup, prompts);
    EXPECT_EQ(dir.Read("importante.txt"), "the user's file");
    EXPECT_FALSE(fs::is_symlink(dir.Path() / "pasta" / "treino.log"));
    EXPECT_NE(dir.Read("pasta/treino.log").find("<s> o gato preto </s> (000)"), std::string::npos);
}
#endif

#ifndef _WIN32  // the stand-in tools are shell scripts
TEST_F(VoiceTraining, AFailingToolIsNamedAndTheOldModelStaysWhole) {
    OldModel();
    Tool("bw", "echo 'FATAL: no such senone' >&2; exit 3");
    EXPECT_EQ(Failure(), "O treino de voz falhou (comparar as grava\xE7\xF5" "es com as frases): " + setup.ToolFolder +
                             "bw terminou com erro 3. Veja " + setup.ProgramFolder + "treino.log");
    EXPECT_EQ(dir.Read("pasta/voz/means"), "old means");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"treino.log", "voz"}));
    EXPECT_NE(dir.Read("pasta/treino.log").find("FATAL: no such senone"), std::string::npos);
    // Killed on the way, as when the user interrupts.
    Tool("map_adapt", "kill -9 $$");
    Tool("bw", "true");
    EXPECT_EQ(Failure(), "O treino de voz falhou (adaptar cada som): " + setup.ToolFolder +
                             "map_adapt terminou com erro 137. Veja " + setup.ProgramFolder + "treino.log");
    EXPECT_EQ(dir.Read("pasta/voz/means"), "old means");
    fs::remove(dir.Path() / "tools/sphinx_fe");
    EXPECT_EQ(Failure(), "O treino de voz falhou (analisar o som das grava\xE7\xF5" "es): n\xE3o foi poss\xEDvel executar " +
                             setup.BinFolder + "sphinx_fe. Veja " + setup.ProgramFolder + "treino.log");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"treino.log", "voz"}));
}
#endif

#ifndef _WIN32  // the stand-in tools are shell scripts
// Takes bw could not align with their sentences (noise, another text) are
// not a voice: fewer than half of them used is an error, the old model stays.
TEST_F(VoiceTraining, TakesTheToolsCouldNotUseAreCountedAndTooFewAreAnError) {
    OldModel();
    prompts.push_back(prompts[0]);
    prompts.push_back(prompts[1]);
    Tool("bw", "while [ $# -gt 0 ]; do case $1 in -ctlfn) while read id; do echo \"utt> 0 $id 300\"; done < \"$2\";; "
               "esac; shift; done; for id in 000 001 002; do "
               "echo 'ERROR: \"backward.c\", line 421: Failed to align audio to trancript'; "
               "echo \"ERROR: \\\"baum_welch.c\\\", line 324: $id ignored\"; done");
    EXPECT_EQ(Failure(), "O treino de voz n\xE3o aproveitou as grava\xE7\xF5" "es: s\xF3 1 de 4 puderam ser alinhadas com as suas "
                         "frases. Grave de novo num lugar silencioso, lendo cada frase como est\xE1 escrita (veja " +
                             setup.ProgramFolder + "treino.log). O treino anterior foi mantido.");
    EXPECT_EQ(dir.Read("pasta/voz/means"), "old means");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"treino.log", "voz"}));
    // Half of them is enough, and the report says how many.
    Tool("bw", "while [ $# -gt 0 ]; do case $1 in -ctlfn) while read id; do echo \"utt> 0 $id 300\"; done < \"$2\";; "
               "esac; shift; done; echo 'ERROR: \"baum_welch.c\", line 324: 000 ignored'; "
               "echo 'ERROR: \"baum_welch.c\", line 324: 003 ignored'");
    const TTrainingReport report = TrainVoice(setup, prompts);
    EXPECT_EQ(report.UsedTakes, 2u);
    EXPECT_EQ(dir.Read("pasta/voz/means"), "adapted means\n");
}

// A tool that never ends (as bw retrying on a full disk) is ended at its
// time limit, said so, and the old model stays.
TEST_F(VoiceTraining, AHungToolIsEndedAtItsTimeLimit) {
    OldModel();
    Tool("bw", "echo $$ > \"$(dirname \"$0\")/bw.pid\"; while true; do sleep 1; done");
    setup.ToolSeconds = 1;
    EXPECT_EQ(Failure(), "O treino de voz falhou (comparar as grava\xE7\xF5" "es com as frases): " + setup.ToolFolder +
                             "bw n\xE3o terminou em 1 s. Veja " + setup.ProgramFolder + "treino.log");
    EXPECT_EQ(dir.Read("pasta/voz/means"), "old means");
    const pid_t pid = std::stoi(dir.Read("tools/bw.pid"));
    EXPECT_NE(kill(pid, 0), 0) << "the hung tool still runs";
}

// The program ended by a signal in the middle of a step: its tool goes too.
TEST_F(VoiceTraining, AToolEndsWithTheProgram) {
    Tool("bw", "echo $$ > \"$(dirname \"$0\")/bw.pid\"; while true; do sleep 1; done");
    const pid_t program = fork();
    if (program == 0) {
        try {
            TrainVoice(setup, prompts);
        } catch (...) {
        }
        _exit(0);
    }
    const fs::path pidFile = dir.Path() / "tools" / "bw.pid";
    for (int i = 0; i < 300 && !(fs::exists(pidFile) && fs::file_size(pidFile) > 0); ++i) usleep(20000);
    ASSERT_TRUE(fs::exists(pidFile)) << "bw never started";
    const pid_t tool = std::stoi(dir.Read("tools/bw.pid"));
    kill(program, SIGTERM);
    waitpid(program, nullptr, 0);
    // Gone, or a corpse nobody has collected yet (a container's first process may not).
    auto ended = [tool] {
        if (kill(tool, 0) != 0) return true;
        std::ifstream stat("/proc/" + std::to_string(tool) + "/stat");
        std::string pid, name, state;
        stat >> pid >> name >> state;
        return state == "Z";
    };
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        gone = ended();
        if (!gone) usleep(20000);
    }
    EXPECT_TRUE(gone) << "bw outlived the program";
    if (!gone) kill(tool, SIGKILL);
}
#endif

TEST_F(VoiceTraining, TooLittleSpeechATakeOfSilenceOrAMissingModelStopsBeforeAnyTool) {
    prompts.pop_back();  // 11 s
    dir.Write("a.wav", WavFileBytes(std::vector<int16_t>(8000 * 9, 1000), 8000));
    EXPECT_EQ(Failure(), "Grava\xE7\xF5" "es curtas demais para o treino de voz (9 s; s\xE3o precisos pelo menos 10 s).");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"treino.log"}));
    // A take of a muted microphone: long enough, but only a quiet room's noise.
    std::vector<int16_t> muted(8000 * 12);
    for (size_t i = 0; i < muted.size(); ++i) muted[i] = static_cast<int16_t>((i * 7919) % 1201) - 600;
    dir.Write("a.wav", WavFileBytes(muted, 8000));
    EXPECT_EQ(Failure(), "Nada foi ouvido em " + dir.File("a.wav") + ": verifique o microfone e grave de novo.");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"treino.log"}));
    setup.BaseModel = dir.File("nenhum");
    EXPECT_EQ(Failure(), "Modelo ac\xFAstico n\xE3o encontrado em " + dir.File("nenhum/"));
    prompts.clear();
    EXPECT_EQ(Failure(), "O treino de voz precisa de grava\xE7\xF5" "es.");
}

// MLLR first, then rounds of MAP with the weights: each bw aligns with the
// model of the step before, each MAP moves from the transformed prior, and
// the model keeps its weights unquantized without the installed sendump.
#ifndef _WIN32  // the stand-in tools are shell scripts
TEST_F(VoiceTraining, MllrThenRoundsOfMapEachAligningWithTheModelBefore) {
    dir.Write("base/sendump", "installed sendump");
    auto arg = [](const char* name) { return std::string("$(a ") + name + " \"$@\")"; };
    const std::string a = "a() { k=$1; shift; while [ $# -gt 1 ]; do [ \"$1\" = \"$k\" ] && echo \"$2\"; shift; done; }; ";
    Tool("bw", a + "echo \"bw $(cat " + arg("-meanfn") + ")\"; echo \"bw weights $(head -c 2 " + arg("-mixwfn") + ")\"");
    Tool("mllr_solve", a + "echo matrix > " + arg("-outmllrfn"));
    Tool("mllr_transform", a + "echo \"mllr of $(cat " + arg("-inmeanfn") + ")\" > " + arg("-outmeanfn"));
    Tool("map_adapt", a + "echo \"map of $(cat " + arg("-meanfn") + ") by $(basename " + arg("-accumdir") +
                          ")\" > " + arg("-mapmeanfn") + "; echo adapted variances > " + arg("-mapvarfn") +
                          "; echo adapted weights > " + arg("-mapmixwfn") + "; echo \"map tau $(a -tau \"$@\")\"");
    setup.Adapt.Mllr = true;
    setup.Adapt.MixtureWeights = true;
    setup.Adapt.Passes = 2;
    setup.Adapt.Tau = 5;
    const TTrainingReport report = TrainVoice(setup, prompts);
    const std::string log = dir.Read("pasta/treino.log");
    std::string trace;
    for (const std::string& line : SplitLines(log))
        if (line.rfind("bw ", 0) == 0 || line.rfind("map ", 0) == 0) trace += line + "\n";
    EXPECT_EQ(trace,
              "bw installed means\nbw weights in\n"
              "bw mllr of installed means\nbw weights in\nmap tau 5.000000\n"
              "bw map of mllr of installed means by contas1\nbw weights ad\nmap tau 5.000000\n")
        << log;
    EXPECT_EQ(dir.Read("pasta/voz/means"), "map of mllr of installed means by contas2\n");
    EXPECT_EQ(dir.Read("pasta/voz/mixture_weights"), "adapted weights\n");
    EXPECT_FALSE(fs::exists(dir.Path() / "pasta/voz/sendump"));
    EXPECT_EQ(dir.Read("pasta/voz/mdef"), "installed mdef");
    EXPECT_EQ(report.Steps.size(), 11u);
}
#endif

TEST(InstalledAcousticModel, TheProgramsArgumentFileElseTheTemplate) {
    zeltest::TTempDir dir;
    fs::create_directories(dir.Path() / "sphinx");
    dir.Write("sphinx/sphinx.arg.default", "-hmm " + kRoot + "/usr/modelo padrao\r\n-dither yes\r\n");
    EXPECT_EQ(InstalledAcousticModel(dir.File(""), dir.File("sphinx/")), kRoot + "/usr/modelo padrao");
    dir.Write("sphinx.arg", "-samprate 16000\r\n-hmm " + kRoot + "/meu/modelo\r\n");
    EXPECT_EQ(InstalledAcousticModel(dir.File(""), dir.File("sphinx/")), kRoot + "/meu/modelo");
    dir.Write("sphinx.arg", "-samprate 16000\r\n");
    EXPECT_EQ(InstalledAcousticModel(dir.File(""), dir.File("sphinx/")), kRoot + "/usr/modelo padrao");
    // A relative model, as the Windows edition ships it, lies in the recognizer's folder.
    dir.Write("sphinx/sphinx.arg.default", "-hmm en-us\r\n");
    EXPECT_EQ(InstalledAcousticModel(dir.File(""), dir.File("sphinx/")), dir.File("sphinx/en-us"));
    fs::remove(dir.Path() / "sphinx/sphinx.arg.default");
    EXPECT_THROW(InstalledAcousticModel(dir.File(""), dir.File("sphinx/")), TError);
}

}  // namespace
}  // namespace zel
