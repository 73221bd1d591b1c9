#include "app/SingleWindow.h"

#include <QLocalSocket>

#include <unistd.h>

namespace zel {

QString TSingleWindow::NameForDisplay() {
    QString display = qEnvironmentVariable("DISPLAY");
    // ":0.1" is display ":0"; a name holds no slash.
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    const qsizetype dot = display.indexOf(QLatin1Char('.'), colon < 0 ? 0 : colon);
    if (colon >= 0 && dot >= 0) display.truncate(dot);
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("moro-zel-%1-%2").arg(getuid()).arg(display);
}

bool TSingleWindow::HandedOver() const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(2000)) return false;
    socket.write("frente\n");
    socket.waitForBytesWritten(2000);
    // A window busy with a long task answers late, but it runs: this start
    // ends all the same (and never takes the name from it).
    socket.waitForReadyRead(2000);
    socket.disconnectFromServer();
    return true;
}

void TSingleWindow::Listen(std::function<void()> toFront) {
    toFront_ = std::move(toFront);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name_)) {
        // Nobody answered on it (HandedOver came first): left by a program that ended.
        QLocalServer::removeServer(name_);
        if (!server_.listen(name_)) return;
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                socket->readAll();
                if (toFront_) toFront_();
                socket->write("ok\n");
                socket->flush();
            });
        }
    });
}

}  // namespace zel
