// The program entry: the application titled "MORO Zel", the main window
// (which starts itself up), the message loop until "Sair" or a close; then
// the window is destroyed, which writes the settings back.
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QStyleFactory>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

#include "app/ErrorGuard.h"
#include "app/Form1.h"
#include "app/QuitSignals.h"
#include "mathImg/MathBotao.h"
#include "app/SingleWindow.h"
#include "app/ZelServices.h"
#include "commands/TextFile.h"
#include "platform/SystemFiles.h"
#include "platform/SystemProcess.h"
#include "platform/x11/X11Desktop.h"

int main(int argc, char** argv) {
    // Qt aborts when it finds no display: say what is missing and end instead.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if ((!platform || std::string_view(platform).starts_with("xcb")) && !zel::TX11Desktop::Reachable()) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "MORO Zel precisa de uma tela X11 e n\u00e3o conseguiu conectar ao servidor X (DISPLAY=\"%s\").\n"
                     "Abra o programa numa sess\u00e3o gr\u00e1fica X11; sem tela, use o reconhecimento no terminal:\n"
                     "  zelcmd listen --profile PERFIL.zpr --dry-run\n",
                     display ? display : "");
        return 1;
    }
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

    // A window of this user on this display already runs: it comes to the front.
    zel::TSingleWindow single(zel::TSingleWindow::NameForDisplay());
    if (single.HandedOver()) return 0;
    zel::TForm1* shown = nullptr;
    single.Listen([&shown] {
        if (!shown) return;
        shown->showNormal();
        shown->raise();
        shown->activateWindow();
    });

    // The program's folder as the system names it: any name, also one
    // Windows-1252 cannot write, must find the files beside the program.
    const std::string pastaExe = zel::ProgramFolder();
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
    // The X server gone: Qt or Xlib calls exit() from inside the loop. The
    // window and the services are then taken down as after "Sair", without
    // waiting on the dead display.
    zel::QuitPathAtExit([&] {
        zel::TX11Desktop::SetProgramEnding();
        zel::TMathBotao::StopDrawing();
        shown = nullptr;
        form.reset();
        services.reset();
    });
    form->show();
    shown = form.get();
    int rc = app.exec();
    zel::QuitPathAtExit(nullptr);
    shown = nullptr;
    form.reset();
    return rc;
}
