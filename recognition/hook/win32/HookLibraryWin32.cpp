// The hook library on Windows: zeldll.dll loaded from the program's folder
// (by its full UTF-16 name, never through the DLL search path), and the
// shared memory "ElReceptor" as a named file mapping of this logon session.
#include "recognition/hook/HookLibrary.h"

#include <windows.h>

#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "platform/SystemProcess.h"
#include "recognition/hook/ActivationMessage.h"
#include "recognition/hook/HookMessages.h"

namespace zel {

void THookLibrary::LoadHookLibrary(const std::string& pastaExe) {
    if (handle_) return;
    HMODULE module = LoadLibraryExW(NativePath(pastaExe + kHookLibraryFile).c_str(), nullptr,
                                    LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) throw TError(kDllNotFound);
    auto lookup = [](void* h, const char* name) {
        return reinterpret_cast<TExport>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(h), name)));
    };
    if (!TakeExports(module, lookup)) {
        FreeLibrary(module);
        throw TError(kFunctionsNotFound);
    }
}

std::string THookLibrary::ShmName() { return kReceptorMappingName; }

void THookLibrary::OpenReceptor() {
    constexpr DWORD size = kReceptorWords * sizeof(uint32_t);
    const std::wstring name = NativePath(ShmName()).native();
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name.c_str());
    if (!mapping) throw TError(kShmFailed);
    // A mapping lives while a handle to it is open: one that exists belongs
    // to a running program.
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size);
    if (!view) {
        CloseHandle(mapping);
        throw TError(kShmFailed);
    }
    auto* words = static_cast<uint32_t*>(view);
    const uint32_t holder = __atomic_load_n(&words[kReceptorPid], __ATOMIC_ACQUIRE);
    if (existed && holder != ProcessId() && ProcessRunning(holder)) {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        throw TError(kOtherCopy);
    }
    shm_ = reinterpret_cast<intptr_t>(mapping);
    receptor_ = words;
    shmName_ = ShmName();
}

void THookLibrary::CloseReceptor() {
    UnmapViewOfFile(receptor_);
    CloseHandle(reinterpret_cast<HANDLE>(shm_));
}

}  // namespace zel
