// The window on a real X server (run by with_xvfb.sh, with trayer as the
// notification area): the shape the server holds, clicks through the cut-away
// field, dragging, the notification icon and its menu, and a picture of each
// page in build/screenshots/.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QAbstractButton>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "app/MicrophonePanel.h"
#include "app/WindowRegion.h"
#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/hook/ActivationMessage.h"
#include "tests/unit/app/AppFixture.h"

// X last: its macros (None, Bool, Status) clash with the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef None
#undef Bool
#undef Status

using zeltest::AppFixture;

namespace {

// A plain window that counts the presses that reach it.
class TBelow : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

class WindowX11 : public AppFixture {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(dpy, nullptr);
    }
    void TearDown() override {
        if (dpy) XCloseDisplay(dpy);
    }

    zel::TForm1& Open(QPoint at) {
        auto& f = Create();
        f.move(at);
        f.raise();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
        QTest::qWait(50);
        return f;
    }

    void MoveTo(QPoint p) {
        XTestFakeMotionEvent(dpy, -1, p.x(), p.y(), 0);
        XFlush(dpy);
        QTest::qWait(30);
    }
    void Button(int button, bool down) {
        XTestFakeButtonEvent(dpy, static_cast<unsigned>(button), down ? True : False, 0);
        XFlush(dpy);
        QTest::qWait(30);
    }
    void Click(QPoint p, int button = 1) {
        MoveTo(p);
        Button(button, true);
        Button(button, false);
    }
    static QPoint Centre(QWidget* w) { return w->mapToGlobal(w->rect().center()); }

    // The notification area embeds and places a new icon in steps: wait until
    // the icon's place holds still before aiming at it.
    QRect SettledIconGeometry(zel::TForm1& f) {
        QRect last;
        for (int i = 0; i < 30; ++i) {
            QTest::qWait(100);
            QRect now = f.TrayIcon->geometry();
            if (now == last && now.width() > 0) break;
            last = now;
        }
        return f.TrayIcon->geometry();
    }
    // A click on the icon opens popTray. On a loaded machine the first click
    // can land before the tray host has mapped the icon; click again then.
    bool ClickIconUntilTheMenuShows(zel::TForm1& f, int button) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            Click(SettledIconGeometry(f).center(), button);
            if (QTest::qWaitFor([&] { return f.popTray->isVisible(); }, 2000)) return true;
        }
        return false;
    }

    // The window's shape as the X server holds it.
    QRegion ServerShape(WId window) {
        int count = 0, ordering = 0;
        XRectangle* rects = XShapeGetRectangles(dpy, static_cast<Window>(window), ShapeBounding, &count, &ordering);
        QRegion region;
        for (int i = 0; i < count; ++i) region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
        if (rects) XFree(rects);
        return region;
    }

    void Shot(zel::TForm1& f, const QString& name) {
        QCoreApplication::processEvents();
        QTest::qWait(80);
        QImage img = f.screen()->grabWindow(0, f.x(), f.y(), f.width(), f.height()).toImage();
        QDir().mkpath(ZEL_SCREENSHOTS);
        ASSERT_TRUE(img.save(QStringLiteral(ZEL_SCREENSHOTS "/") + name + ".png"));
        // What the user sees: no magenta at the corners, the panel in the middle.
        EXPECT_NE(QColor(img.pixel(1, 1)), QColor(255, 0, 255)) << name.toStdString();
        EXPECT_NE(QColor(img.pixel(574, 430)), QColor(255, 0, 255)) << name.toStdString();
    }

    Display* dpy = nullptr;
};

}  // namespace

TEST_F(WindowX11, TheServerHoldsTheShapeAndClicksInTheFieldReachTheWindowBelow) {
    TBelow below;
    below.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    below.setGeometry(100, 100, 576, 432);
    below.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&below));
    auto& f = Open(QPoint(100, 100));

    const QRegion expected = zel::BuildWindowRegion(zel::SkinImage("fundo"));
    EXPECT_TRUE((f.WindowRegion() ^ expected).isEmpty());
    const QRegion shape = ServerShape(f.winId());
    EXPECT_FALSE(shape.isEmpty());
    EXPECT_TRUE((shape ^ expected).isEmpty()) << "server shape bounding " << shape.boundingRect().width() << "x"
                                              << shape.boundingRect().height();

    // The magenta corner belongs to the window below.
    Click(QPoint(101, 101));
    EXPECT_TRUE(QTest::qWaitFor([&] { return below.presses == 1; }, 2000));
    // The metal frame belongs to the window: its press records the drag origin.
    Click(QPoint(100 + 12, 100 + 200));
    QTest::qWait(100);
    EXPECT_EQ(below.presses, 1);
    EXPECT_EQ(f.DragOriginX, 12);
    EXPECT_EQ(f.DragOriginY, 200);
}

TEST_F(WindowX11, DraggingTheBackgroundMovesTheWindow) {
    auto& f = Open(QPoint(100, 100));
    MoveTo(QPoint(112, 300));
    Button(1, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.DragOriginX == 12 && f.DragOriginY == 200; }, 2000))
        << f.DragOriginX << "," << f.DragOriginY << " at " << f.x() << "," << f.y();
    MoveTo(QPoint(122, 305));
    MoveTo(QPoint(142, 320));
    Button(1, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.pos() == QPoint(130, 120); }, 2000)) << f.x() << "," << f.y();
    // With the right button held the window stays.
    MoveTo(QPoint(142, 320));
    Button(3, true);
    MoveTo(QPoint(182, 340));
    Button(3, false);
    QTest::qWait(100);
    EXPECT_EQ(f.pos(), QPoint(130, 120));
}

TEST_F(WindowX11, MinimizedTheIconOpensTheMenuAndAbrirPainelBringsTheWindowBack) {
    ASSERT_TRUE(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000)) << "no notification area";
    auto& f = Open(QPoint(200, 100));
    f.btnDitadoClick();
    Click(Centre(f.btnMinimizar));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 2000));
    ASSERT_NE(f.TrayIcon, nullptr);
    EXPECT_EQ(f.TrayIcon->toolTip(), "MORO Zel (desativado)");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.TrayIcon->isVisible() && f.TrayIcon->geometry().width() > 0; }, 5000));

    // The right button opens the menu too; "Cancelar" closes it and changes nothing.
    ASSERT_TRUE(ClickIconUntilTheMenuShows(f, 3));
    QStringList items;
    for (QAction* a : f.popTray->actions()) items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, (QStringList{"Abrir Painel", "Carregar Profile", "Reconhecer", "-", "Cancelar", "-", "Sair"}));
    Click(f.popTray->mapToGlobal(f.popTray->actionGeometry(f.cancelar1).center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.popTray->isVisible(); }, 3000));
    EXPECT_FALSE(f.isVisible());
    EXPECT_NE(f.TrayIcon, nullptr);

    ASSERT_TRUE(ClickIconUntilTheMenuShows(f, 1));
    {
        QImage desk = f.screen()->grabWindow(0).toImage();
        QDir().mkpath(ZEL_SCREENSHOTS);
        desk.save(QStringLiteral(ZEL_SCREENSHOTS "/tray_menu.png"));
    }
    Click(f.popTray->mapToGlobal(f.popTray->actionGeometry(f.AbrirPainel1).center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.isVisible(); }, 3000));
    EXPECT_EQ(f.TrayIcon, nullptr);
    EXPECT_EQ(f.CurrentPageName(), "ditado");  // the page survives hiding
}

TEST_F(WindowX11, APictureOfEveryPage) {
    auto& f = Open(QPoint(100, 100));
    zel::TComando c;
    c.Cmd = "copiar";
    c.Fonemas = zel::TParserPortugues::TextToPhonemes(c.Cmd);
    c.Acao = zel::tcTecla;
    c.Args = "CTRL+C";
    f.Profile.Comandos.Append(c);
    c.Cmd = "abrir bloco";
    c.Fonemas = zel::TParserPortugues::TextToPhonemes(c.Cmd);
    c.Acao = zel::tcExecucao;
    c.Args = "/usr/bin/gedit --new-window";
    f.Profile.Comandos.Append(c);
    c.Cmd = "assinatura";
    c.Fonemas = zel::TParserPortugues::TextToPhonemes(c.Cmd);
    c.Acao = zel::tcDigitacao;
    c.Args = "11Atenciosamente, Zel";
    f.Profile.Comandos.Append(c);
    f.lblProfile->setText("Profile atual: exemplo");

    Shot(f, "menu");
    f.BtnComandosClick();
    f.lbxCmds->setCurrentRow(1);
    Shot(f, "comandos");
    f.lbxCmds->setCurrentRow(0);
    Shot(f, "comandos_tecla");
    f.lbxCmds->setCurrentRow(2);
    Shot(f, "comandos_digitacao");
    f.btnPreferenciasClick();
    Shot(f, "prefs");
    f.btnDitadoClick();
    f.mmoDitado->setPlainText(QString::fromUtf8("bom dia\no sistema está pronto\nabra o navegador"));
    Shot(f, "ditado");
    f.ShowPage(f.pageApres);
    Shot(f, "apres");
    zel::WriteLines(f.PastaExe + "frases_treino.txt",
                    {zel::Utf8ToCp1252("O gato preto dorme no telhado da casa velha."), "A chuva fina molhou as flores."});
    f.btnTreinarVozClick();
    Shot(f, "treino");
    f.btnVoltarClick();
    f.btnReconhecer->WriteChecked(true);
    f.lblStatus->setText("Sphinx Inicializado");
    Shot(f, "menu_reconhecendo");
    f.btnReconhecer->WriteChecked(false);
}

TEST_F(WindowX11, TheHookLibrarysKeyReportsReachTheActivationHandler) {
    auto& f = Open(QPoint(100, 100));
    services.Calls.clear();
    auto send = [&](long type, long data0, long vk, long lParam) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = static_cast<Window>(f.winId());
        ev.xclient.message_type = static_cast<Atom>(type);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = data0;
        ev.xclient.data.l[1] = vk;
        ev.xclient.data.l[2] = lParam;
        XSendEvent(dpy, static_cast<Window>(f.winId()), False, NoEventMask, &ev);
        XFlush(dpy);
    };
    const long atom = static_cast<long>(XInternAtom(dpy, zel::kActivationKeyAtomName, False));
    send(atom, 0x1400, 0x78, 0);
    send(atom, 0x1400, 0x78, static_cast<long>(0xC0000001u));
    send(atom, 0x1234, 0x78, 0);  // another message: not a key report
    ASSERT_TRUE(QTest::qWaitFor([&] { return services.Calls.size() >= 2; }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(services.Trace(), "ActivationKey(120,down) ActivationKey(120,up)");
}

// Run at a scale factor of 1.5 too (window.X11.Scale150): the shaped edge
// shows the outline, never a blend with the see-through magenta.
TEST_F(WindowX11, TheShapedEdgeHasNoMagentaFringe) {
    auto& f = Open(QPoint(100, 100));
    QCoreApplication::processEvents();
    QTest::qWait(80);
    // The screen's own pixels: the grab goes through the server's shape.
    const QImage shown = f.screen()->grabWindow(0, f.x(), f.y(), f.width(), f.height()).toImage();
    const qreal scale = f.devicePixelRatio();
    EXPECT_EQ(shown.size(), (QSizeF(576, 432) * scale).toSize());
    int pink = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            if (c.red() > c.green() + 25 && c.blue() > c.green() + 25) ++pink;
        }
    EXPECT_EQ(pink, 0) << "scale " << scale;
    // The outline is still cut out: the corners show what lies below.
    EXPECT_EQ(QColor(shown.pixel(1, 1)), QColor(Qt::black));
}

// A changed profile is not dropped by the small x: the real question box
// asks, in Portuguese, and Cancelar keeps the window and the change.
TEST_F(WindowX11, TheSmallXAsksBeforeAChangedProfileIsDropped) {
    dir.Write("perfil.zpr", "[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=copiar\r\nacao=1\r\nargs=CTRL+C\r\n[ditado]\r\n");
    auto& f = Open(QPoint(100, 100));
    f.RunQuestion = [&f](const QString& question) { return f.QuestionBox(question); };
    nextChoice << QString::fromStdString(dir.File("perfil.zpr"));
    Click(Centre(f.btnCarregarProfile));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.lblProfile->text() == "Profile atual: perfil"; }, 3000));
    // The user adds a command on the commands page.
    Click(Centre(f.BtnComandos));
    ASSERT_EQ(f.CurrentPageName(), "comandos");
    f.edtCmd->setText("colar");
    Click(Centre(f.btnAdicionar));
    ASSERT_EQ(f.Profile.Comandos.Count(), 2);

    QString asked;
    QStringList buttons;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !asked.isEmpty()) return;
        asked = box->text();
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "Cancelar") {
                const QPoint at = Centre(b);
                XTestFakeMotionEvent(dpy, -1, at.x(), at.y(), 0);
                XTestFakeButtonEvent(dpy, 1, True, 30);
                XTestFakeButtonEvent(dpy, 1, False, 30);
                XFlush(dpy);
            }
    });
    answerer.start(200);
    Click(Centre(f.MathBotao1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty() && !QApplication::activeModalWidget(); }, 8000));
    answerer.stop();
    EXPECT_EQ(asked, QString::fromUtf8("Salvar as alterações em perfil?"));
    EXPECT_EQ(buttons.size(), 3);
    EXPECT_TRUE(buttons.contains("&Sim") && buttons.contains(QString::fromUtf8("&Não")) && buttons.contains("Cancelar")) << buttons.join(",").toStdString();
    QTest::qWait(300);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Profile.Comandos.Count(), 2);
    EXPECT_EQ(dir.Read("perfil.zpr").find("colar"), std::string::npos) << "Cancelar saves nothing";
}

// Escape on the open microphone list closes the list; the page stays. A
// second Escape is the page's Voltar.
TEST_F(WindowX11, EscapeOnTheOpenMicrophoneListClosesOnlyTheList) {
    auto& f = Open(QPoint(100, 100));
    Click(Centre(f.btnPreferencias));
    ASSERT_EQ(f.CurrentPageName(), "prefs");
    QComboBox* list = f.pnlMicrofone->cbxMicrofone;
    Click(Centre(list));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->view()->isVisible(); }, 3000));
    auto tap = [&](KeySym sym) {
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), True, 0);
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), False, 0);
        XFlush(dpy);
    };
    tap(XK_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->view()->isVisible(); }, 3000));
    QTest::qWait(300);
    EXPECT_EQ(f.CurrentPageName(), "prefs");
    XSetInputFocus(dpy, static_cast<Window>(f.winId()), RevertToParent, CurrentTime);
    XFlush(dpy);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.isActiveWindow(); }, 3000));
    tap(XK_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.CurrentPageName() == "menu"; }, 3000)) << f.CurrentPageName().toStdString();
}

// Last: it ends the program's event loop the way a user does.
TEST_F(WindowX11, AKeyboardAloneLoadsAProfileSwitchesOnAndOffAndQuits) {
    dir.Write("perfil.zpr", "[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=copiar\r\nacao=1\r\nargs=CTRL+C\r\n[ditado]\r\n");
    auto& f = Open(QPoint(100, 100));
    // The real file dialog, answered from the keyboard too.
    f.RunDialog = [](QFileDialog& d) -> std::optional<QString> {
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
        return d.selectedFiles().first();
    };
    f.dlgAbrirProfile->setDirectory(QString::fromStdString(dir.Path().string()));
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    auto key = [&](KeySym sym, bool down) {
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), down ? True : False, 0);
        XFlush(dpy);
    };
    auto tap = [&](KeySym sym, KeySym modifier = 0) {
        if (modifier) key(modifier, true);
        key(sym, true);
        key(sym, false);
        if (modifier) key(modifier, false);
    };
    auto tabTo = [&](QWidget* target) {
        for (int i = 0; i < 12 && QApplication::focusWidget() != target; ++i) {
            tap(XK_Tab);
            (void)QTest::qWaitFor([&] { return QApplication::focusWidget() != nullptr; }, 500);
            QTest::qWait(30);
        }
        return QApplication::focusWidget() == target;
    };

    // Alt+C opens the dialog; once it is up, the name and Enter (again, should
    // the first Enter only close the completion list).
    QTimer typist;
    int enters = 0;
    QObject::connect(&typist, &QTimer::timeout, [&] {
        if (QApplication::activeWindow() != f.dlgAbrirProfile || enters >= 3) return;
        if (enters++ == 0)
            for (char c : std::string("perfil.zpr")) tap(static_cast<KeySym>(c));
        tap(XK_Return);
    });
    typist.start(400);
    tap(XK_c, XK_Alt_L);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.lblProfile->text() == "Profile atual: perfil"; }, 8000)) << f.lblProfile->text().toStdString();
    typist.stop();
    EXPECT_EQ(f.Profile.Comandos.Count(), 1);
    // Without a window manager nobody gives the focus back to the window
    // when the dialog closes; a desktop's would.
    QTest::qWait(200);
    XSetInputFocus(dpy, static_cast<Window>(f.winId()), RevertToParent, CurrentTime);
    XFlush(dpy);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.isActiveWindow(); }, 3000));

    // Tab to the switch, Space: on. Alt+R: off.
    ASSERT_TRUE(tabTo(f.btnReconhecer));
    tap(XK_space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.btnReconhecer->Checked(); }, 3000));
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Ouvindo…"));
    tap(XK_r, XK_Alt_L);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.btnReconhecer->Checked(); }, 3000));
    EXPECT_EQ(f.lblStatus->text(), "Reconhecimento Desligado");

    // Tab to "Sair", Enter: the program's loop ends.
    ASSERT_TRUE(tabTo(f.MathBotao1));
    QTimer::singleShot(100, [&] { tap(XK_Return); });
    QTimer::singleShot(8000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
}
