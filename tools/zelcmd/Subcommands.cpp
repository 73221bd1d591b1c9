#include "tools/zelcmd/Subcommands.h"

namespace zelcmd {

const std::vector<TSubcommand>& Subcommands() {
    static const std::vector<TSubcommand> table = {
        {"profile", "zelcmd profile FILE.zpr [--save OUT.zpr]", RunProfile},
    };
    return table;
}

}  // namespace zelcmd
