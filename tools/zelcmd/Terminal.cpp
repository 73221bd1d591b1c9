#include "tools/zelcmd/Terminal.h"

#include <algorithm>
#include <iostream>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"
#include "tools/zelcmd/Subcommands.h"

namespace zelcmd {

std::string FromTerminal(std::string_view utf8) { return zel::Utf8ToCp1252(utf8); }

void PrintLine(std::string_view cp1252) { std::cout << zel::Cp1252ToUtf8(cp1252) << '\n'; }

bool TArgs::Has(std::string_view name) const {
    return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

std::string TArgs::Get(std::string_view name, std::string_view fallback) const {
    for (const auto& o : options)
        if (o.first == name) return o.second;
    return std::string(fallback);
}

TArgs ParseArgs(const std::vector<std::string>& argv, const std::vector<std::string>& valued,
                const std::vector<std::string>& flags) {
    TArgs result;
    bool onlyPlain = false;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (onlyPlain || a.size() < 3 || a.rfind("--", 0) != 0) {
            if (a == "--") onlyPlain = true;
            else result.plain.push_back(a);
            continue;
        }
        std::string name = a.substr(2);
        if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
            result.options.emplace_back(name, "");
        } else if (std::find(valued.begin(), valued.end(), name) != valued.end()) {
            // core text is Windows-1252
            // An empty value is none: an empty folder name would be the root.
            if (i + 1 >= argv.size() || argv[i + 1].empty())
                throw TExitError(kExitUsage, "op\xE7\xE3o --" + FromTerminal(name) + " sem valor");
            result.options.emplace_back(name, argv[++i]);
        } else {
            throw TExitError(kExitUsage, "op\xE7\xE3o desconhecida: " + FromTerminal(a));
        }
    }
    return result;
}

}  // namespace zelcmd
