#include "platform/SystemProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "commands/TextFile.h"

extern char** environ;

namespace zel {

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

int RunTool(const std::vector<std::string>& argv, const std::string& logFile) {
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

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, 1);
    posix_spawn_file_actions_adddup2(&actions, fd, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, cargv[0], &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fd);
    if (rc != 0) return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace zel
