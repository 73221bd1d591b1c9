// zelcmd profile FILE.zpr [--save OUT.zpr] [--check [--modnum FILE]]
// One record a line, fields separated by tabs:
//   cmd <index> <phrase> <type code> <args> <pronunciation>
//   ditado <line>
// With --check, the phrases that sound alike instead (the program's modnum.ini
// unless --modnum names another table of number words):
//   parecido <phrase> <phrase or number word> <phoneme distance>
#include <cstdio>

#include "actions/NumericModifiers.h"
#include "commands/Profile.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "langmodel/Confusability.h"
#include "tools/zelcmd/TerminalSession.h"
#include "platform/SystemProcess.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"

namespace zelcmd {

int RunProfile(const std::vector<std::string>& argv) {
    TArgs args = ParseArgs(argv, {"save", "modnum"}, {"check"});
    if (args.plain.size() != 1) throw TExitError(kExitUsage, "uso: zelcmd profile FILE.zpr [--save OUT.zpr] [--check [--modnum FILE]]");
    zel::TProfileState profile;
    zel::LoadProfile(profile, args.plain[0]);
    if (args.Has("check")) {
        zel::TListaComandos numeros;
        const std::string modnum = args.Has("modnum") ? args.Get("modnum") : Folders().Runtime + "modnum.ini";
        if (args.Has("modnum") && !zel::FileExists(modnum)) zel::RaiseCannotOpen(modnum);
        zel::LoadNumericModifiers(numeros, modnum);
        for (const auto& p : zel::SoundAlikePairs(profile.Comandos, numeros)) {
            char distance[16];
            std::snprintf(distance, sizeof distance, "%.1f", p.Distance);
            PrintLine("parecido\t" + p.A + "\t" + p.B + "\t" + distance);
        }
        return 0;
    }
    for (int32_t i = 0; i < profile.Comandos.Count(); ++i) {
        const zel::TComando& c = profile.Comandos[i];
        PrintLine("cmd\t" + std::to_string(i) + "\t" + c.Cmd + "\t" + std::to_string(c.Acao) + "\t" + c.Args + "\t" +
                  c.Fonemas);
    }
    for (const auto& line : profile.Ditado) PrintLine("ditado\t" + line);
    if (args.Has("save")) zel::SaveProfile(profile, args.Get("save"));
    return 0;
}

}  // namespace zelcmd
