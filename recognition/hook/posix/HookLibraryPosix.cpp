// The hook library on Linux: zeldll.so through dlopen, and the shared memory
// "ElReceptor" as a POSIX shared memory object of this user and display.
#include "recognition/hook/HookLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "platform/SystemProcess.h"
#include "recognition/hook/ActivationMessage.h"
#include "recognition/hook/HookMessages.h"

namespace zel {

void THookLibrary::LoadHookLibrary(const std::string& pastaExe) {
    if (handle_) return;
    const std::string file = NativePath(pastaExe + kHookLibraryFile).string();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw TError(kDllNotFound);
    auto lookup = [](void* h, const char* name) { return reinterpret_cast<TExport>(dlsym(h, name)); };
    if (!TakeExports(handle, lookup)) {
        dlclose(handle);
        throw TError(kFunctionsNotFound);
    }
}

std::string THookLibrary::ShmName() {
    const char* display = std::getenv("DISPLAY");
    return ReceptorShmName(static_cast<uint32_t>(getuid()), display ? display : "");
}

namespace {

// The process that holds an existing name, if it still runs.
bool HeldByRunningProcess(const std::string& name) {
    const int fd = shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) return false;
    uint32_t pid = 0;
    const bool read = pread(fd, &pid, sizeof pid, kReceptorPid * sizeof(uint32_t)) == sizeof pid;
    close(fd);
    if (!read || pid == ProcessId()) return false;
    return ProcessRunning(pid);
}

}  // namespace

void THookLibrary::OpenReceptor() {
    const std::string name = ShmName();
    int fd = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) {
        if (HeldByRunningProcess(name)) throw TError(kOtherCopy);
        // Left by a program that ended without closing: a new one in its place.
        shm_unlink(name.c_str());
        fd = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    }
    if (fd < 0) throw TError(kShmFailed);
    constexpr size_t size = kReceptorWords * sizeof(uint32_t);
    void* view = MAP_FAILED;
    if (fchmod(fd, 0600) == 0 && ftruncate(fd, size) == 0)
        view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        close(fd);
        shm_unlink(name.c_str());
        throw TError(kShmFailed);
    }
    shm_ = fd;
    receptor_ = static_cast<uint32_t*>(view);
    shmName_ = name;
}

// The name goes too: POSIX would keep it.
void THookLibrary::CloseReceptor() {
    munmap(receptor_, kReceptorWords * sizeof(uint32_t));
    close(static_cast<int>(shm_));
    shm_unlink(shmName_.c_str());
}

}  // namespace zel
