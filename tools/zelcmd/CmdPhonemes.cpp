// zelcmd phonemes TEXT...
// The pronunciation of each text, one line each, as the builder makes it
// (before any trimming: every symbol is followed by a blank).
#include "commands/ZelError.h"
#include "langmodel/ParserPortugues.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"

namespace zelcmd {

int RunPhonemes(const std::vector<std::string>& argv) {
    TArgs args = ParseArgs(argv, {}, {});
    if (args.plain.empty()) throw TExitError(kExitUsage, "uso: zelcmd phonemes TEXTO...");
    for (const auto& text : args.plain) PrintLine(zel::TParserPortugues::TextToPhonemes(FromTerminal(text)));
    return 0;
}

}  // namespace zelcmd
