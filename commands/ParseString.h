#pragma once
// The cut of a text at a one-character delimiter, used everywhere: command
// arguments at blanks, key combinations at "+", count lines at tabs.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

struct TParsedString {
    std::vector<std::string> Items;
    int32_t Count = 0;
};

// An empty text gives no piece; two delimiters in a row give an empty piece
// between them; a leading delimiter gives an empty first piece; a trailing
// delimiter gives no empty last piece.
TParsedString ParseString(std::string_view s, char delim);

}  // namespace zel
