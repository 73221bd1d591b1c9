#include "HookLibrary.h"

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
