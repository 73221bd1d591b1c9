#pragma once
// Small text helpers shared by every layer: trimming, integers, case folding.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zel {

// Removes the bytes 0x00..0x20 (blanks and control characters) at both ends.
std::string Trim(std::string_view text);

// The toolkit's string-to-integer conversion: optional leading blanks, an
// optional sign, decimal digits or hexadecimal after "$", "0x" or "0X";
// anything else, or a value outside 32 bits, is not an integer.
std::optional<int32_t> TryStrToInt(std::string_view text);
// Same, raising "'%s' is not a valid integer value" on failure.
int32_t StrToInt(std::string_view text);

// Upper/lower case of ASCII letters only (the accented letters stay).
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

// Lower case of ASCII and of the Latin-1 capitals À..Þ: the case folding of
// INI section and key names.
std::string NameFold(std::string_view text);

}  // namespace zel
