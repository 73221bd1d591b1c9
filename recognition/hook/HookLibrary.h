#pragma once
// The program's side of the hook library (zeldll.dll on Windows, zeldll.so on
// Linux): loading it from the program's folder, the shared memory
// "ElReceptor" that tells the library which window receives the key reports,
// and the four calls into the library. The loading and the shared memory are
// each system's own (posix/, win32/).
//
// The library stays loaded until the program ends. While it is not loaded
// (missing file, broken file, missing export) every call into it is skipped.
#include "platform/Desktop.h"

#include <cstdint>
#include <string>

namespace zel {

// The library's file in the program's folder.
#ifdef _WIN32
inline constexpr const char* kHookLibraryFile = "zeldll.dll";
#else
inline constexpr const char* kHookLibraryFile = "zeldll.so";
#endif

class THookLibrary {
public:
    THookLibrary() = default;
    // Leaves no shared memory name behind: a key hook still open is closed.
    // The library itself stays loaded.
    ~THookLibrary();
    THookLibrary(const THookLibrary&) = delete;
    THookLibrary& operator=(const THookLibrary&) = delete;

    // Loads pastaExe + kHookLibraryFile and looks up "HookOn", "HookOff",
    // "frmIndicadorMostrar" and "frmIndicadorEsconder". Raises
    // "DLL zeldll.dll não encontrada" when the file cannot be loaded (missing,
    // not a library of this machine, unresolved symbols) and "Funções da DLL
    // não encontradas" when an export is missing; after either, Loaded() is
    // false and the program goes on without the hook. Loading twice keeps the
    // first library.
    //
    // At start-up the window catches the error, shows its message and goes
    // on: Loaded() false means no activation key reports and no indicator,
    // everything else works. The failure says nothing about the settings;
    // whatever start-up skips because of it must not be written back at exit.
    void LoadHookLibrary(const std::string& pastaExe);
    bool Loaded() const { return handle_ != nullptr; }

    // Creates the shared memory of this user and display (Linux:
    // ReceptorShmName, mode 0600; Windows: "Local\\ElReceptor", one per
    // logon session), stores the window id, the activation key's code (which the
    // library then takes for itself) and this process in it, and calls
    // "HookOn". A name left by a process that has ended is replaced; one of a
    // running copy raises "Outra cópia do programa já recebe a tecla de
    // ativação nesta tela". Raises "Erro ao criar arquivo de memória" when the
    // memory cannot be created or mapped; "HookOn" is not called then and
    // nothing is left behind. Opening again while open stores the id and key
    // again and calls "HookOn" again (the library keeps one watcher).
    void OpenKeyHook(uint32_t windowId, uint8_t activationKey = 0);
    // The name the shared memory has (or would have) now.
    static std::string ShmName();
    // Calls "HookOff" (also when the hook was never opened), then, when the
    // shared memory is open, unmaps it, closes it and removes its name.
    void CloseKeyHook();
    bool KeyHookOpen() const { return receptor_ != nullptr; }

    // The library's calls, each skipped while it is not loaded.
    void HookOn();
    void HookOff();
    void IndicadorMostrar();
    void IndicadorEsconder();

private:
    using TExport = void (*)();
    // The shared memory of this system: made (or refused) and mapped into
    // receptor_, then unmapped and closed.
    void OpenReceptor();
    void CloseReceptor();
    // Keeps the library when it has the four exports.
    bool TakeExports(void* handle, TExport (*lookup)(void* handle, const char* name));
    void* handle_ = nullptr;
    TExport hookOn_ = nullptr;
    TExport hookOff_ = nullptr;
    TExport mostrar_ = nullptr;
    TExport esconder_ = nullptr;

    intptr_t shm_ = -1;  // the descriptor (Linux) or the mapping's handle (Windows)
    uint32_t* receptor_ = nullptr;
    std::string shmName_;
};

// The on-screen indicator of the activation state, drawn by the hook library.
class THookIndicator final : public IIndicator {
public:
    explicit THookIndicator(THookLibrary& library) : library_(library) {}
    void Show() override { library_.IndicadorMostrar(); }
    void Hide() override { library_.IndicadorEsconder(); }

private:
    THookLibrary& library_;
};

}  // namespace zel
