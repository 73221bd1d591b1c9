#include "commands/LocaleCollator.h"

#include "commands/Cp1252.h"
#include "commands/SystemText.h"

namespace zel {

int LocaleCompare(std::string_view a, std::string_view b) {
    const int r = LocaleSortKey(a).compare(LocaleSortKey(b));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool LocaleEqual(std::string_view a, std::string_view b) { return LocaleCompare(a, b) == 0; }

std::string LocaleSortKey(std::string_view text) { return systemtext::CollationSortKey(Cp1252ToUtf16(text)); }

}  // namespace zel
