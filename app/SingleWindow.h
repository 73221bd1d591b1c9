#pragma once
// One window per user and X display: a later start asks the running window
// to come to the front and ends, instead of a second copy that would fight
// the first over the activation key and the settings.
#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>

namespace zel {

class TSingleWindow : public QObject {
public:
    // The rendezvous of this user on this display (DISPLAY).
    static QString NameForDisplay();

    explicit TSingleWindow(QString name) : name_(std::move(name)) {}

    // True when a window of the same name runs (it was asked to come to the
    // front): this start has nothing more to do.
    bool HandedOver() const;
    // Waits for later starts; `toFront` runs for each. A name left by a
    // program that ended is taken over.
    void Listen(std::function<void()> toFront);

private:
    QString name_;
    QLocalServer server_;
    std::function<void()> toFront_;
};

}  // namespace zel
