#pragma once
// A profile on disk (*.zpr): INI sections [geral] and [cmd0]..[cmdN-1],
// then a line "[ditado]" and the dictation text, verbatim, to the end.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "commands/Comandos.h"

namespace zel {

inline constexpr const char* kDitadoMarker = "[ditado]";

// What a profile load replaces, and what the profile reset starts from.
struct TProfileState {
    TListaComandos Comandos;
    std::vector<std::string> Ditado;  // the dictation memo's lines
    int32_t TempoTecla = 10;          // key hold time, ms
    int32_t TempoAtivacao = 5;        // activation time, s
    int32_t ComandoAtual = -1;        // command shown in the editor, -1 for none
    // The window's part of the reset: show the page "menu", clear the list
    // box's selection, disable the editor, clear the memo control.
    std::function<void()> OnReset;
};

void ResetProfile(TProfileState& state);
// Raises "Cannot open file %s"; the profile is then empty (the reset ran).
// A file that is no profile (not text, or without the section [geral])
// raises "O arquivo %s não é um profile: …" and leaves the profile as it was.
void LoadProfile(TProfileState& state, const std::string& fileName);
// Keeps other sections and keys of an existing file; raises
// "Unable to write to %s" and leaves the old file whole when it cannot write.
void SaveProfile(const TProfileState& state, const std::string& fileName);

// "Profile atual: " and the file's name without its folder and less its last
// four characters, whatever they are.
std::string ProfileCaption(const std::string& fileName);
inline constexpr const char* kNoProfileCaption = "Profile Atual: (nenhum)";

}  // namespace zel
