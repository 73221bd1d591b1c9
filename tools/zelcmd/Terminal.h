#pragma once
// The terminal speaks UTF-8; the core speaks Windows-1252.
#include <string>
#include <string_view>
#include <vector>

namespace zelcmd {

// A UTF-8 command-line argument as core text. File names are not text: they
// go to the core as the terminal gave them (see zel::NativePath).
std::string FromTerminal(std::string_view utf8);
// Core text written to stdout as UTF-8, followed by a line feed.
void PrintLine(std::string_view cp1252);

// "--name VALUE" options and plain arguments.
struct TArgs {
    std::vector<std::string> plain;
    std::vector<std::pair<std::string, std::string>> options;  // name without dashes → value ("" for flags)
    bool Has(std::string_view name) const;
    std::string Get(std::string_view name, std::string_view fallback = "") const;
};
// flags: names that take no value. Raises zel::TError on an unknown or
// incomplete option.
TArgs ParseArgs(const std::vector<std::string>& argv, const std::vector<std::string>& valued,
                const std::vector<std::string>& flags);

}  // namespace zelcmd
