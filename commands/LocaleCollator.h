#pragma once
// Phrases, number words and n-grams are compared as whole texts without
// regard to case by the user's locale, accents counting: "ABRIR" equals
// "abrir" and "Água" equals "água", but "agua" differs from "água". One
// collation (Brazilian Portuguese, the system's: see SystemText.h) serves
// finding and sorting alike, through its sort keys, so that both always agree.
#include <string>
#include <string_view>

namespace zel {

// <0, 0 or >0, like strcmp, on Windows-1252 texts.
int LocaleCompare(std::string_view a, std::string_view b);
bool LocaleEqual(std::string_view a, std::string_view b);

// A byte string whose memcmp order is LocaleCompare's order and whose
// equality is LocaleEqual: usable as a hash key and as a sort key.
std::string LocaleSortKey(std::string_view text);

}  // namespace zel
