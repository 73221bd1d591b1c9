#include "tools/zelcmd/Subcommands.h"

namespace zelcmd {

const std::vector<TSubcommand>& Subcommands() {
    static const std::vector<TSubcommand> table = {
        {"profile", "zelcmd profile FILE.zpr [--save OUT.zpr] [--check [--modnum FILE]]", RunProfile},
        {"phonemes", "zelcmd phonemes TEXT...", RunPhonemes},
        {"model", "zelcmd model --corpus FILE --out DIR | --profile FILE.zpr [--modnum FILE] --out DIR", RunModel},
        {"say", "zelcmd say [--profile FILE.zpr] [--settings config.ini] [--modnum modnum.ini] [--dry-run] FRASE...",
         RunSay},
        {"listen",
         "zelcmd listen --profile FILE.zpr [--audio FILE.wav] [--source NOME] [--dry-run] [--settings config.ini] "
         "[--modnum modnum.ini] [--folder DIR]",
         RunListen},
        {"sources", "zelcmd sources", RunSources},
        {"train", "zelcmd train --prompts LISTA.tsv | --record | --forget [--folder DIR]", RunTrain},
    };
    return table;
}

}  // namespace zelcmd
