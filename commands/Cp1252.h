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
// Meant for texts the user sees (Qt, the terminal); file contents go through
// DecodeFileText, which says what it left out.
std::string Utf8ToCp1252(std::string_view text);
std::string Utf16ToCp1252(std::u16string_view text);

// One code point as UTF-8.
std::string CodePointToUtf8(char32_t cp);
// UTF-8 bytes with every malformed byte replaced by '?'.
std::string WellFormedUtf8(std::string_view bytes);

// The length of the well-formed UTF-8 sequence at text[at] (1 to 4) with its
// code point, or 0 when it is malformed: overlong forms, surrogates and code
// points past U+10FFFF are malformed too.
size_t NextUtf8(std::string_view text, size_t at, char32_t& cp);

// How a text file the user gives is written: Windows-1252 as the program
// writes it, or UTF-8 as Linux editors write it (with or without a BOM).
enum class TTextFormat { Cp1252, Utf8, Utf8Bom };

struct TDecodedText {
    std::string Text;  // core text (Windows-1252)
    TTextFormat Format = TTextFormat::Cp1252;
    std::u32string Ignored;  // characters with no Windows-1252 form, each once, in order of appearance
};

// A file's bytes as core text. A BOM, or bytes that are well-formed UTF-8 with
// at least one non-ASCII character, make it UTF-8: a Windows-1252 text with
// accents is almost never well-formed UTF-8 (an accented letter would have to
// be followed by one of the C1 punctuation bytes), so validity decides.
// A UTF-8 text is composed first (NFC: "e" + combining acute is "é"); what is
// still outside Windows-1252 is left out and listed in Ignored.
TDecodedText DecodeFileText(std::string_view bytes);
// Core text written back in the format its file had.
std::string EncodeFileText(std::string_view cp1252, TTextFormat format);

}  // namespace zel
