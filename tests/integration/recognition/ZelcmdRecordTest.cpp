// zelcmd train --record, through a real audio server: the sentences are read
// into the microphone one by one, Enter starting and stopping each take; the
// takes become the adapted model. Stopping half-way leaves the model there
// was before.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "commands/Cp1252.h"
#include "recognition/AudioSource.h"
#include "tests/integration/recognition/PrivatePulse.h"
#include "tests/integration/recognition/SpeechFixture.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// zelcmd as a user runs it in a terminal: we type on its standard input and
// read the prompts it writes to its error output.
class TTerminalRun {
public:
    TTerminalRun(const std::string& exe, const std::vector<std::string>& args, const std::string& outFile) {
        int in[2], err[2];
        // Close-on-exec: zelcmd must not hold its own input open, or closing it would never reach it.
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(err[1], 2);
            int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            std::vector<char*> argv{const_cast<char*>(exe.c_str())};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(exe.c_str(), argv.data());
            _exit(127);
        }
        close(in[0]);
        close(err[1]);
        stdin_ = in[1];
        stderr_ = err[0];
    }
    ~TTerminalRun() {
        CloseInput();
        if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (stderr_ >= 0) close(stderr_);
    }
    // Waits until the error output holds text (after what was already waited for).
    bool WaitFor(const std::string& text, std::chrono::seconds limit = 30s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            const size_t at = err_.find(text, seen_);
            if (at != std::string::npos) {
                seen_ = at + text.size();
                return true;
            }
            pollfd p{stderr_, POLLIN, 0};
            if (poll(&p, 1, 100) > 0 && !ReadMore()) return false;
        }
        return false;
    }
    void PressEnter() { ASSERT_EQ(write(stdin_, "\n", 1), 1); }
    void CloseInput() {
        if (stdin_ >= 0) close(stdin_);
        stdin_ = -1;
    }
    // The exit status, after reading the rest of the error output.
    int Finish() {
        CloseInput();
        while (ReadMore()) {
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& ErrorOutput() const { return err_; }

private:
    bool ReadMore() {
        char buf[512];
        const ssize_t n = read(stderr_, buf, sizeof buf);
        if (n > 0) err_.append(buf, static_cast<size_t>(n));
        return n > 0;
    }
    pid_t pid_ = -1;
    int stdin_ = -1, stderr_ = -1;
    std::string err_;
    size_t seen_ = 0;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ZelcmdRecord : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pulse.Running()) GTEST_SKIP() << "no private PulseAudio server: " << pulse.Why();
        // A program folder of its own, with a short prompt list.
        fs::copy_file(ZEL_RUNTIME_DIR "/zelcmd", program / "zelcmd");
        fs::copy(ZEL_RUNTIME_DIR "/sphinx", program / "sphinx");
        std::string list = "# frases\r\n";
        for (const auto& sentence : kSaid) list += zel::Utf8ToCp1252(sentence) + "\r\n";
        std::ofstream(program / "frases_treino.txt", std::ios::binary) << list;
        run = dir.Path() / "pasta";
    }
    // One take: Enter, what the microphone hears, and Enter again once
    // `seconds` of it have been said.
    void Take(TTerminalRun& zelcmd, const std::vector<int16_t>& heard, double seconds) {
        EXPECT_TRUE(zelcmd.WaitFor("Enter começa a gravar")) << zelcmd.ErrorOutput();
        zelcmd.PressEnter();
        EXPECT_TRUE(zelcmd.WaitFor("Gravando; Enter termina")) << zelcmd.ErrorOutput();
        pulse.Feed(heard);
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds + 0.3));
        zelcmd.PressEnter();
    }
    // Reads the first `takes` sentences into the microphone (after a take of
    // silence when mutedFirst), then closes the terminal's input; fedSeconds
    // gets how long each sentence was.
    int Record(size_t takes, std::vector<double>& fedSeconds, bool mutedFirst = false) {
        TTerminalRun zelcmd((program / "zelcmd").string(), {"train", "--record", "--folder", run.string()},
                            dir.File("train.out"));
        if (mutedFirst) {
            // The microphone hears only the room: the sentence is asked for again.
            zeltest::TRecording room;
            room.AddNoise(3.0, zeltest::kNoiseFloor);
            Take(zelcmd, room.Samples(), 0.7);
        }
        for (size_t i = 0; i < takes; ++i) {
            zeltest::TRecording take;
            take.AddSilence(0.3);
            take.AddSpeech(zeltest::Speak(kSaid[i], {"pt-br+m3", 150}));
            take.AddSilence(0.3);
            take.AddNoiseFloor(zeltest::kNoiseFloor, 40 + static_cast<uint32_t>(i));
            const double spoken = take.Seconds();
            // The room goes on sounding after the sentence, as a microphone does.
            take.AddNoise(3.0, zeltest::kNoiseFloor);
            Take(zelcmd, take.Samples(), spoken);
            fedSeconds.push_back(spoken);
        }
        const int rc = zelcmd.Finish();
        pulse.StopFeeding();
        errors = zelcmd.ErrorOutput();
        return rc;
    }
    // A short list, enough for the trainer's least amount of speech.
    const std::vector<std::string> kSaid = {"O gato preto dorme no telhado da casa velha.",
                                            "A chuva fina molhou as flores do jardim.",
                                            "Meu irmão Paulo comprou o carro azul ontem à tarde.",
                                            "As crianças brincam na praça depois da escola."};
    zeltest::TTempDir dir;
    zeltest::TPrivatePulse pulse;
    zeltest::TScopedEnv env{"PULSE_SERVER", pulse.Server()};
    fs::path program = [this] {
        fs::create_directory(dir.Path() / "programa");
        return dir.Path() / "programa";
    }();
    fs::path run;
    std::string errors;
};

TEST_F(ZelcmdRecord, EverySentenceReadIntoTheMicrophoneAdaptsTheModelASilentTakeIsAskedAgainAndAnInterruptionKeepsIt) {
    std::vector<double> fed;
    ASSERT_EQ(Record(4, fed, true), 0) << errors << ReadFile(run / "treino.log");
    const std::string out = ReadFile(dir.File("train.out"));
    const std::string first = "1 de 4: " + kSaid[0] + "\n";
    EXPECT_EQ(out.find(first + "Nada foi ouvido: verifique o microfone e grave de novo.\n" + first), 0u) << out;
    EXPECT_NE(out.find("4 de 4: " + kSaid[3] + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Modelo adaptado em " + (run / "voz").string() + " (4 frases"), std::string::npos) << out;

    // The takes are kept with their list, each as long as what was said into it.
    std::string list;
    for (size_t i = 0; i < kSaid.size(); ++i) list += "00" + std::to_string(i) + ".wav\t" + zel::Utf8ToCp1252(kSaid[i]) + "\r\n";
    EXPECT_EQ(ReadFile(run / "gravacoes" / "lista.tsv"), list);
    for (size_t i = 0; i < kSaid.size(); ++i) {
        int32_t rate = 0;
        const auto take = zel::ReadWavSamples((run / "gravacoes" / ("00" + std::to_string(i) + ".wav")).string(), rate);
        const double seconds = static_cast<double>(take.size()) / rate;
        EXPECT_EQ(rate, 16000);
        EXPECT_GT(seconds, fed[i]) << "take " << i;
        EXPECT_LT(seconds, fed[i] + 1.5) << "take " << i;
    }
    const std::string model = ReadFile(ZEL_SPHINX_MODEL "/means");
    const std::string adapted = ReadFile(run / "voz" / "means");
    EXPECT_EQ(adapted.size(), model.size());
    EXPECT_NE(adapted, model);

    // Stopped after the first take: an error, and the model trained above stays.
    fed.clear();
    EXPECT_EQ(Record(1, fed), 1);
    EXPECT_NE(errors.find("Gravação interrompida."), std::string::npos) << errors;
    EXPECT_EQ(ReadFile(run / "voz" / "means"), adapted);
    std::string models;
    for (const auto& e : fs::directory_iterator(run))
        if (e.path().filename().string().rfind("voz", 0) == 0) models += e.path().filename().string() + " ";
    EXPECT_EQ(models, "voz ");
}

}  // namespace
