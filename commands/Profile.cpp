#include "commands/Profile.h"

#include <algorithm>

#include "commands/Cp1252.h"
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

// The indexes of the "cmd<i>" sections below the count, each once, ascending.
std::vector<int32_t> CommandSections(const TIniDocument& ini, int32_t count) {
    std::vector<int32_t> found;
    ini.ForEachSectionName([&](const std::string& name) {
        std::string folded = NameFold(name);
        if (folded.size() < 4 || folded.size() > 13 || folded.compare(0, 3, "cmd") != 0) return;
        if (!std::all_of(folded.begin() + 3, folded.end(), [](char c) { return c >= '0' && c <= '9'; })) return;
        if (folded.size() > 4 && folded[3] == '0') return;  // "cmd01" is not command 1
        long long index = std::stoll(folded.substr(3));
        if (index < count) found.push_back(static_cast<int32_t>(index));
    });
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

// Commands without a section are empty. A hand-edited count or section number
// may ask for billions of them: they are kept up to a fixed number plus one
// per this many bytes of the file's settings, far more than any saved profile
// has (a section header alone takes seven); past that only commands with a
// section count, and a count past the last section adds none.
constexpr size_t kFreeEmptyCommands = 1024;
constexpr size_t kBytesPerEmptyCommand = 16;

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
    std::string raw;
    try {
        raw = ReadFileBytes(fileName);
    } catch (const TError&) {
        ResetProfile(state);
        throw;
    }
    // A file that is no profile (a picture, a corpus, an empty file) is
    // refused, and the profile in use stays.
    auto notProfile = [&](const std::string& why) {
        throw TError(Utf8ToCp1252("O arquivo ") + FileNameForDisplay(fileName) + Utf8ToCp1252(" não é um profile: ") + why +
                     ".");
    };
    if (const std::string why = NotTextReason(raw); !why.empty()) notProfile(why);
    std::string bytes = DecodeTextFileBytes(fileName, raw);
    raw.clear();
    raw.shrink_to_fit();
    // Only the lines before the marker are INI: a dictation line that looks
    // like "[cmd3]" must never become a command.
    size_t settingsEnd = bytes.size();
    std::vector<std::string> ditado;
    bool marked = false;
    ForEachLine(bytes, [&](std::string_view line) {
        if (marked || NameFold(line) != kDitadoMarker) return;
        marked = true;
        settingsEnd = static_cast<size_t>(line.data() - bytes.data());
        size_t after = settingsEnd + line.size();
        if (after < bytes.size() && bytes[after] == '\r') ++after;
        if (after < bytes.size() && bytes[after] == '\n' && bytes[after - 1] != '\n') ++after;
        ditado = SplitLines(std::string_view(bytes).substr(after));
    });
    TIniDocument ini = TIniDocument::ForReading(std::string_view(bytes).substr(0, settingsEnd), [](std::string_view name) {
        return name == "geral" || name.substr(0, 3) == "cmd";
    });
    bool hasGeral = false;
    ini.ForEachSectionName([&](const std::string& name) { hasGeral = hasGeral || NameFold(name) == "geral"; });
    if (!hasGeral) notProfile(Utf8ToCp1252("falta a seção [geral]"));
    ResetProfile(state);
    state.Ditado = std::move(ditado);
    const size_t emptyBudget = kFreeEmptyCommands + settingsEnd / kBytesPerEmptyCommand;
    int32_t declared = std::max(0, ini.ReadInteger("geral", "numcomandos", 0));
    std::vector<int32_t> sections = CommandSections(ini, declared);
    bytes.clear();
    bytes.shrink_to_fit();

    int32_t count = declared;
    if (static_cast<size_t>(declared) > emptyBudget) count = sections.empty() ? 0 : sections.back() + 1;
    TListaComandos comandos;
    const size_t missing = static_cast<size_t>(count) > sections.size() ? static_cast<size_t>(count) - sections.size() : 0;
    comandos.Reserve(sections.size() + std::min(missing, emptyBudget));
    size_t empties = 0, next = 0;
    for (int32_t i = 0; i < count;) {
        bool present = next < sections.size() && sections[next] == i;
        if (present) {
            std::string section = CmdSection(i);
            TComando c;
            c.Cmd = ini.ReadString(section, "cmd", "");
            c.Acao = static_cast<uint8_t>(ini.ReadInteger(section, "acao", 0) & 0xFF);
            c.Args = ini.ReadString(section, "args", "");
            c.Fonemas = ini.ReadString(section, "fonemas", "");
            comandos.Append(std::move(c));
            ++next;
            ++i;
        } else if (empties < emptyBudget) {
            TComando c;
            c.Acao = 0;
            comandos.Append(std::move(c));
            ++empties;
            ++i;
        } else if (next < sections.size()) {
            i = sections[next];
        } else {
            break;
        }
    }
    state.Comandos = std::move(comandos);
}

void SaveProfile(const TProfileState& state, const std::string& fileName) {
    std::vector<std::string> lines;
    // A profile a Linux editor wrote in UTF-8 stays UTF-8; a new one is Windows-1252.
    TTextFormat format = TTextFormat::Cp1252;
    if (FileExists(fileName)) {
        try {
            TDecodedText old = DecodeFileText(ReadFileBytes(fileName));
            format = old.Format;
            lines = SplitLines(old.Text);
        } catch (const TError& e) {
            RaiseUnableToWrite(fileName, e.Reason());
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
        WriteFileAtomic(fileName, EncodeFileText(JoinLinesCrLf(out), format));
    } catch (const TError& e) {
        RaiseUnableToWrite(fileName, e.Reason());
    }
}

std::string ProfileCaption(const std::string& fileName) {
    std::string name = CoreFileName(NativePath(fileName).filename());
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
    return "Profile atual: " + FileNameForDisplay(name);
}

}  // namespace zel
