#include "platform/SystemProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "commands/TextFile.h"

namespace zel {

namespace {

// Whether name (a path, or a name on PATH) names a program that can run.
bool IsExecutable(const std::string& name) {
    if (name.find('/') != std::string::npos) return ::access(name.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t from = 0;
    while (from <= dirs.size()) {
        const size_t to = std::min(dirs.find(':', from), dirs.size());
        const std::string candidate = dirs.substr(from, to - from) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        from = to + 1;
    }
    return false;
}

}  // namespace

std::string ProgramFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    return CoreFileName(exe.parent_path()) + "/";
}

char FolderSeparator() { return '/'; }

std::string UserDataFolder() {
    auto env = [](const char* name) -> std::string {
        const char* v = std::getenv(name);
        return v && *v ? std::string(v) : std::string();
    };
    std::string folder = env("MORO_ZEL_HOME");
    if (folder.empty()) folder = env("XDG_DATA_HOME").empty() ? env("HOME") + "/.local/share/moro-zel" : env("XDG_DATA_HOME") + "/moro-zel";
    return folder.back() == '/' ? folder : folder + "/";
}

bool SharedInstallation(const std::string& folder) { return ::access(folder.c_str(), W_OK) != 0; }

uint32_t ProcessId() { return static_cast<uint32_t>(getpid()); }

bool ProcessRunning(uint32_t pid) {
    if (pid == 0) return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

int RunTool(const std::vector<std::string>& argv, const std::string& logFile, int timeoutSeconds) {
    if (argv.empty()) return -1;
    const std::string log = NativePath(logFile).string();
    int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    std::string line = "$";
    for (const auto& a : argv) line += " " + a;
    line += "\n";
    if (::write(fd, line.data(), line.size()) < 0) {
        // The log is only for reading afterwards; the tool still runs.
    }
    std::vector<std::string> args = argv;
    std::vector<char*> cargv;
    for (auto& a : args) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // Only what is safe between fork and exec. The tool gets SIGKILL
        // when the program ends, by a signal or otherwise.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        if (devnull >= 0) dup2(devnull, 0);
        dup2(fd, 1);
        dup2(fd, 2);
        execvp(cargv[0], cargv.data());
        _exit(127);
    }
    ::close(fd);
    if (devnull >= 0) ::close(devnull);
    if (pid < 0) return -1;
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, timeoutSeconds > 0 ? WNOHANG : 0);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) return -1;
        if (timeoutSeconds > 0 && std::chrono::steady_clock::now() - start > std::chrono::seconds(timeoutSeconds)) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return kToolTimedOut;
        }
        if (timeoutSeconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // A program that could not be started: exec failed in the child.
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127 && !IsExecutable(argv[0])) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace zel
