#include "platform/x11/FileSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "commands/TextFile.h"

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

void InstallFileSync() { SetFileSync(&SyncPath); }

}  // namespace zel
