#include "HookLibrary.h"

#include "ActivationMessage.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

#include <dlfcn.h>
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

void THookLibrary::OpenKeyHook(uint32_t windowId) {
    if (!KeyHookOpen()) {
        const int fd = shm_open(kReceptorShmName, O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0) throw TError(kShmFailed);
        void* view = MAP_FAILED;
        // A name left by a program that ended without closing is taken over,
        // with this program's mode and size.
        if (fchmod(fd, 0600) == 0 && ftruncate(fd, sizeof(uint32_t)) == 0)
            view = mmap(nullptr, sizeof(uint32_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (view == MAP_FAILED) {
            close(fd);
            shm_unlink(kReceptorShmName);
            throw TError(kShmFailed);
        }
        shmFd_ = fd;
        receptor_ = static_cast<uint32_t*>(view);
    }
    __atomic_store_n(receptor_, windowId, __ATOMIC_RELEASE);
    HookOn();
}

void THookLibrary::CloseKeyHook() {
    HookOff();
    if (!KeyHookOpen()) return;
    munmap(receptor_, sizeof(uint32_t));
    close(shmFd_);
    shm_unlink(kReceptorShmName);
    receptor_ = nullptr;
    shmFd_ = -1;
}

}  // namespace zel
