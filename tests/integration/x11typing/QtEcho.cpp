// A Qt line edit of the tests: it takes the focus, prints "READY", and on
// Escape prints what it holds (UTF-8) and ends. A key with Control down is
// written into the text as <CTRL+key>.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

namespace {
class TEcho : public QLineEdit {
protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) {
            std::fputs(text().toUtf8().constData(), stdout);
            std::fflush(stdout);
            QApplication::quit();
            return;
        }
        if ((e->modifiers() & Qt::ControlModifier) && e->key() != Qt::Key_Control) {
            insert("<CTRL+" + QKeySequence(e->key()).toString().toLower() + ">");
            return;
        }
        QLineEdit::keyPressEvent(e);
    }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TEcho edit;
    edit.resize(400, 40);
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (edit.isActiveWindow() && edit.hasFocus()) {
            poll.stop();
            std::fputs("READY\n", stdout);
            std::fflush(stdout);
        } else {
            edit.activateWindow();
        }
    });
    poll.start(20);
    return app.exec();
}
