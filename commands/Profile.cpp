#include "commands/Profile.h"

#include <algorithm>

#include "commands/IniFile.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"

namespace zel {
namespace {

// The INI region ends at the first line that is "[ditado]" in any case.
size_t FindDitadoLine(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (NameFold(lines[i]) == kDitadoMarker) return i;
    return lines.size();
}

std::string CmdSection(int32_t i) { return "cmd" + std::to_string(i); }

// A hand-edited count may be huge. Commands past the file's size have no
// section and so would be empty: clamp to the last section that exists
// instead of allocating billions of empty commands.
int32_t SoundCommandCount(const TIniDocument& ini, int32_t declared, size_t lineCount) {
    if (declared <= 0) return 0;
    if (static_cast<size_t>(declared) <= lineCount) return declared;
    int32_t last = -1;
    for (int32_t i = 0; i < static_cast<int32_t>(lineCount); ++i)
        if (ini.HasSection(CmdSection(i))) last = i;
    return last + 1;
}

}  // namespace

void ResetProfile(TProfileState& state) {
    state.TempoTecla = 10;
    state.TempoAtivacao = 5;
    state.ComandoAtual = -1;
    state.Comandos.Clear();
    state.Ditado.clear();
    if (state.OnReset) state.OnReset();
}

void LoadProfile(TProfileState& state, const std::string& fileName) {
    ResetProfile(state);
    std::vector<std::string> lines = ReadLines(fileName);
    size_t ditado = FindDitadoLine(lines);
    // Only the lines before the marker are INI: a dictation line that looks
    // like "[cmd3]" must never become a command.
    TIniDocument ini(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(ditado)));

    int32_t count = SoundCommandCount(ini, ini.ReadInteger("geral", "numcomandos", 0), ditado);
    TListaComandos comandos;
    comandos.SetLength(count);
    for (int32_t i = 0; i < count; ++i) {
        std::string section = CmdSection(i);
        TComando& c = comandos.At(i);
        c.Cmd = ini.ReadString(section, "cmd", "");
        c.Acao = static_cast<uint8_t>(ini.ReadInteger(section, "acao", 0) & 0xFF);
        c.Args = ini.ReadString(section, "args", "");
        c.Fonemas = ini.ReadString(section, "fonemas", "");
    }
    state.Comandos = std::move(comandos);
    if (ditado < lines.size()) state.Ditado.assign(lines.begin() + static_cast<std::ptrdiff_t>(ditado) + 1, lines.end());
}

void SaveProfile(const TProfileState& state, const std::string& fileName) {
    std::vector<std::string> lines;
    if (FileExists(fileName)) {
        try {
            lines = ReadLines(fileName);
        } catch (const TError&) {
            RaiseUnableToWrite(fileName);
        }
    }
    size_t ditado = FindDitadoLine(lines);
    // Writing into the region before the marker puts new sections there too,
    // where cutting the dictation block cannot reach them.
    TIniDocument ini(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(ditado)));
    ini.WriteInteger("geral", "numcomandos", state.Comandos.Count());
    for (int32_t i = 0; i < state.Comandos.Count(); ++i) {
        const TComando& c = state.Comandos[i];
        std::string section = CmdSection(i);
        ini.WriteString(section, "cmd", c.Cmd);
        ini.WriteString(section, "acao", std::to_string(c.Acao));
        ini.WriteString(section, "args", c.Args);
        ini.WriteString(section, "fonemas", c.Fonemas);
    }
    std::vector<std::string> out = ini.Lines();
    out.push_back(ditado < lines.size() ? lines[ditado] : std::string(kDitadoMarker));
    out.insert(out.end(), state.Ditado.begin(), state.Ditado.end());
    try {
        WriteLines(fileName, out);
    } catch (const TError&) {
        RaiseUnableToWrite(fileName);
    }
}

std::string ProfileCaption(const std::string& fileName) {
    auto slash = fileName.find_last_of('/');
    std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
    return "Profile atual: " + name;
}

}  // namespace zel
