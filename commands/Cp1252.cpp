#include "commands/Cp1252.h"

#include <array>
#include <unordered_map>
#include <unordered_set>

#include "commands/SystemText.h"

namespace zel {
namespace {

// Code points of 0x80..0x9F; the undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ByteToCodePoint(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return kHighControls[b - 0x80];
    return b;
}

int CodePointToByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    static const std::unordered_map<char32_t, unsigned char> reverse = [] {
        std::unordered_map<char32_t, unsigned char> m;
        for (unsigned i = 0; i < kHighControls.size(); ++i) m[kHighControls[i]] = static_cast<unsigned char>(0x80 + i);
        return m;
    }();
    auto it = reverse.find(cp);
    return it == reverse.end() ? -1 : it->second;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

size_t NextUtf8(std::string_view text, size_t at, char32_t& cp) {
    unsigned char b = static_cast<unsigned char>(text[at]);
    size_t len;
    char32_t least;  // the smallest code point of that length: anything below is an overlong form
    if (b < 0x80) {
        cp = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        cp = b & 0x1F;
        len = 2;
        least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        cp = b & 0x0F;
        len = 3;
        least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        cp = b & 0x07;
        len = 4;
        least = 0x10000;
    } else {
        return 0;
    }
    if (at + len > text.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        unsigned char c = static_cast<unsigned char>(text[at + k]);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

std::string CodePointToUtf8(char32_t cp) {
    std::string out;
    AppendUtf8(out, cp);
    return out;
}

std::string WellFormedUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        size_t len = NextUtf8(bytes, i, cp);
        if (len == 0) {
            out += '?';
            ++i;
        } else {
            out.append(bytes.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::u16string Cp1252ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (unsigned char b : text) out += ByteToCodePoint(b);
    return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (unsigned char b : text) AppendUtf8(out, ByteToCodePoint(b));
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t cp;
        size_t len = NextUtf8(text, i, cp);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        int byte = CodePointToByte(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
        i += len;
    }
    return out;
}

std::string Utf16ToCp1252(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        int byte = CodePointToByte(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Well-formed UTF-8 with something beyond ASCII in it.
bool IsUtf8WithNonAscii(std::string_view bytes) {
    bool nonAscii = false;
    for (size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp;
        size_t len = NextUtf8(bytes, i, cp);
        if (len == 0) return false;
        nonAscii = true;
        i += len;
    }
    return nonAscii;
}

}  // namespace

TDecodedText DecodeFileText(std::string_view bytes) {
    TDecodedText result;
    if (bytes.starts_with(kUtf8Bom)) {
        result.Format = TTextFormat::Utf8Bom;
        bytes.remove_prefix(kUtf8Bom.size());
    } else if (IsUtf8WithNonAscii(bytes)) {
        result.Format = TTextFormat::Utf8;
    } else {
        result.Text.assign(bytes);
        return result;
    }
    // Composed form, so that decomposed accents (as some editors save them)
    // find their Windows-1252 letter.
    const std::string utf8 = systemtext::ComposedUtf8(bytes);
    std::unordered_set<char32_t> seen;
    result.Text.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        size_t len = NextUtf8(utf8, i, cp);
        if (len == 0) {  // only after a BOM: the rest was never checked
            cp = 0xFFFD;
            len = 1;
        }
        i += len;
        int byte = CodePointToByte(cp);
        if (byte >= 0) {
            result.Text += static_cast<char>(byte);
        } else if (seen.insert(cp).second) {
            result.Ignored += cp;
        }
    }
    return result;
}

std::string EncodeFileText(std::string_view cp1252, TTextFormat format) {
    switch (format) {
        case TTextFormat::Cp1252:
            // Windows-1252 text whose bytes happen to be well-formed UTF-8
            // ("Ã©") would be read back as UTF-8 and lose letters: it is
            // written as UTF-8 with a byte-order mark, which reads back as is.
            if (IsUtf8WithNonAscii(cp1252)) return std::string(kUtf8Bom) + Cp1252ToUtf8(cp1252);
            return std::string(cp1252);
        case TTextFormat::Utf8: return Cp1252ToUtf8(cp1252);
        case TTextFormat::Utf8Bom: return std::string(kUtf8Bom) + Cp1252ToUtf8(cp1252);
    }
    return std::string(cp1252);
}

}  // namespace zel
