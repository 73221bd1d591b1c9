// The window's pages and the buttons that lead between them; the profile
// buttons of the "menu" page; the dictation page.
#include <QEnterEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include <filesystem>

#include "commands/TextFile.h"
#include "tests/unit/app/AppFixture.h"

using zeltest::AppFixture;
using Pages = AppFixture;

namespace {
void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
}
}  // namespace

TEST_F(Pages, SixPagesInOrderAndTheWindowOpensOnMenu) {
    auto& f = Create();
    QStringList names;
    for (int i = 0; i < f.abook->count(); ++i) names << f.abook->widget(i)->objectName();
    EXPECT_EQ(names, (QStringList{"menu", "comandos", "prefs", "ditado", "apres", "treino"}));
    EXPECT_EQ(f.CurrentPageName(), "menu");
    EXPECT_EQ(f.windowTitle(), "MORO Zel");
    EXPECT_EQ(f.size(), QSize(576, 432));
    EXPECT_EQ(f.lblProfile->text(), "Profile Atual: (nenhum)");
    EXPECT_EQ(f.lblStatus->text(), "Reconhecimento Desligado");
    EXPECT_EQ(services.Trace(), "LoadHookLibrary");
}

// A caption's box may reach under the box it names; anything else that
// covers another control hides what it shows or takes its clicks.
TEST_F(Pages, NoControlCoversAnotherOnAnyPage) {
    auto& f = Create();
    for (int i = 0; i < f.abook->count(); ++i) {
        QWidget* page = f.abook->widget(i);
        const QList<QWidget*> controls = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (int a = 0; a < controls.size(); ++a)
            for (int b = a + 1; b < controls.size(); ++b) {
                if (controls[a]->isHidden() || controls[b]->isHidden()) continue;
                if (qobject_cast<QLabel*>(controls[a]) || qobject_cast<QLabel*>(controls[b])) continue;
                EXPECT_FALSE(controls[a]->geometry().intersects(controls[b]->geometry()))
                    << page->objectName().toStdString() << ": " << controls[a]->objectName().toStdString() << " and "
                    << controls[b]->objectName().toStdString();
            }
    }
}

TEST_F(Pages, ButtonsLeadToTheirPagesAndEveryVoltarBack) {
    auto& f = Create();
    Click(f.BtnComandos);
    EXPECT_EQ(f.CurrentPageName(), "comandos");
    Click(f.btnVoltar);
    EXPECT_EQ(f.CurrentPageName(), "menu");
    Click(f.btnPreferencias);
    EXPECT_EQ(f.CurrentPageName(), "prefs");
    Click(f.MathBotao2);
    EXPECT_EQ(f.CurrentPageName(), "menu");
    Click(f.btnDitado);
    EXPECT_EQ(f.CurrentPageName(), "ditado");
    Click(f.MathBotao3);
    EXPECT_EQ(f.CurrentPageName(), "menu");
    f.ShowPage(f.pageApres);
    Click(f.Image1);
    EXPECT_EQ(f.CurrentPageName(), "menu");
}

TEST_F(Pages, AButtonHiddenByAPageSwitchComesBackAtRest) {
    auto& f = Create();
    for (zel::TMathBotao* b : {f.BtnComandos, f.btnVoltar}) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(b, &enter);
        EXPECT_EQ(b->ShownColumn(), 1);
        Click(b);  // the page switch hides the button under the pointer
        EXPECT_EQ(b->ShownColumn(), 0) << b->objectName().toStdString();
    }
    EXPECT_EQ(f.CurrentPageName(), "menu");
    // Hidden by a switch from the keyboard: the same.
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(f.btnDitado, &enter);
    f.btnPreferenciasClick();
    EXPECT_EQ(f.btnDitado->ShownColumn(), 0);
}

TEST_F(Pages, ProfileLoadSetsCaptionAndMemoAndCancelChangesNothing) {
    dir.Write("jogo.zpr",
              "[geral]\r\nnumcomandos=2\r\n[cmd0]\r\ncmd=copiar\r\nacao=1\r\nargs=CTRL+C\r\n[cmd1]\r\ncmd=colar\r\nacao=1\r\n"
              "args=CTRL+V\r\n[ditado]\r\nbom dia\r\n[cmd0]\r\n");
    auto& f = Create();
    Click(f.btnCarregarProfile);  // cancelled
    EXPECT_EQ(dialogsShown, QStringList{"dlgAbrirProfile"});
    EXPECT_EQ(f.lblProfile->text(), "Profile Atual: (nenhum)");
    nextChoice << QString::fromStdString(dir.File("jogo.zpr"));
    Click(f.btnCarregarProfile);
    EXPECT_EQ(f.lblProfile->text(), "Profile atual: jogo");
    EXPECT_EQ(f.Profile.Comandos.Count(), 2);
    EXPECT_EQ(f.mmoDitado->toPlainText(), "bom dia\n[cmd0]");
    EXPECT_EQ(f.CurrentPageName(), "menu");
}

TEST_F(Pages, ProfileSaveWritesCommandsAndMemoAndSetsCaption) {
    auto& f = Create();
    Click(f.BtnComandos);
    Click(f.btnAdicionar);
    f.mmoDitado->setPlainText(QString::fromUtf8("olá\nmundo"));
    nextChoice << QString::fromStdString(dir.File("perfil1"));
    Click(f.btnVoltar);
    Click(f.btnSalvarProfile);
    EXPECT_EQ(f.lblProfile->text(), "Profile atual: per");
    EXPECT_EQ(dir.Read("perfil1"),
              "[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=comando\r\nacao=1\r\nargs=\r\nfonemas=\r\n[ditado]\r\nol\xE1\r\nmundo\r\n");
}

// A name Windows-1252 cannot write: the file is made under that very name,
// and only the caption shows it with replacements.
TEST_F(Pages, AProfileSavedAsAJapaneseNameLandsUnderThatName) {
    auto& f = Create();
    nextChoice << QString::fromUtf8(dir.File("日本.zpr"));
    Click(f.btnSalvarProfile);
    EXPECT_EQ(dir.Read("日本.zpr").substr(0, 24), "[geral]\r\nnumcomandos=0\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "??.zpr"));
    EXPECT_EQ(f.lblProfile->text(), "Profile atual: ??");
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

// A UTF-8 profile loads; what Windows-1252 cannot hold is told once.
TEST_F(Pages, AUtf8ProfileLoadsAndTellsOnceWhatItLost) {
    dir.Write("Łódź.zpr", "[geral]\r\nnumcomandos=2\r\n[cmd0]\r\ncmd=ir a Łódź\r\nacao=2\r\n[cmd1]\r\ncmd=atenção Ł\r\n"
                          "acao=2\r\n[ditado]\r\nolá\r\n");
    auto& f = Create();
    nextChoice << QString::fromUtf8(dir.File("Łódź.zpr"));
    Click(f.btnCarregarProfile);
    ASSERT_EQ(f.Profile.Comandos.Count(), 2);
    EXPECT_EQ(f.Profile.Comandos[0].Cmd, "ir a \xF3" "d");
    EXPECT_EQ(f.Profile.Comandos[1].Cmd, "aten\xE7\xE3o");
    EXPECT_EQ(f.mmoDitado->toPlainText(), QString::fromUtf8("olá"));
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(dir.File("Łódź.zpr") + ": caracteres ignorados: Ł ź")});
    EXPECT_EQ(f.lblProfile->text(), "Profile atual: ?ód?");
}

TEST_F(Pages, ProfileThatCannotBeReadShowsTheMessageAndKeepsTheCaption) {
    auto& f = Create();
    nextChoice << QString::fromStdString(dir.File("nao-existe.zpr"));
    Click(f.btnCarregarProfile);
    EXPECT_EQ(messages, QStringList{QString::fromStdString("Cannot open file " + dir.File("nao-existe.zpr"))});
    EXPECT_EQ(f.lblProfile->text(), "Profile Atual: (nenhum)");
    EXPECT_EQ(f.Profile.Comandos.Count(), 0);
}

TEST_F(Pages, DictationBundleOnlyFillsTheMemo) {
    dir.Write("modelo.zlm", "### UNI ###\r\n2\t<s>\r\n### ENDUBT ###\r\n");
    auto& f = Create();
    nextChoice << QString::fromStdString(dir.File("modelo.zlm"));
    Click(f.btnDitado);
    Click(f.btnCarregarDitado);
    EXPECT_EQ(dialogsShown, QStringList{"dlgAbrirDitado"});
    EXPECT_EQ(f.mmoDitado->toPlainText(), "### UNI ###\n2\t<s>\n### ENDUBT ###");
    EXPECT_EQ(services.Trace(), "LoadHookLibrary");
    EXPECT_FALSE(zel::FileExists(pasta + "zellm.zlm"));
    Click(f.btnLimparDitado);
    EXPECT_EQ(f.mmoDitado->toPlainText(), "");
}

TEST_F(Pages, DictationCorpusOrCapitalZlmBuildsTheBundle) {
    dir.Write("MODELO.ZLM", "casa\r\n");
    auto& f = Create();
    nextChoice << QString::fromStdString(dir.File("MODELO.ZLM"));
    Click(f.btnCarregarDitado);
    EXPECT_EQ(services.Calls.back(), "LoadDictationCorpus(" + dir.File("MODELO.ZLM") + ")");
    EXPECT_EQ(f.mmoDitado->toPlainText(), "### UNI ###\n1\tCORPUS\n### ENDUBT ###\n### DIC ###\n### ENDDIC ###");
    // The page says what the bundle it shows has learnt.
    EXPECT_EQ(messages, QStringList{"Ditado carregado: 0 frases, 1 palavra, 0 bigramas e 0 trigramas."});
}

TEST_F(Pages, DialogsCarryTheirFilters) {
    std::filesystem::create_directory(dir.Path() / "profiles");
    auto& f = Create();
    EXPECT_EQ(f.dlgAbrirProfile->nameFilters(), (QStringList{"Arquivos de profile (*.zpr)", "Todos os arquivos (*.*)"}));
    EXPECT_EQ(f.dlgSalvarProfile->defaultSuffix(), "zpr");
    EXPECT_EQ(f.dlgAbrirDitado->nameFilters(),
              (QStringList{"Arquivos Suportados (*.txt *.zlm)", "Arquivos Texto (*.txt)", "Arquivos de modelo de linguagem (*.zlm)",
                           "Todos os Arquivos (*.*)"}));
    EXPECT_EQ(f.dlgAbrirProg->nameFilters().first(), QString::fromUtf8("Arquivos executáveis (*.exe)"));
    EXPECT_EQ(f.dlgAbrirWave->nameFilters().first(), "Arquivos wav (*.wav)");
    EXPECT_EQ(f.dlgAbrirProfile->directory().absolutePath().toStdString(), pasta + "profiles");
}

TEST_F(Pages, ChoosingASoundAndCancellingLeavesTheBox) {
    auto& f = Create();
    const QString before = f.edtSomAtivacao->text();
    f.SpeedButton10Click();
    EXPECT_EQ(f.edtSomAtivacao->text(), before);
    nextChoice << "/sons/bip.wav";
    f.SpeedButton10Click();
    EXPECT_EQ(f.edtSomAtivacao->text(), "/sons/bip.wav");
    EXPECT_EQ(dialogsShown, (QStringList{"dlgAbrirWave", "dlgAbrirWave"}));
}

TEST_F(Pages, ProfileLoadedFromTheTrayMenuLeavesTheWindowHiddenAndReopensOnMenu) {
    dir.Write("jogo.zpr", "[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=pular\r\nacao=1\r\nargs=SHIFT\r\n");
    auto& f = Create();
    f.btnPreferenciasClick();
    f.btnMinimizarClick();
    ASSERT_FALSE(f.isVisible());
    nextChoice << QString::fromStdString(dir.File("jogo.zpr"));
    f.CarregarProfile1->trigger();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.Profile.Comandos.Count(), 1);
    f.AbrirPainel1->trigger();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.CurrentPageName(), "menu");
    EXPECT_EQ(f.lblProfile->text(), "Profile atual: jogo");
}

TEST_F(Pages, OnlyPressesOnTheIconOpenTheMenu) {
    auto& f = Create();
    f.btnMinimizarClick();
    for (auto reason : {QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown}) {
        f.TrayActivated(reason);
        EXPECT_FALSE(f.popTray->isVisible());
    }
    f.TrayActivated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(f.popTray->isVisible());
    f.popTray->hide();
    f.TrayActivated(QSystemTrayIcon::Context);
    EXPECT_TRUE(f.popTray->isVisible());
    // "Cancelar" does nothing but close the menu.
    f.cancelar1->trigger();
    f.popTray->hide();
    EXPECT_FALSE(f.isVisible());
    EXPECT_NE(f.TrayIcon, nullptr);
}

TEST_F(Pages, WhileRecognitionIsOnTheIconIsTheApplicationsOwn) {
    auto& f = Create();
    f.btnReconhecer->WriteChecked(true);
    f.MinimizeToTray();
    EXPECT_EQ(f.TrayTip(), "MORO Zel");
    EXPECT_EQ(f.TrayIcon->toolTip(), "MORO Zel");
    EXPECT_EQ(f.TrayIcon->icon().pixmap(16, 16).toImage().pixel(8, 1),
              QIcon(QPixmap::fromImage(zel::SkinImage("app_icon"))).pixmap(16, 16).toImage().pixel(8, 1));
    f.btnReconhecer->WriteChecked(false);
    f.MinimizeToTray();
    EXPECT_EQ(f.TrayIcon->toolTip(), "MORO Zel (desativado)");
    EXPECT_EQ(f.imgList.size(), QSize(16, 16));
}

TEST_F(Pages, WithoutANotificationAreaTheWindowIsMinimizedNotLost) {
    trayAvailable = false;
    auto& f = Create();
    QTest::mouseClick(f.btnMinimizar, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.TrayIcon, nullptr);
    EXPECT_TRUE(f.isMinimized());
}
