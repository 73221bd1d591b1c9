#include "platform/SystemFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zel {

bool SyncPath(const std::filesystem::path& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fsync(fd) == 0;
    int error = errno;
    close(fd);
    errno = error;
    return ok;
}

bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void InstallFileSync() {
    SetFileSync(&SyncPath);
    SetFileReplace(&MoveIntoPlace);
}

std::FILE* OpenOwnFile(const std::string& fileName, bool append, bool ownerOnly) {
    const std::filesystem::path path = NativePath(fileName);
    const int flags = O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC) | O_NOFOLLOW | O_CLOEXEC;
    const mode_t mode = ownerOnly ? 0600 : 0644;
    int fd = open(path.c_str(), flags, mode);
    if (fd < 0 && errno == ELOOP && unlink(path.c_str()) == 0) fd = open(path.c_str(), flags | O_EXCL, mode);
    if (fd < 0) return nullptr;
    std::FILE* f = fdopen(fd, append ? "ab" : "wb");
    if (!f) {
        const int error = errno;
        close(fd);
        errno = error;
    }
    return f;
}

TFolderLock::TFolderLock(const std::string& folder) {
    const std::string name = (EndsInFolderSeparator(folder) ? folder : folder + "/") + kFolderLockName;
    const std::filesystem::path path = NativePath(name);
    // Not inherited by the tools a training runs: they must not hold it on.
    const int flags = O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(path.c_str(), flags, 0644);
    if (fd < 0 && errno == ELOOP && unlink(path.c_str()) == 0) fd = open(path.c_str(), flags | O_EXCL, 0644);
    if (fd < 0) RaiseCannotCreate(name, std::strerror(errno));
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        throw TError(Utf8ToCp1252("Outra execução do programa usa a pasta ") + FileNameForDisplay(folder));
    }
    handle_ = fd;
}

TFolderLock::~TFolderLock() { close(static_cast<int>(handle_)); }

std::string WriteTemporaryFile(std::string_view bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zel-engine-XXXXXX").string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {};
    bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    if (ok) return pattern;
    ::unlink(pattern.c_str());
    return {};
}

}  // namespace zel
