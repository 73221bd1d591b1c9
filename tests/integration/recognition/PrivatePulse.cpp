#include "tests/integration/recognition/PrivatePulse.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

extern char** environ;

namespace zeltest {

TPrivatePulse::TPrivatePulse() { Start(); }

void TPrivatePulse::Restart() {
    Kill();
    Start();
}

void TPrivatePulse::Start() {
    namespace fs = std::filesystem;
    const std::string d = dir_.Path().string();
    why_.clear();
    std::error_code gone;
    fs::remove(d + "/native", gone);  // a socket left by a killed server
    {
        std::ofstream conf(d + "/pa.conf");
        conf << "load-module module-native-protocol-unix socket=" << d << "/native auth-anonymous=1\n"
             << "load-module module-pipe-source source_name=fifo_mic file=" << d
             << "/mic.fifo format=s16le rate=16000 channels=1\n"
             << "set-default-source fifo_mic\n";
    }
    std::vector<std::string> args = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                     "--disable-shm=true", "--use-pid-file=false", "-F", d + "/pa.conf"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // Its own home and runtime folder: nothing of a user's session is read.
    std::vector<std::string> env = {"HOME=" + d, "XDG_RUNTIME_DIR=" + d, "XDG_CONFIG_HOME=" + d,
                                    "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (d + "/pa.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, "pulseaudio", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        why_ = "pulseaudio could not be started";
        return;
    }
    pid_ = pid;
    // Ready when its socket and the source's pipe (made by the module) exist.
    for (int i = 0; i < 100; ++i) {
        std::error_code ec;
        if (fs::exists(d + "/native", ec) && fs::exists(d + "/mic.fifo", ec)) return;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            why_ = "pulseaudio exited at once";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    why_ = "pulseaudio did not open its socket";
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

TPrivatePulse::~TPrivatePulse() { Kill(); }

void TPrivatePulse::Kill() {
    StopFeeding();
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 60 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }
}

std::string TPrivatePulse::Server() const { return "unix:" + dir_.Path().string() + "/native"; }

void TPrivatePulse::Feed(std::vector<int16_t> samples, int32_t rate) {
    StopFeeding();
    stopFeeding_ = false;
    std::string fifo = dir_.Path().string() + "/mic.fifo";
    feeder_ = std::thread([this, fifo, rate, samples = std::move(samples)] {
        // Without a recording client the server stops draining the pipe;
        // what is said then is lost, as with a real microphone, rather than
        // holding up the feeder.
        int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) return;
        const size_t chunk = static_cast<size_t>(rate / 50);  // 20 ms
        auto start = std::chrono::steady_clock::now();
        for (size_t at = 0; at < samples.size() && !stopFeeding_; at += chunk) {
            size_t n = std::min(chunk, samples.size() - at);
            if (write(fd, samples.data() + at, n * sizeof(int16_t)) < 0 && errno != EAGAIN) break;
            std::this_thread::sleep_until(start + std::chrono::microseconds((at + n) * 1000000 / rate));
        }
        while (!stopFeeding_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        close(fd);
    });
}

void TPrivatePulse::StopFeeding() {
    stopFeeding_ = true;
    if (feeder_.joinable()) feeder_.join();
}

TScopedEnv::TScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        had_ = true;
        old_ = old;
    }
    setenv(name, value.c_str(), 1);
}

TScopedEnv::~TScopedEnv() {
    if (had_) setenv(name_.c_str(), old_.c_str(), 1);
    else unsetenv(name_.c_str());
}

}  // namespace zeltest
