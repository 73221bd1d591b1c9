// The command editor page and the two key capture boxes.
#include <QLabel>
#include <QToolButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QButtonGroup>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include "app/KeyCaptureEdit.h"
#include "commands/TextFile.h"
#include "tests/unit/app/AppFixture.h"

using zeltest::AppFixture;

namespace {

class Editor : public AppFixture {
protected:
    zel::TForm1& Open(std::vector<zel::TComando> commands = {}) {
        auto& f = Create();
        for (auto& c : commands) f.Profile.Comandos.Append(c);
        QTest::mouseClick(f.BtnComandos, Qt::LeftButton, {}, QPoint(5, 5));
        return f;
    }
    void Select(zel::TForm1& f, int row) {
        f.lbxCmds->setCurrentRow(row);  // as a click in the list does
    }
    // A real click of the mouse on an entry of the list.
    void ClickRow(zel::TForm1& f, int row) {
        QTest::mouseClick(f.lbxCmds->viewport(), Qt::LeftButton, {}, f.lbxCmds->visualItemRect(f.lbxCmds->item(row)).center());
    }
    bool NothingSelected(zel::TForm1& f) {
        return f.lbxCmds->selectedItems().isEmpty() && !f.pnlEditarCmd->isEnabled() && !f.edtCmd->isEnabled() &&
               f.Profile.ComandoAtual == -1;
    }
    QString Page(zel::TForm1& f) { return f.ntbArgs->currentWidget()->objectName(); }
    const zel::TComando& Cmd(zel::TForm1& f, int i) { return f.Profile.Comandos[i]; }
};

// One key event as the keyboard sends it (QTest would press the modifiers
// of a combination again before the key).
void Press(QWidget* w, int key, bool repeat = false) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeat);
    QCoreApplication::sendEvent(w, &e);
}
void Release(QWidget* w, int key, bool repeat = false) {
    QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier, QString(), repeat);
    QCoreApplication::sendEvent(w, &e);
}

zel::TComando Make(const char* cmd, uint8_t acao, const char* args, const char* fonemas = "") {
    zel::TComando c;
    c.Cmd = cmd;
    c.Acao = acao;
    c.Args = args;
    c.Fonemas = fonemas;
    return c;
}

}  // namespace

TEST_F(Editor, EmptyListLeavesThePanelDisabledAndTheArgumentsHidden) {
    auto& f = Open();
    EXPECT_EQ(f.CurrentPageName(), "comandos");
    EXPECT_EQ(f.lbxCmds->count(), 0);
    EXPECT_FALSE(f.pnlEditarCmd->isEnabled());
    EXPECT_FALSE(f.ntbArgs->isVisible());
    EXPECT_EQ(f.Profile.ComandoAtual, -1);
    EXPECT_EQ(f.rdgTipoCmd->toolTip(),
              QString::fromUtf8("Execução: Executa um programa\nTecla: Envia uma combinação do teclado\nAtivação: Habilita o "
                                "reconhecimento de comandos\nDigitação: Envia um texto como se o usuário tivesse digitado"));
}

TEST_F(Editor, AddingToAnEmptyListSelectsTheNewCommand) {
    auto& f = Open();
    QTest::mouseClick(f.btnAdicionar, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.lbxCmds->count(), 1);
    EXPECT_EQ(f.lbxCmds->currentRow(), 0);
    EXPECT_EQ(f.edtCmd->text(), "comando");
    EXPECT_EQ(f.edtFonemas->text(), "");
    EXPECT_EQ(Page(f), "tecla");
    EXPECT_EQ(f.edtArgTecla->text(), "");
    EXPECT_TRUE(f.pnlEditarCmd->isEnabled());
    EXPECT_TRUE(f.ntbArgs->isVisible());
    EXPECT_EQ(Cmd(f, 0).Acao, zel::tcTecla);
}

TEST_F(Editor, TypingThePhraseRegeneratesThePronunciationAtEveryKeystroke) {
    auto& f = Open({Make("x", zel::tcTecla, "")});
    Select(f, 0);
    f.edtCmd->clear();
    QTest::keyClicks(f.edtCmd, "ab");
    EXPECT_EQ(Cmd(f, 0).Cmd, "ab");
    EXPECT_EQ(f.edtFonemas->text(), "A B ");
    EXPECT_EQ(Cmd(f, 0).Fonemas, "A B ");
    // A hand edit of the pronunciation changes only Fonemas, in capitals.
    f.edtFonemas->setFocus();
    f.edtFonemas->end(false);
    QTest::keyClicks(f.edtFonemas, "x");
    EXPECT_EQ(f.edtFonemas->text(), "A B X");
    EXPECT_EQ(Cmd(f, 0).Fonemas, "A B X");
    EXPECT_EQ(Cmd(f, 0).Cmd, "ab");
    // The list keeps the old phrase until it is refilled.
    EXPECT_EQ(f.lbxCmds->item(0)->text(), "x");
}

TEST_F(Editor, ProgramArgumentsKeepTheirDoubleBlank) {
    auto& f = Open({Make("jogo", zel::tcExecucao, "C:\\jogo.exe -w  1")});
    Select(f, 0);
    EXPECT_EQ(Page(f), "execucao");
    EXPECT_EQ(f.edtArgProg->text(), "C:\\jogo.exe");
    EXPECT_EQ(f.edtArgPar->text(), "-w  1");
    EXPECT_EQ(Cmd(f, 0).Args, "C:\\jogo.exe -w  1");  // filling writes nothing back
    f.edtArgPar->setText("-w  1");
    f.edtArgPar->insert("");
    QTest::keyClick(f.edtArgPar, Qt::Key_End);
    QTest::keyClicks(f.edtArgPar, "0");
    EXPECT_EQ(Cmd(f, 0).Args, "C:\\jogo.exe -w  10");
}

TEST_F(Editor, SwitchingBetweenTypingCommandsLeavesBothArgumentsAlone) {
    auto& f = Open({Make("um", zel::tcDigitacao, "01um"), Make("dois", zel::tcDigitacao, "00dois")});
    Select(f, 0);
    EXPECT_EQ(Page(f), "digitacao");
    EXPECT_TRUE(f.chbArgEnter->isChecked());
    EXPECT_FALSE(f.chbArgEspaco->isChecked());
    EXPECT_EQ(f.edtArgTexto->text(), "um");
    Select(f, 1);
    EXPECT_EQ(f.edtArgTexto->text(), "dois");
    EXPECT_FALSE(f.chbArgEnter->isChecked());
    EXPECT_EQ(Cmd(f, 0).Args, "01um");
    EXPECT_EQ(Cmd(f, 1).Args, "00dois");
    f.chbArgEspaco->click();
    EXPECT_EQ(Cmd(f, 1).Args, "10dois");
}

TEST_F(Editor, ShortTypingArgumentsReadAsClearFlags) {
    auto& f = Open({Make("a", zel::tcDigitacao, "1")});
    Select(f, 0);
    EXPECT_TRUE(f.chbArgEspaco->isChecked());
    EXPECT_FALSE(f.chbArgEnter->isChecked());
    EXPECT_EQ(f.edtArgTexto->text(), "");
    EXPECT_EQ(Cmd(f, 0).Args, "1");
}

TEST_F(Editor, NewCommandSwitchedToExecucaoShowsEmptyBoxes) {
    auto& f = Open({Make("a", zel::tcExecucao, "/bin/a -x")});
    Select(f, 0);
    QTest::mouseClick(f.btnAdicionar, Qt::LeftButton, {}, QPoint(5, 5));
    f.rdgTipoCmdItems->button(0)->click();
    EXPECT_EQ(Page(f), "execucao");
    EXPECT_EQ(Cmd(f, 1).Acao, zel::tcExecucao);
    EXPECT_EQ(Cmd(f, 1).Args, "");  // the type change leaves the arguments alone
    Select(f, 0);
    Select(f, 1);
    EXPECT_EQ(f.edtArgProg->text(), "");
    EXPECT_EQ(f.edtArgPar->text(), "");
}

TEST_F(Editor, ChoosingAProgramWritesPathBlankAndParameters) {
    auto& f = Open({Make("a", zel::tcExecucao, "/bin/a -x")});
    Select(f, 0);
    nextChoice << "/usr/bin/gedit";
    QTest::mouseClick(f.SpeedButton7, Qt::LeftButton);
    EXPECT_EQ(dialogsShown, QStringList{"dlgAbrirProg"});
    EXPECT_EQ(Cmd(f, 0).Args, "/usr/bin/gedit -x");
}

TEST_F(Editor, RemovingTheOnlyCommandEmptiesEverything) {
    auto& f = Open({Make("a", zel::tcTecla, "A")});
    QTest::mouseClick(f.btnRemover, Qt::LeftButton, {}, QPoint(5, 5));  // nothing selected: nothing happens
    EXPECT_EQ(f.Profile.Comandos.Count(), 1);
    Select(f, 0);
    QTest::mouseClick(f.btnRemover, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.Profile.Comandos.Count(), 0);
    EXPECT_EQ(f.lbxCmds->count(), 0);
    EXPECT_EQ(f.lbxCmds->currentRow(), -1);
    EXPECT_FALSE(f.pnlEditarCmd->isEnabled());
    EXPECT_EQ(f.Profile.ComandoAtual, -1);
}

TEST_F(Editor, RemovingMovesLaterCommandsDown) {
    auto& f = Open({Make("a", zel::tcTecla, "A"), Make("b", zel::tcTecla, "B"), Make("c", zel::tcTecla, "C")});
    Select(f, 1);
    f.btnRemoverClick();
    EXPECT_EQ(f.lbxCmds->count(), 2);
    EXPECT_EQ(f.lbxCmds->item(1)->text(), "c");
    EXPECT_FALSE(f.pnlEditarCmd->isEnabled());
}

TEST_F(Editor, TypeOutsideTheFourKeepsItsCode) {
    auto& f = Open({Make("x", 7, "args")});
    Select(f, 0);
    EXPECT_EQ(f.rdgTipoCmdItems->checkedId(), -1);
    EXPECT_EQ(Cmd(f, 0).Acao, 7);
    f.rdgTipoCmdItems->button(3)->click();
    EXPECT_EQ(Cmd(f, 0).Acao, zel::tcDigitacao);
}

TEST_F(Editor, PhonemeListIsOpenedWithTheDesktop) {
    auto& f = Open({Make("x", zel::tcTecla, "")});
    Select(f, 0);
    EXPECT_EQ(f.SpeedButton1->toolTip(), "Lista de Fonemas");
    QTest::mouseClick(f.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(services.Calls.back(), "ShellOpen(" + pasta + "phoneset.txt)");
}

TEST_F(Editor, KeyBoxCapturesCombinationsInTheOrderPressed) {
    auto& f = Open({Make("x", zel::tcTecla, "")});
    Select(f, 0);
    f.edtArgTecla->setFocus();
    Press(f.edtArgTecla, Qt::Key_Control);
    Press(f.edtArgTecla, Qt::Key_Alt);
    Press(f.edtArgTecla, Qt::Key_T);
    EXPECT_EQ(f.edtArgTecla->text(), "CTRL+ALT+T");
    EXPECT_EQ(Cmd(f, 0).Args, "");  // written at the key up
    Release(f.edtArgTecla, Qt::Key_T);
    EXPECT_EQ(Cmd(f, 0).Args, "CTRL+ALT+T");
    // The next key down starts a new text.
    Press(f.edtArgTecla, Qt::Key_Shift);
    Release(f.edtArgTecla, Qt::Key_Shift);
    EXPECT_EQ(Cmd(f, 0).Args, "SHIFT");
    // Unnamed keys: first empties the box, inside a combination add "+".
    Press(f.edtArgTecla, Qt::Key_Space);
    EXPECT_EQ(f.edtArgTecla->text(), "");
    Press(f.edtArgTecla, Qt::Key_F10);
    Press(f.edtArgTecla, Qt::Key_Backspace);
    EXPECT_EQ(f.edtArgTecla->text(), "+F10+");
    Release(f.edtArgTecla, Qt::Key_Backspace);
    // Typed characters never reach the box.
    QTest::keyClicks(f.edtArgTecla, "ab");
    EXPECT_EQ(f.edtArgTecla->text(), "B");
}

TEST_F(Editor, AutoRepeatAddsTheNameAgain) {
    auto& f = Open({Make("x", zel::tcTecla, "")});
    Select(f, 0);
    Press(f.edtArgTecla, Qt::Key_Control);
    Press(f.edtArgTecla, Qt::Key_Control, true);
    Release(f.edtArgTecla, Qt::Key_Control, true);  // X11's repeat: ignored
    Press(f.edtArgTecla, Qt::Key_Control, true);
    Press(f.edtArgTecla, Qt::Key_T);
    Release(f.edtArgTecla, Qt::Key_T);
    EXPECT_EQ(Cmd(f, 0).Args, "CTRL+CTRL+CTRL+T");
}

TEST_F(Editor, ClosingIsRefusedWhileACombinationIsBeingCaptured) {
    auto& f = Open({Make("x", zel::tcTecla, "")});
    Select(f, 0);
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.edtArgTecla->setFocus();
    Press(f.edtArgTecla, Qt::Key_Alt);
    Press(f.edtArgTecla, Qt::Key_F4);
    ASSERT_TRUE(f.edtArgTecla->hasFocus());
    QCloseEvent refused;
    QCoreApplication::sendEvent(&f, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(f.edtArgTecla->text(), "ALT+F4");
    Release(f.edtArgTecla, Qt::Key_F4);
    EXPECT_TRUE(questions.isEmpty()) << "a combination is not a close request";
    // Closed for real, the changed profile is offered for saving first.
    answer = zel::TFormWindow::TAnswer::No;
    QCloseEvent granted;
    QCoreApplication::sendEvent(&f, &granted);
    EXPECT_TRUE(granted.isAccepted());
    EXPECT_EQ(questions, QStringList{QString::fromUtf8("Salvar as alterações no profile novo?")});
}

TEST_F(Editor, ActivationKeyBoxHoldsOneName) {
    auto& f = Create();
    auto* box = f.edtTeclaAtivacao;
    Press(box, Qt::Key_Control);
    Press(box, Qt::Key_F9);
    EXPECT_EQ(box->text(), "F9");
    Release(box, Qt::Key_F9);
    EXPECT_FALSE(box->Capturing());
    QTest::keyClicks(box, "q");
    EXPECT_EQ(box->text(), "Q");
    // On the preferences page, with a button that takes the key away.
    EXPECT_TRUE(box->isVisibleTo(box->parentWidget()));
    EXPECT_EQ(f.Label11->text(), QString::fromUtf8("Tecla de ativação"));
    EXPECT_EQ(f.btnTeclaNenhuma->text(), "Nenhuma");
    f.btnTeclaNenhuma->click();
    EXPECT_EQ(box->text(), "");
}

TEST(KeyCapture, DigitRowIsReadFromThePhysicalKey) {
    // Shift+1 on ABNT2 is "!" but still the key 1 (X keycode 10).
    EXPECT_EQ(zel::VirtualKeyOfQtKey(Qt::Key_Exclam, false, 10), '1');
    EXPECT_EQ(zel::VirtualKeyOfQtKey(Qt::Key_ParenRight, false, 19), '0');
    EXPECT_EQ(zel::VirtualKeyOfQtKey(Qt::Key_1, true, 87), 0x61);  // keypad 1
    EXPECT_EQ(zel::VirtualKeyOfQtKey(Qt::Key_PageDown, false, 0), 0x22);
    EXPECT_EQ(zel::VirtualKeyOfQtKey(Qt::Key_F12, false, 0), 0x7B);
}

TEST_F(Editor, PhrasesThatSoundAlikeAreNamedAboveThePhrase) {
    // The stand-in letter rules spell each letter: "sem" is "S E M".
    zel::WriteLines(pasta + "modnum.ini", {"[modnum]", "num=1", "[num0]", "cmd=cem", "num=100", "fonemas=C E M"});
    auto& f = Open({Make("parar", zel::tcTecla, "", "P A R A R"), Make("copiar", zel::tcTecla, "", "C O P I A R")});
    Select(f, 1);
    EXPECT_EQ(f.lblParecido->text(), "");
    f.edtCmd->setText("paras");
    EXPECT_EQ(f.lblParecido->text(), "Parecido com: parar");
    f.edtCmd->setText("sem");
    EXPECT_EQ(f.lblParecido->text(), "Parecido com: cem");
    f.edtFonemas->setText("X Y Z");  // a pronunciation of the user's own
    EXPECT_EQ(f.lblParecido->text(), "");
}

TEST_F(Editor, APhraseWhoseLettersTheRulesDropShowsThePronunciationHeardBesideIt) {
    auto& f = Open({Make("parar", zel::tcTecla, "", "P A R A R"), Make("copiar", zel::tcTecla, "", "C O P I A R")});
    Select(f, 1);
    // The stand-in rules spell each letter as it is: the pronunciation of
    // the restored spelling (ô as ó, Ô as ó) is the one shown.
    f.edtCmd->setText(QString::fromUtf8("avô"));
    EXPECT_EQ(f.lblParecido->text(), QString::fromUtf8("Ouvido também como: A V ó"));
    f.edtCmd->setText(QString::fromUtf8("Ônibus"));
    EXPECT_EQ(f.lblParecido->text(), QString::fromUtf8("Ouvido também como: ó N I B U S"));
    f.edtFonemas->setText("O N I B U S");  // typed by the user: heard only as typed
    EXPECT_EQ(f.lblParecido->text(), "");
    f.edtCmd->setText(QString::fromUtf8("avó"));
    EXPECT_EQ(f.lblParecido->text(), "");
}

TEST_F(Editor, NothingIsSelectedUntilTheUserChoosesAnEntry) {
    dir.Write("p.zpr", "[geral]\r\nnumcomandos=2\r\n[cmd0]\r\ncmd=abrir\r\n[cmd1]\r\ncmd=fechar\r\n");
    auto& f = Create();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    nextChoice << QString::fromStdString(dir.File("p.zpr"));
    QTest::mouseClick(f.btnCarregarProfile, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(f.BtnComandos, Qt::LeftButton, {}, QPoint(5, 5));
    // The list taking the focus (Tab, or the page opening) is no choice.
    f.lbxCmds->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.lbxCmds->count(), 2);
    EXPECT_TRUE(NothingSelected(f));
    // Removing the selected command and coming back: no selection either.
    ClickRow(f, 0);
    EXPECT_EQ(f.edtCmd->text(), "abrir");
    QTest::mouseClick(f.btnRemover, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(f.btnVoltar, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(f.BtnComandos, Qt::LeftButton, {}, QPoint(5, 5));
    f.lbxCmds->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_EQ(f.lbxCmds->count(), 1);
    EXPECT_EQ(f.lbxCmds->item(0)->text(), "fechar");
    EXPECT_TRUE(NothingSelected(f));
    // The keyboard chooses as the mouse does.
    QTest::keyClick(f.lbxCmds, Qt::Key_Down);
    EXPECT_EQ(f.Profile.ComandoAtual, 0);
    EXPECT_EQ(f.edtCmd->text(), "fechar");
}

TEST_F(Editor, AClickOnTheSelectedEntryRefillsTheList) {
    auto& f = Open({Make("abrir", zel::tcTecla, ""), Make("fechar", zel::tcTecla, "")});
    ClickRow(f, 0);
    f.edtCmd->end(false);
    QTest::keyClicks(f.edtCmd, "x");
    EXPECT_EQ(f.lbxCmds->item(0)->text(), "abrir");
    ClickRow(f, 0);
    EXPECT_EQ(f.lbxCmds->item(0)->text(), "abrirx");
    EXPECT_EQ(f.lbxCmds->currentRow(), 0);
    EXPECT_EQ(f.Profile.ComandoAtual, 0);
}

TEST_F(Editor, ANewCommandShowsNoArgumentsOfTheCommandViewedBefore) {
    auto& f = Open({Make("ponto", zel::tcDigitacao, "11."), Make("jogo", zel::tcExecucao, "/bin/jogo -w")});
    Select(f, 0);
    EXPECT_EQ(f.edtArgTexto->text(), ".");
    QTest::mouseClick(f.btnAdicionar, Qt::LeftButton, {}, QPoint(5, 5));
    f.rdgTipoCmdItems->button(3)->click();
    EXPECT_EQ(f.edtArgTexto->text(), "");
    EXPECT_FALSE(f.chbArgEspaco->isChecked());
    EXPECT_FALSE(f.chbArgEnter->isChecked());
    QTest::keyClicks(f.edtArgTexto, "Atenciosamente");
    EXPECT_EQ(Cmd(f, 2).Args, "00Atenciosamente");
    // The same for a program: the boxes read the new command's arguments.
    Select(f, 1);
    EXPECT_EQ(f.edtArgProg->text(), "/bin/jogo");
    QTest::mouseClick(f.btnAdicionar, Qt::LeftButton, {}, QPoint(5, 5));
    f.rdgTipoCmdItems->button(0)->click();
    EXPECT_EQ(f.edtArgProg->text(), "");
    EXPECT_EQ(f.edtArgPar->text(), "");
    EXPECT_EQ(Cmd(f, 3).Args, "");
}
