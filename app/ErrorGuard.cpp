#include "app/ErrorGuard.h"

#include <QApplication>
#include <QMessageBox>

#include "commands/Cp1252.h"
#include "form/ErrorGuard.h"

namespace zel {

namespace {
TMessageSink& Sink() {
    static TMessageSink sink;
    return sink;
}

// The form's handlers show their messages here.
const bool kFormMessagesShownHere = [] {
    SetMessageShower([](const std::string& utf8) { ShowErrorMessage(QString::fromStdString(utf8)); });
    return true;
}();
}  // namespace

void SetMessageSink(TMessageSink sink) {
    Sink() = std::move(sink);
}

void ShowErrorMessage(const QString& message) {
    if (Sink()) {
        Sink()(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

QString ErrorText(const std::exception& error) {
    return QString::fromStdString(Cp1252ToUtf8(error.what()));
}

void ShowException(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error)) return;
    ShowErrorMessage(ErrorText(error));
}

bool Guard(const std::function<void()>& body) { return GuardHandler(body); }

}  // namespace zel
