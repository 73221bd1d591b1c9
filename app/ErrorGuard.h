#pragma once
// Qt must never see an exception leave a slot. Every handler of the window
// runs its body through Guard: an error is shown in a message box (the
// window's title, the error's text) and the program goes on. What the
// handler did before the error stays done. EAbort stops a handler silently.
#include <QString>

#include <exception>
#include <functional>

namespace zel {

// Where the messages go: a message box in the program, a recorder in tests.
using TMessageSink = std::function<void(const QString& message)>;
void SetMessageSink(TMessageSink sink);
void ShowErrorMessage(const QString& message);
// The message of an error raised by the core (Windows-1252 text).
QString ErrorText(const std::exception& error);
// Shows the error unless it is EAbort.
void ShowException(const std::exception& error);

// Runs body; returns false when it raised (after showing the message).
bool Guard(const std::function<void()>& body);

}  // namespace zel
