#pragma once
// A logout (SIGHUP), a kill (SIGTERM) or Ctrl+C in the terminal (SIGINT) ends
// the program the way "Sair" does: the message loop returns, the window is
// destroyed (settings written, recognizer stopped, hook closed, shared memory
// name unlinked). The handler only writes to a pipe; the loop reads it.
//
// A lost X connection cannot be caught that way: Qt (and Xlib) end the
// program with exit() from inside the loop. The quit path is then run by an
// exit handler instead.
#include <QObject>

#include <functional>

namespace zel {

// Installs the handlers; the notifier lives as a child of parent.
void QuitOnSignals(QObject* parent);

// quitPath runs if the program ends by exit() while it is set; an empty
// function (after the loop returned) clears it.
void QuitPathAtExit(std::function<void()> quitPath);

}  // namespace zel
