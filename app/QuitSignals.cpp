#include "app/QuitSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>

namespace zel {

namespace {

int signalPipe[2] = {-1, -1};

std::function<void()>& ExitQuitPath() {
    static auto* path = new std::function<void()>;  // never destroyed: exit handlers run late
    return *path;
}

void RunQuitPathAtExit() {
    std::function<void()> path;
    path.swap(ExitQuitPath());  // once
    if (path) path();
}

void OnSignal(int signo) {
    const int saved = errno;
    const char byte = static_cast<char>(signo);
    ssize_t ignored = write(signalPipe[1], &byte, 1);  // async-signal-safe; a full pipe already says "quit"
    (void)ignored;
    errno = saved;
}

}  // namespace

void QuitOnSignals(QObject* parent) {
    if (signalPipe[0] < 0 && pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char buffer[64];
        while (read(signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signo : {SIGTERM, SIGINT, SIGHUP}) sigaction(signo, &action, nullptr);
}

void QuitPathAtExit(std::function<void()> quitPath) {
    static const bool registered = std::atexit(&RunQuitPathAtExit) == 0;
    (void)registered;
    ExitQuitPath() = std::move(quitPath);
}

}  // namespace zel
