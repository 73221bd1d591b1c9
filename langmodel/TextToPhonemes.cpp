// Portuguese letters to phoneme symbols: one left-to-right pass with one
// character of look-ahead and one of look-behind, no word list.
#include <string>
#include <string_view>

#include "langmodel/ParserPortugues.h"
#include "langmodel/PhoneSegments.h"

namespace zel {
namespace {

constexpr unsigned char kAAcute = 0xE1, kATilde = 0xE3, kCCedil = 0xE7, kEAcute = 0xE9, kECirc = 0xEA,
                        kIAcute = 0xED, kOAcute = 0xF3, kOTilde = 0xF5, kUAcute = 0xFA, kUDiaer = 0xFC;

// Calls emit(first letter, letters used, phones) for every step of the pass;
// phones is empty for a blank or a silent letter.
template <class Emit>
void ScanLetters(std::string_view text, Emit&& emit) {
    const size_t n = text.size();
    // Only the ASCII capitals fold; the accented capitals stay and say nothing.
    auto at = [&](size_t i) -> unsigned char {
        unsigned char c = static_cast<unsigned char>(text[i]);
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
    };
    std::string out;
    size_t i = 0;
    while (i < n) {
        const unsigned char c = at(i);
        const bool first = i == 0;
        const bool last = i + 1 == n;
        const unsigned char next = last ? 0 : at(i + 1);
        const unsigned char prev = first ? 0 : at(i - 1);
        size_t used = 1;
        switch (c) {
        case 'a':
        case kAAcute:
            if (next == 'i') out += "AY", used = 2;
            else if (next == 'u') out += "AW", used = 2;
            else out += "AA";
            break;
        case 'c':
            if (last) out += "K";
            else if (next == 'e' || next == 'i' || next == kEAcute || next == kECirc || next == kIAcute) out += "S";
            else if (next == 'h') out += "SH";
            else out += "K";
            break;
        case 'e':
            if (next == 'i') out += "EY", used = 2;
            else if (next == 'u') out += "EH W", used = 2;
            else out += "EH";
            break;
        case 'h':
            break;
        case 'i':
        case kIAcute:
            out += "Y";
            break;
        case 'j':
            out += "JH";
            break;
        case 'o':
        case kOAcute:
            if (next == 'i') out += "OY", used = 2;
            else if (next == 'u') out += "OW", used = 2;
            else out += "OW";
            break;
        case 'p':
            out += (!first && next == 'h') ? "F" : "P";
            break;
        case 'q':
            out += "K";
            break;
        case 'r':
            if (first) out += "HH";
            else if (next == 'r') out += "HH", used = 2;
            else out += "R";
            break;
        case 's':
            if (first || last) out += "S";
            else if (next == 'a' || next == 'e' || next == 'i' || next == 'o' || next == 'u' || next == kAAcute ||
                     next == kATilde || next == kEAcute || next == kIAcute || next == kOAcute)
                out += "Z";
            else if (next == 's') out += "S", used = 2;
            else out += "S";
            break;
        case 'u':
        case kUAcute:
            if (first) out += "W";
            else if ((prev == 'g' || prev == 'q') && (last || next == 'e' || next == 'i')) {
                // silent: gue, gui, que, qui, and a final gu or qu
            } else out += "W";
            break;
        case 'w':
            out += "V";
            break;
        case 'x':
            out += "SH";
            break;
        case kATilde:
            out += "AH";
            break;
        case kCCedil:
            out += "S";
            break;
        case kEAcute:
            out += "EH";
            break;
        case kECirc:
            out += "EY";
            break;
        case kOTilde:
            out += "OW";
            break;
        case kUDiaer:
            out += "W";
            break;
        case 'b': case 'd': case 'f': case 'g': case 'k': case 'l': case 'm':
        case 'n': case 't': case 'v': case 'y': case 'z':
            out += static_cast<char>(c - 'a' + 'A');
            break;
        default:
            // blanks, digits, punctuation, â à ô and every other byte say nothing
            break;
        }
        emit(i, used, std::string_view(out));
        out.clear();
        i += used;
    }
}

}  // namespace

std::string TParserPortugues::TextToPhonemes(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    ScanLetters(text, [&](size_t, size_t, std::string_view phones) {
        out += phones;
        out += ' ';
    });
    return out;
}

std::vector<TPhoneSegment> PhoneSegments(std::string_view text) {
    std::vector<TPhoneSegment> out;
    ScanLetters(text, [&](size_t letter, size_t used, std::string_view phones) {
        out.push_back({letter, used, std::string(phones)});
    });
    return out;
}

}  // namespace zel
