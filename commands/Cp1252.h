#pragma once
// Windows-1252 is the program's own text: files, profiles, phrases. UTF-8
// exists only at the edges (Qt, the terminal, the recognizer's results).
#include <string>
#include <string_view>

namespace zel {

// Every byte maps to one code point; the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, so any byte string survives the round trip.
std::u16string Cp1252ToUtf16(std::string_view text);
std::string Cp1252ToUtf8(std::string_view text);

// Characters outside Windows-1252 become '?'; malformed UTF-8 sequences too.
std::string Utf8ToCp1252(std::string_view text);
std::string Utf16ToCp1252(std::u16string_view text);

}  // namespace zel
