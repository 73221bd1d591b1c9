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
    // A message with the reason the system gave ("disco cheio") after it;
    // Reason() keeps it for a caller that raises a message of its own.
    TError(const std::string& message, const std::string& reason)
        : std::runtime_error(reason.empty() ? message : message + ": " + reason), reason_(reason) {}
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// The toolkit's own file and number messages, with the name or text in place
// of %s (a file name as FileNameForDisplay shows it), and the reason after a
// colon when one is known.
[[noreturn]] void RaiseCannotOpen(std::string_view fileName, const std::string& reason = "");
[[noreturn]] void RaiseCannotCreate(std::string_view fileName, const std::string& reason = "");
[[noreturn]] void RaiseUnableToWrite(std::string_view fileName, const std::string& reason = "");
[[noreturn]] void RaiseInvalidInteger(std::string_view text);

// Replaces the first "%s" of pattern by value.
std::string FormatMessage(std::string_view pattern, std::string_view value);

}  // namespace zel
