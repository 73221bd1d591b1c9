// Keyboard and screen-reader access: what Qt's accessibility interface tells
// a screen reader about every control, and the window driven by keys alone.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTest>

#include "tests/unit/app/AppFixture.h"

using zeltest::AppFixture;

namespace {

class Access : public AppFixture {
protected:
    zel::TForm1& Active() {
        auto& f = Create();
        f.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        return f;
    }
    static QAccessibleInterface* Of(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }
    static bool CanPress(QWidget* w) {
        QAccessibleActionInterface* a = Of(w)->actionInterface();
        return a && a->actionNames().contains(QAccessibleActionInterface::pressAction());
    }
    static void PressBy(QWidget* w) { Of(w)->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); }
    static QString Focused() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }
};

}  // namespace

TEST_F(Access, EveryControlTheKeyboardReachesHasANameAndEveryHintIsADescription) {
    auto& f = Create();
    int controls = 0;
    for (QWidget* w : f.findChildren<QWidget*>()) {
        if (w->window() != &f || !(w->focusPolicy() & Qt::TabFocus)) continue;
        ++controls;
        QAccessibleInterface* a = Of(w);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << w->metaObject()->className() << " " << w->objectName().toStdString();
        if (!w->toolTip().isEmpty()) {
            EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << w->objectName().toStdString();
        }
    }
    EXPECT_GE(controls, 40);  // every page's buttons, boxes, lists and check boxes
    // The image buttons: their captions are only in the pictures.
    QAccessibleInterface* comandos = Of(f.BtnComandos);
    EXPECT_EQ(comandos->role(), QAccessible::Button);
    EXPECT_EQ(comandos->text(QAccessible::Name), "Comandos");
    EXPECT_EQ(comandos->text(QAccessible::Description), "Edita os comandos do profile");
    EXPECT_EQ(Of(f.edtTempoAtivo)->text(QAccessible::Name), QString::fromUtf8("Tempo de ativação (s)"));
    EXPECT_EQ(Of(f.edtArgProg)->text(QAccessible::Name), "Programa");
}

TEST_F(Access, AScreenReaderPressesTheImageButtons) {
    auto& f = Create();
    ASSERT_TRUE(CanPress(f.BtnComandos));
    PressBy(f.BtnComandos);
    EXPECT_EQ(f.CurrentPageName(), "comandos");
    PressBy(f.btnVoltar);
    EXPECT_EQ(f.CurrentPageName(), "menu");
    // The switch is a toggle button that tells whether it is on.
    QAccessibleInterface* sw = Of(f.btnReconhecer);
    EXPECT_TRUE(sw->state().checkable);
    EXPECT_FALSE(sw->state().checked);
    PressBy(f.btnReconhecer);
    EXPECT_TRUE(sw->state().checked);
    EXPECT_EQ(f.lblStatus->text(), QString::fromUtf8("Ouvindo…"));
    // While on, the menu's other buttons are disabled and offer no press.
    EXPECT_FALSE(CanPress(f.BtnComandos));
    PressBy(f.BtnComandos);
    EXPECT_EQ(f.CurrentPageName(), "menu");
    PressBy(f.btnReconhecer);
    EXPECT_FALSE(sw->state().checked);
    EXPECT_EQ(f.lblStatus->text(), "Reconhecimento Desligado");
}

TEST_F(Access, TabWalksTheMenuAsItReadsAndKeysPressTheButtons) {
    auto& f = Active();
    f.btnCarregarProfile->setFocus(Qt::TabFocusReason);
    QStringList walk;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walk << Focused();
    }
    EXPECT_EQ(walk, (QStringList{"btnSalvarProfile", "BtnComandos", "btnDitado", "btnPreferencias", "btnReconhecer",
                                 "btnTreinarVoz", "btnMinimizar", "MathBotao1", "btnCarregarProfile"}));
    // Space and Enter press the button that has the focus.
    f.BtnComandos->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.BtnComandos, Qt::Key_Space);
    EXPECT_EQ(f.CurrentPageName(), "comandos");
    // On a page, Escape is Voltar; on the menu, Alt+letter presses a button.
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_EQ(f.CurrentPageName(), "menu");
    QTest::keyClick(&f, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(f.CurrentPageName(), "prefs");
    QTest::keyClick(&f, Qt::Key_Escape);
    QTest::keyClick(&f, Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(f.CurrentPageName(), "ditado");
    // Tab leaves the dictation text instead of typing into it.
    f.mmoDitado->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.mmoDitado, Qt::Key_Tab);
    EXPECT_EQ(f.mmoDitado->toPlainText(), "");
    EXPECT_EQ(Focused(), "btnCarregarDitado");
    QTest::keyClick(&f, Qt::Key_Escape);
    QTest::keyClick(&f, Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(f.btnReconhecer->Checked());
    // A disabled button's key does nothing.
    QTest::keyClick(&f, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(f.CurrentPageName(), "menu");
    QTest::keyClick(&f, Qt::Key_R, Qt::AltModifier);
    EXPECT_FALSE(f.btnReconhecer->Checked());
}

TEST_F(Access, TheFocusedButtonIsOutlined) {
    auto& f = Active();
    const QImage before = f.btnDitado->grab().toImage();
    // A click brings no outline: the user is not using the keyboard.
    f.btnDitado->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(f.btnDitado->grab().toImage(), before);
    f.btnDitado->clearFocus();
    f.btnDitado->setFocus(Qt::TabFocusReason);
    const QImage focused = f.btnDitado->grab().toImage();
    EXPECT_NE(before, focused);
    // The outline runs along the edge; the caption in the middle stays.
    const QPoint middle = f.btnDitado->rect().center();
    EXPECT_EQ(before.pixel(middle), focused.pixel(middle));
    EXPECT_NE(before.pixel(1, middle.y()), focused.pixel(1, middle.y()));
}
