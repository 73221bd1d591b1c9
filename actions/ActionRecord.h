#pragma once
// What the interpretation of one sentence did, one record per action, so that
// the window, the terminal and the history file can say it in the same words
// (see Heard.h).
#include <cstdint>
#include <string>
#include <vector>

namespace zel {

enum class TActionKind : uint8_t {
    Command,  // a command's phrase was heard (it ran, or Ativo kept it back)
    Typed,    // a word that is no command was typed
    Ignored,  // a word that is no command, with Ativo clear: nothing done
    Enter,    // adventure mode sent Enter after typed text
};

struct TActionRecord {
    TActionKind Kind = TActionKind::Command;
    std::string Word;      // the phrase heard, Windows-1252
    uint8_t Acao = 0;      // the command's TTipoComando
    std::string Args;      // the command's arguments
    int32_t Repeat = 1;    // how many times the command was asked for
    bool Ran = true;       // false: Ativo was clear, the command did nothing
    bool AtivoAfter = false;  // Ativo once the command was done (activation)
};
using TActionRecords = std::vector<TActionRecord>;

}  // namespace zel
