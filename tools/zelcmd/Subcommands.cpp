#include "tools/zelcmd/Subcommands.h"

namespace zelcmd {

const std::vector<TSubcommand>& Subcommands() {
    static const std::vector<TSubcommand> table = {
        {"profile", "zelcmd profile FILE.zpr [--save OUT.zpr]", RunProfile},
        {"phonemes", "zelcmd phonemes TEXT...", RunPhonemes},
        {"model", "zelcmd model --corpus FILE --out DIR", RunModel},
        {"say", "zelcmd say [--profile FILE.zpr] [--settings config.ini] [--modnum modnum.ini] [--dry-run] FRASE...",
         RunSay},
    };
    return table;
}

}  // namespace zelcmd
