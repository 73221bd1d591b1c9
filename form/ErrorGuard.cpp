#include "form/ErrorGuard.h"

#include <cstdio>

#include "commands/Cp1252.h"

namespace zel {

namespace {
TMessageShower& Shower() {
    static TMessageShower shower;
    return shower;
}
}  // namespace

void SetMessageShower(TMessageShower shower) { Shower() = std::move(shower); }

void ShowMessageUtf8(const std::string& utf8) {
    if (Shower()) Shower()(utf8);
    else std::fprintf(stderr, "%s\n", utf8.c_str());
}

void ShowError(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error)) return;
    ShowMessageUtf8(Cp1252ToUtf8(error.what()));
}

bool GuardHandler(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        ShowError(e);
    } catch (...) {
        ShowMessageUtf8("Erro desconhecido");
    }
    return false;
}

}  // namespace zel
