#pragma once
// Every handler of the window runs its body through Guard: an error is shown
// in a message box (the window's title, the error's text) and the program
// goes on. What the handler did before the error stays done. EAbort stops a
// handler silently. The toolkit says how a message is shown.
#include <exception>
#include <functional>
#include <string>

namespace zel {

// Stops a handler without a message, as a user's cancel does.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// How the toolkit shows a message (UTF-8) in a message box.
using TMessageShower = std::function<void(const std::string& utf8)>;
void SetMessageShower(TMessageShower shower);
void ShowMessageUtf8(const std::string& utf8);
// Shows the error (core text) unless it is EAbort.
void ShowError(const std::exception& error);

// Runs body; returns false when it raised (after showing the message).
bool GuardHandler(const std::function<void()>& body);

}  // namespace zel
