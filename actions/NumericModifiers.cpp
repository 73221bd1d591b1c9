#include "actions/NumericModifiers.h"

#include <algorithm>

#include "commands/IniFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"

namespace zel {

namespace {
// The highest index of a "num<i>" section in the file, or -1.
int64_t LastEntrySection(const TIniDocument& ini) {
    int64_t last = -1;
    for (const std::string& line : ini.Lines()) {
        std::string name;
        if (!ParseSectionHeader(line, name)) continue;
        std::string folded = NameFold(name);
        if (folded.size() < 4 || folded.compare(0, 3, "num") != 0) continue;
        std::string digits = folded.substr(3);
        if (digits.size() > 10 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        if (digits.size() > 1 && digits[0] == '0') continue;  // "num01" is not entry 1
        last = std::max<int64_t>(last, std::stoll(digits));
    }
    return last;
}
}  // namespace

void LoadNumericModifiers(TListaComandos& modificadores, const std::string& fileName) {
    TIniDocument ini = TIniDocument::LoadOrEmpty(fileName);
    int32_t n = ini.ReadInteger("modnum", "num", 0);
    if (n < 0) throw TError("Range check error");
    // Entries past the last section of the file are all alike (no word,
    // number 0), and only the first of equal words is ever found: one of them
    // keeps the table's meaning, where a count of two thousand million would
    // exhaust the memory.
    int64_t kept = std::min<int64_t>(n, LastEntrySection(ini) + 2);
    modificadores.Clear();
    for (int64_t i = 0; i < kept; ++i) {
        std::string section = "num" + std::to_string(i);
        TComando entry;
        entry.Cmd = ini.ReadString(section, "cmd", "");
        entry.Args = ini.ReadString(section, "num", "0");
        entry.Fonemas = ini.ReadString(section, "fonemas", "");
        entry.Acao = 0;
        modificadores.Append(std::move(entry));
    }
}

void LoadNumericModifiers(TActionContext& ctx, const std::string& pastaExe) {
    LoadNumericModifiers(ctx.Modificadores, pastaExe + "modnum.ini");
}

int32_t FindNumericModifier(const TActionContext& ctx, std::string_view word) {
    if (!ctx.Prefs.ModNum) return -1;
    int32_t index = ctx.Modificadores.FindPhrase(word);
    if (index < 0) return -1;
    return StrToInt(ctx.Modificadores[index].Args);
}

}  // namespace zel
