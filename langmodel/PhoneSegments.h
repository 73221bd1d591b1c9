#pragma once
// The letters-to-phonemes pass step by step: which letters gave which
// phonemes. TextToPhonemes is these phonemes joined, each step followed by
// one blank; the pronunciation alternates are made on the steps.
#include <string>
#include <string_view>
#include <vector>

namespace zel {

struct TPhoneSegment {
    size_t Letter = 0;   // position of the step's first letter in the text
    size_t Letters = 0;  // letters it used (1, or 2 for "ai", "rr", "ss" …)
    std::string Phones;  // blank-separated symbols; empty for a blank or silent letter
};

std::vector<TPhoneSegment> PhoneSegments(std::string_view text);

}  // namespace zel
