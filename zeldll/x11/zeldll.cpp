// zeldll.so: the hook library. Four exports, C linkage, no arguments, no
// result; nothing else leaves the library (see exports.map).
#include "Indicator.h"
#include "KeyWatcher.h"

#define ZELDLL_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Created on first use and never destroyed by the C++ run time: the program
// may end with the watcher running, and the library's own unload hook below
// stops it first.
zeldll::TKeyWatcher& Watcher() {
    static auto* watcher = new zeldll::TKeyWatcher;
    return *watcher;
}

zeldll::TIndicator& Indicator() {
    static auto* indicator = new zeldll::TIndicator;
    return *indicator;
}

}  // namespace

// Starts reporting every key press and release of the X display to the window
// whose id stands in the shared memory of this user and display, and takes the
// activation key named there from the applications. Without a display, the
// RECORD extension or the shared memory, nothing starts. A second call while
// reporting changes nothing.
ZELDLL_EXPORT void HookOn() { Watcher().Start(); }

// Stops reporting and waits for the watcher's thread; nothing when none runs.
ZELDLL_EXPORT void HookOff() { Watcher().Stop(); }

ZELDLL_EXPORT void frmIndicadorMostrar() { Indicator().Show(); }

ZELDLL_EXPORT void frmIndicadorEsconder() { Indicator().Hide(); }

// Unloading the library (or the end of the program) with the watcher running:
// stop it while its code is still there.
__attribute__((destructor)) static void UnloadZelDll() { Watcher().StopAtUnload(); }
