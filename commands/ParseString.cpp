#include "commands/ParseString.h"

namespace zel {

TParsedString ParseString(std::string_view s, char delim) {
    TParsedString result;
    size_t start = 0;
    for (;;) {
        size_t at = s.find(delim, start);
        if (at == std::string_view::npos) break;
        result.Items.emplace_back(s.substr(start, at - start));
        start = at + 1;
    }
    if (start < s.size()) result.Items.emplace_back(s.substr(start));
    result.Count = static_cast<int32_t>(result.Items.size());
    return result;
}

}  // namespace zel
