#pragma once
// The two things the core asks of the system about Unicode text: the user's
// collation (Brazilian Portuguese, case ignored, accents counting) and the
// composed normal form. The core includes no system header: each edition
// links its own implementation (platform/icu on Linux, platform/win32 on
// Windows), and both must give the same answers.
#include <string>
#include <string_view>

namespace zel::systemtext {

// A byte string whose memcmp order is the collation's order and whose
// equality is the collation's equality.
std::string CollationSortKey(std::u16string_view text);

// UTF-8 text in NFC ("e" + combining acute becomes "é"); the text as it is
// when it is composed already or cannot be composed.
std::string ComposedUtf8(std::string_view utf8);

}  // namespace zel::systemtext
