#pragma once
// A logout (SIGHUP), a kill (SIGTERM) or Ctrl+C in the terminal (SIGINT) ends
// the program the way "Sair" does: the message loop returns, the window is
// destroyed (settings written, recognizer stopped, hook closed, shared memory
// name unlinked). The handler only writes to a pipe; the loop reads it.
#include <QObject>

namespace zel {

// Installs the handlers; the notifier lives as a child of parent.
void QuitOnSignals(QObject* parent);

}  // namespace zel
