// The program entry: the application titled "MORO Zel", the main window
// (which starts itself up), the message loop until "Sair" or a close; then
// the window is destroyed, which writes the settings back.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QStyleFactory>

#include <memory>

#include "app/ErrorGuard.h"
#include "app/Form1.h"
#include "app/QuitSignals.h"
#include "app/ZelServices.h"
#include "commands/TextFile.h"
#include "platform/x11/FileSync.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zel::InstallFileSync();
    QApplication::setApplicationName(QStringLiteral("MORO Zel"));
    QApplication::setApplicationDisplayName(QStringLiteral("MORO Zel"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Qt's own texts (the file dialogs, the message box's button) in Portuguese.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QStringLiteral("pt_BR")), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(zel::SkinImage(QStringLiteral("app_icon")))));
    // The window may hide in the notification area: only "Sair" ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    std::string pastaExe = zel::CoreFileName(std::filesystem::path(QCoreApplication::applicationDirPath().toStdString())) + "/";
    std::unique_ptr<zel::IWindowServices> services;
    try {
        services = zel::MakeZelServices(pastaExe);
    } catch (const std::exception& e) {
        // No desktop to type into (no X server, no XTest): nothing to do.
        zel::ShowException(e);
        return 1;
    }
    auto form = std::make_unique<zel::TForm1>(*services, pastaExe);
    zel::QuitOnSignals(&app);
    form->show();
    int rc = app.exec();
    form.reset();
    return rc;
}
