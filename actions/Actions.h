#pragma once
// What a recognized command does: start a program, press a key combination,
// type a text. (The activation command is in Activation.h.)
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "actions/ActionContext.h"
#include "commands/Comandos.h"

namespace zel {

// tcExecucao. Args = program, blank, parameters. The program's working folder
// is the folder part of its path (up to its last "/"), empty for a bare name.
// A program that cannot be started gives no message.
void LaunchProgram(TActionContext& ctx, const TComando& command);

// The working folder and the parameter text of a program command, as
// LaunchProgram hands them to the desktop. The parameter text is one blank
// before each parameter piece (" -w 1").
struct TLaunch {
    std::string Program;
    std::string Parameters;
    std::string WorkFolder;
};
TLaunch LaunchOf(std::string_view args);

// tcTecla. Args = key names joined by "+": all pressed in order, one hold
// time, all released in the same order. An empty name presses nothing.
void PressKeyCombination(TActionContext& ctx, const TComando& command);

// tcDigitacao. Args = flag blank, flag Enter, text: types the text, then the
// space bar and Enter as the flags say.
void TypeTextCommand(TActionContext& ctx, const TComando& command);

// Types a Windows-1252 text on the ABNT2 layout: ASCII letters become
// lower-case letters (the text is upper-cased in ASCII first and the letter
// keys pressed without Shift, as dictation wants them); accented letters go
// through the layout's dead keys; upper-case accented letters keep their case.
// Each key group is held TempoTecla ms; pending messages are handled after
// every character. Characters the layout cannot type are skipped.
void TypeText(TActionContext& ctx, std::string_view text);

// The key groups TypeText sends for one character, each group pressed in
// order, held, and released in the same order. Empty when the character has no
// key on the layout.
using TKeyGroup = std::vector<uint8_t>;
std::vector<TKeyGroup> KeysOfCharacter(unsigned char c);

}  // namespace zel
