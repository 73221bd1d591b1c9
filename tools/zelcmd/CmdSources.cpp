// zelcmd sources
// The audio server's recording sources the microphone choice offers, one a
// line: the name to give `zelcmd listen --source` (or "padrão"), a tab, and
// what the server calls it.
#include "commands/ZelError.h"
#include "recognition/AudioSources.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"

namespace zelcmd {

int RunSources(const std::vector<std::string>& argv) {
    if (!argv.empty()) throw zel::TError("uso: zelcmd sources");
    for (const zel::TAudioSourceInfo& s : zel::ListAudioSources())
        PrintLine((s.Name.empty() ? std::string(zel::kDefaultSourceCaption) : s.Name) + "\t" + s.Description);
    return 0;
}

}  // namespace zelcmd
