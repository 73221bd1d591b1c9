#pragma once
// A window over a recording set of outside parts, with its own program folder
// (a scratch folder) and a recorder in place of the message box.
#include <QCoreApplication>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/ErrorGuard.h"
#include "app/Form1.h"
#include "app/KeyCaptureEdit.h"
#include "mathImg/MathBotao.h"
#include "tests/support/TempDir.h"
#include "tests/unit/app/RecordingServices.h"
#include "tests/unit/mathImg/QtTestApp.h"

namespace zeltest {

class AppFixture : public ::testing::Test {
protected:
    AppFixture() : pasta(dir.Path().string() + "/") {
        zel::SetMessageSink([this](const QString& m) { messages << m; });
    }
    ~AppFixture() override {
        form.reset();
        zel::SetMessageSink(nullptr);
        zel::TMathBotao::ErrorHandler = nullptr;
    }

    zel::TForm1& Create() {
        form = std::make_unique<zel::TForm1>(services, pasta);
        form->TrayAvailable = [this] { return trayAvailable; };
        form->RunDialog = [this](QFileDialog& d) -> std::optional<QString> {
            dialogsShown << d.objectName();
            if (nextChoice.isEmpty()) return std::nullopt;
            return nextChoice.takeFirst();
        };
        form->RunQuestion = [this](const QString& question) {
            questions << question;
            return answer;
        };
        form->show();
        return *form;
    }
    // Ends the program as "Sair" does: the window is destroyed.
    void Destroy() { form.reset(); }

    TTempDir dir;
    std::string pasta;  // the program's folder, ending in "/"
    TRecordingServices services;
    std::unique_ptr<zel::TForm1> form;
    QStringList messages;
    QStringList nextChoice;    // what the next file dialogs answer (none: cancel)
    QStringList dialogsShown;
    QStringList questions;  // what the program asked, and the answer it gets
    zel::TFormWindow::TAnswer answer = zel::TFormWindow::TAnswer::Cancel;
    bool trayAvailable = true;  // the offscreen platform has none; the tests pretend
};

}  // namespace zeltest
