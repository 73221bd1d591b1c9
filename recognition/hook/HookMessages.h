#pragma once
// The program's messages about the hook library (Windows-1252).
namespace zel {

inline constexpr const char* kDllNotFound = "DLL zeldll.dll n\xE3o encontrada";
inline constexpr const char* kFunctionsNotFound = "Fun\xE7\xF5" "es da DLL n\xE3o encontradas";
inline constexpr const char* kShmFailed = "Erro ao criar arquivo de mem\xF3ria";
inline constexpr const char* kOtherCopy = "Outra c\xF3pia do programa j\xE1 recebe a tecla de ativa\xE7\xE3o nesta tela";

}  // namespace zel
