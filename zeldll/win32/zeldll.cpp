// zeldll.dll: the hook library. Four exports, C linkage, no arguments, no
// result; nothing else leaves the library (see zeldll.def).
#include <windows.h>

#include "zeldll/win32/Indicator.h"
#include "zeldll/win32/KeyHook.h"

namespace {

// Created on first use and never destroyed by the C++ run time: the program
// may end with the hook running; the library's unload below ends it.
zeldll::TKeyHook& Hook() {
    static auto* hook = new zeldll::TKeyHook;
    return *hook;
}

zeldll::TIndicator& Indicator() {
    static auto* indicator = new zeldll::TIndicator;
    return *indicator;
}

}  // namespace

// Starts reporting every key press and release of the desktop to the window
// whose handle stands in the shared memory "Local\ElReceptor", and takes the
// activation key named there from the applications. Without the shared
// memory nothing starts. A second call while reporting changes nothing.
extern "C" void HookOn() { Hook().Start(); }

// Removes the hook and waits for its thread; nothing when none runs.
extern "C" void HookOff() { Hook().Stop(); }

extern "C" void frmIndicadorMostrar() { Indicator().Show(); }

extern "C" void frmIndicadorEsconder() { Indicator().Hide(); }

// Unloaded while the program goes on (FreeLibrary): the threads are told to
// end; at the end of the program Windows has ended them already.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        Hook().StopAtUnload();
        Indicator().StopAtUnload();
    }
    return TRUE;
}
