#include "HookLibrary.h"

#include "platform/SystemProcess.h"
#include "recognition/hook/ActivationMessage.h"

namespace zel {

THookLibrary::~THookLibrary() {
    if (KeyHookOpen()) CloseKeyHook();
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

void THookLibrary::OpenKeyHook(uint32_t windowId, uint8_t activationKey) {
    if (!KeyHookOpen()) {
        OpenReceptor();
        __atomic_store_n(&receptor_[kReceptorPid], ProcessId(), __ATOMIC_RELEASE);
    }
    __atomic_store_n(&receptor_[kReceptorKey], activationKey, __ATOMIC_RELEASE);
    __atomic_store_n(&receptor_[kReceptorWindow], windowId, __ATOMIC_RELEASE);
    HookOn();
}

void THookLibrary::CloseKeyHook() {
    HookOff();
    if (!KeyHookOpen()) return;
    CloseReceptor();
    receptor_ = nullptr;
    shm_ = -1;
}

bool THookLibrary::TakeExports(void* handle, TExport (*lookup)(void* handle, const char* name)) {
    TExport on = lookup(handle, "HookOn");
    TExport off = lookup(handle, "HookOff");
    TExport mostrar = lookup(handle, "frmIndicadorMostrar");
    TExport esconder = lookup(handle, "frmIndicadorEsconder");
    if (!on || !off || !mostrar || !esconder) return false;
    handle_ = handle;
    hookOn_ = on;
    hookOff_ = off;
    mostrar_ = mostrar;
    esconder_ = esconder;
    return true;
}

}  // namespace zel
