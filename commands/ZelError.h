#pragma once
// The error every operation raises when it cannot go on. Its message is the
// text the user sees in the window's message box (or on zelcmd's stderr).
#include <stdexcept>
#include <string>
#include <string_view>

namespace zel {

class TError : public std::runtime_error {
public:
    explicit TError(const std::string& message) : std::runtime_error(message) {}
};

// The toolkit's own file and number messages, with the name or text in place of %s.
[[noreturn]] void RaiseCannotOpen(std::string_view fileName);
[[noreturn]] void RaiseCannotCreate(std::string_view fileName);
[[noreturn]] void RaiseUnableToWrite(std::string_view fileName);
[[noreturn]] void RaiseInvalidInteger(std::string_view text);

// Replaces the first "%s" of pattern by value.
std::string FormatMessage(std::string_view pattern, std::string_view value);

}  // namespace zel
