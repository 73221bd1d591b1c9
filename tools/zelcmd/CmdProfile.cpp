// zelcmd profile FILE.zpr [--save OUT.zpr]
// One record a line, fields separated by tabs:
//   cmd <index> <phrase> <type code> <args> <pronunciation>
//   ditado <line>
#include "commands/Profile.h"
#include "commands/ZelError.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"

namespace zelcmd {

int RunProfile(const std::vector<std::string>& argv) {
    TArgs args = ParseArgs(argv, {"save"}, {});
    if (args.plain.size() != 1) throw zel::TError("uso: zelcmd profile FILE.zpr [--save OUT.zpr]");
    zel::TProfileState profile;
    zel::LoadProfile(profile, FromTerminal(args.plain[0]));
    for (int32_t i = 0; i < profile.Comandos.Count(); ++i) {
        const zel::TComando& c = profile.Comandos[i];
        PrintLine("cmd\t" + std::to_string(i) + "\t" + c.Cmd + "\t" + std::to_string(c.Acao) + "\t" + c.Args + "\t" +
                  c.Fonemas);
    }
    for (const auto& line : profile.Ditado) PrintLine("ditado\t" + line);
    if (args.Has("save")) zel::SaveProfile(profile, FromTerminal(args.Get("save")));
    return 0;
}

}  // namespace zelcmd
