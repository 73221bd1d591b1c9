#include "langmodel/WrittenForm.h"

namespace zel {
namespace {

bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == '+' || c == '%' || c == '#' || c == '(' || c == ')';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool NeedsWrittenForm(std::string_view token) {
    for (char c : token) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u == ' ' || NeedsEscape(u)) return true;
    }
    return false;
}

std::string WrittenForm(std::string_view token) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(token.size());
    for (char c : token) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u == ' ') {
            out += '+';
        } else if (NeedsEscape(u)) {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::string WordFromWrittenForm(std::string_view written) {
    std::string out;
    out.reserve(written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        char c = written[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < written.size() && HexValue(written[i + 1]) >= 0 &&
                   HexValue(written[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(written[i + 1]) * 16 + HexValue(written[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace zel
