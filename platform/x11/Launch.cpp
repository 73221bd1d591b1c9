#include "platform/x11/Launch.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zel {

std::vector<std::string> SplitParameters(const std::string& parameters) {
    std::vector<std::string> out;
    std::string current;
    bool inArgument = false, quoted = false;
    for (char c : parameters) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument) out.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) out.push_back(current);
    return out;
}

namespace {
bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The program is started after the child enters its work folder: a path
// relative to ours ("sub/prog.sh", or a relative PATH entry) would then name
// another file, or none.
std::string Absolute(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    char* here = getcwd(nullptr, 0);
    if (!here) return {};
    std::string out(here);
    std::free(here);
    if (out.back() != '/') out.push_back('/');
    return out + path;
}
}  // namespace

std::string FindExecutable(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? Absolute(program) : std::string();
    const char* pathVar = std::getenv("PATH");
    std::string path = pathVar ? pathVar : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        // An empty entry is the current folder.
        std::string candidate = end > start ? path.substr(start, end - start) : std::string(1, '.');
        candidate.push_back('/');
        candidate.append(program);
        if (IsExecutableFile(candidate)) return Absolute(candidate);
        start = end + 1;
    }
    return {};
}

bool SpawnDetached(const std::string& path, const std::vector<std::string>& arguments, const std::string& workFolder) {
    if (!workFolder.empty()) {
        struct stat st {};
        if (stat(workFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    }
    // Everything the child needs is made before fork: after it, only calls
    // that are safe in a child of a threaded program.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const char* folder = workFolder.empty() ? nullptr : workFolder.c_str();

    // The grandchild reports a failed chdir or exec through this pipe; a
    // successful exec closes it (close-on-exec) with nothing written.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        close(report[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        int err = 0;
        if (folder && chdir(folder) != 0) {
            err = errno;
        } else {
            execv(argv[0], argv.data());
            err = errno;
        }
        ssize_t ignored = write(report[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    while ((n = read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    bool childOk = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return childOk && n == 0;
}

}  // namespace zel
