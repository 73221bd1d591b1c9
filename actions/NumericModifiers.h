#pragma once
// Numeric modifiers: spoken number words (modnum.ini beside the program) that
// repeat the commands following them in a sentence.
#include <cstdint>
#include <string>
#include <string_view>

#include "actions/ActionContext.h"

namespace zel {

// Replaces the table with the contents of the file: section "modnum" key
// "num" = N, sections "num0".."num<N-1>" with "cmd", "num", "fonemas".
// A missing file is an empty table; a negative N raises "Range check error".
// Each entry's number stays text until its word is heard.
void LoadNumericModifiers(TListaComandos& modificadores, const std::string& fileName);
// The same for the program's own table: PastaExe + "modnum.ini" (or the
// context's ModNumFile).
void LoadNumericModifiers(TActionContext& ctx, const std::string& pastaExe);

// The repeat count a word stands for, or -1 when it is no modifier (or the
// modifiers are switched off). Raises "'%s' is not a valid integer value" for
// an entry whose number is not an integer.
int32_t FindNumericModifier(const TActionContext& ctx, std::string_view word);
// Whether FindNumericModifier takes the word for a modifier, without reading
// its number: true also for an entry whose number is no integer (its error
// comes when FindNumericModifier reads it), false for a negative one (an
// ordinary word).
bool IsNumericModifier(const TActionContext& ctx, std::string_view word);

}  // namespace zel
