#include "HookLibrary.h"

#include "ActivationMessage.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

#include <dlfcn.h>
#include <signal.h>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel {

namespace {
// Windows-1252, as every message of the program.
constexpr const char* kDllNotFound = "DLL zeldll.dll n\xE3o encontrada";
constexpr const char* kFunctionsNotFound = "Fun\xE7\xF5" "es da DLL n\xE3o encontradas";
constexpr const char* kShmFailed = "Erro ao criar arquivo de mem\xF3ria";
constexpr const char* kOtherCopy = "Outra c\xF3pia do programa j\xE1 recebe a tecla de ativa\xE7\xE3o nesta tela";
}  // namespace

THookLibrary::~THookLibrary() {
    if (KeyHookOpen()) CloseKeyHook();
}

void THookLibrary::LoadHookLibrary(const std::string& pastaExe) {
    if (handle_) return;
    const std::string file = NativePath(pastaExe + kHookLibraryFile).string();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw TError(kDllNotFound);
    auto lookup = [handle](const char* name) { return reinterpret_cast<TExport>(dlsym(handle, name)); };
    TExport on = lookup("HookOn");
    TExport off = lookup("HookOff");
    TExport mostrar = lookup("frmIndicadorMostrar");
    TExport esconder = lookup("frmIndicadorEsconder");
    if (!on || !off || !mostrar || !esconder) {
        dlclose(handle);
        throw TError(kFunctionsNotFound);
    }
    handle_ = handle;
    hookOn_ = on;
    hookOff_ = off;
    mostrar_ = mostrar;
    esconder_ = esconder;
}

void THookLibrary::HookOn() {
    if (Loaded()) hookOn_();
}

void THookLibrary::HookOff() {
    if (Loaded()) hookOff_();
}

void THookLibrary::IndicadorMostrar() {
    if (Loaded()) mostrar_();
}

void THookLibrary::IndicadorEsconder() {
    if (Loaded()) esconder_();
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
    if (!read || pid == 0 || static_cast<pid_t>(pid) == getpid()) return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

void THookLibrary::OpenKeyHook(uint32_t windowId, uint8_t activationKey) {
    if (!KeyHookOpen()) {
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
        shmFd_ = fd;
        receptor_ = static_cast<uint32_t*>(view);
        shmName_ = name;
        __atomic_store_n(&receptor_[kReceptorPid], static_cast<uint32_t>(getpid()), __ATOMIC_RELEASE);
    }
    __atomic_store_n(&receptor_[kReceptorKey], activationKey, __ATOMIC_RELEASE);
    __atomic_store_n(&receptor_[kReceptorWindow], windowId, __ATOMIC_RELEASE);
    HookOn();
}

void THookLibrary::CloseKeyHook() {
    HookOff();
    if (!KeyHookOpen()) return;
    munmap(receptor_, kReceptorWords * sizeof(uint32_t));
    close(shmFd_);
    shm_unlink(shmName_.c_str());
    receptor_ = nullptr;
    shmFd_ = -1;
}

}  // namespace zel
