#include "actions/NumericModifiers.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "commands/IniFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"

namespace zel {

namespace {
// The indexes of the "num<i>" sections of the file below the count, each
// once, in ascending order. A ten-digit name is no reason to allocate.
std::vector<int64_t> EntrySections(const TIniDocument& ini, int64_t count) {
    std::vector<int64_t> found;
    for (const std::string& name : ini.SectionNames()) {
        std::string folded = NameFold(name);
        if (folded.size() < 4 || folded.compare(0, 3, "num") != 0) continue;
        std::string digits = folded.substr(3);
        if (digits.size() > 10 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        if (digits.size() > 1 && digits[0] == '0') continue;  // "num01" is not entry 1
        int64_t index = std::stoll(digits);
        if (index < count) found.push_back(index);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}
}  // namespace

void LoadNumericModifiers(TListaComandos& modificadores, const std::string& fileName) {
    TIniDocument ini = TIniDocument::ForReadingOrEmpty(fileName, [](std::string_view name) {
        return name.substr(0, 3) == "num" || name == "modnum";
    });
    int32_t n = ini.ReadInteger("modnum", "num", 0);
    if (n < 0) throw TError("Range check error");
    // Entries without a section are all alike (no word, number 0) and only
    // the first of equal words is ever found: the first of them keeps the
    // table's meaning. The table then holds at most one entry per section
    // of the file, whatever the count and the section numbers say.
    modificadores.Clear();
    auto addEntry = [&](int64_t i, bool present) {
        std::string section = "num" + std::to_string(i);
        TComando entry;
        if (present) {
            entry.Cmd = ini.ReadString(section, "cmd", "");
            entry.Args = ini.ReadString(section, "num", "0");
            entry.Fonemas = ini.ReadString(section, "fonemas", "");
        } else {
            entry.Args = "0";
        }
        entry.Acao = 0;
        modificadores.Append(std::move(entry));
    };
    bool placeholder = false;
    int64_t next = 0;  // the lowest index not yet in the table
    for (int64_t index : EntrySections(ini, n)) {
        if (index > next && !placeholder) {
            addEntry(next, false);
            placeholder = true;
        }
        addEntry(index, true);
        next = index + 1;
    }
    if (next < n && !placeholder) addEntry(next, false);
}

void LoadNumericModifiers(TActionContext& ctx, const std::string& pastaExe) {
    LoadNumericModifiers(ctx.Modificadores, ctx.ModNumFile.empty() ? pastaExe + "modnum.ini" : ctx.ModNumFile);
}

int32_t FindNumericModifier(const TActionContext& ctx, std::string_view word) {
    if (!ctx.Prefs.ModNum) return -1;
    int32_t index = ctx.Modificadores.FindPhrase(word);
    if (index < 0) return -1;
    return StrToInt(ctx.Modificadores[index].Args);
}

bool IsNumericModifier(const TActionContext& ctx, std::string_view word) {
    if (!ctx.Prefs.ModNum) return false;
    const int32_t index = ctx.Modificadores.FindPhrase(word);
    if (index < 0) return false;
    const std::optional<int32_t> n = TryStrToInt(ctx.Modificadores[index].Args);
    return !n || *n >= 0;
}

}  // namespace zel
