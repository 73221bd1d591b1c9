// Keyboard and screen-reader access. The image buttons' captions are only in
// their pictures: they are given as accessible names, their hints as
// descriptions. Tab follows the pages as they read, Alt+letter presses the
// buttons of the menu page and Escape on a page is Voltar.
#include "app/Form1.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSlider>
#include <QToolButton>

#include "app/KeyCaptureEdit.h"
#include "mathImg/MathBotao.h"

namespace zel {

namespace {

struct TButtonText {
    TMathBotao* Button;
    const char* Caption;
    const char* Hint;
    QKeySequence Key;  // empty: none
};

// A label's caption as the name of the control it stands for.
QString NameOf(const QLabel* label) {
    QString name = label->text();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    return name;
}

}  // namespace

void TForm1::SetUpKeyboardAccess() {
    const QKeySequence escape(Qt::Key_Escape);
    const TButtonText buttons[] = {
        {btnCarregarProfile, "Carregar Profile", "Abre um arquivo de profile", QKeySequence(Qt::ALT | Qt::Key_C)},
        {btnSalvarProfile, "Salvar Profile", "Salva os comandos e o ditado num arquivo de profile",
         QKeySequence(Qt::ALT | Qt::Key_S)},
        {BtnComandos, "Comandos", "Edita os comandos do profile", QKeySequence(Qt::ALT | Qt::Key_O)},
        {btnDitado, "Ditado", "O texto de que é feito o modelo do ditado", QKeySequence(Qt::ALT | Qt::Key_D)},
        {btnPreferencias, "Preferências", "As preferências do programa", QKeySequence(Qt::ALT | Qt::Key_P)},
        {btnReconhecer, "Reconhecer", "Liga e desliga o reconhecimento de voz", QKeySequence(Qt::ALT | Qt::Key_R)},
        {btnTreinarVoz, "Treinar voz", "Adapta o reconhecimento à sua voz e ao seu microfone",
         QKeySequence(Qt::ALT | Qt::Key_T)},
        {btnAdicionar, "Adicionar", "Acrescenta um comando à lista", {}},
        {btnRemover, "Remover", "Remove o comando selecionado", {}},
        {btnVoltar, "Voltar", "Volta ao menu", escape},
        {MathBotao2, "Voltar", "Volta ao menu", escape},
        {btnCarregarDitado, "Carregar", "Carrega um texto ou um modelo de linguagem para o ditado", {}},
        {btnLimparDitado, "Limpar", "Apaga o texto do ditado", {}},
        {MathBotao3, "Voltar", "Volta ao menu", escape},
        {btnGravar, "Gravar", "Grava a frase mostrada; clique de novo ao terminar", {}},
        {btnRefazer, "Refazer", "Descarta a gravação desta frase", {}},
        {btnProxima, "Próxima", "Mostra a frase seguinte", {}},
        {btnAdaptar, "Adaptar", "Adapta o modelo acústico às gravações", {}},
        {btnEsquecerTreino, "Esquecer treino", "Volta a usar o modelo instalado", {}},
        {btnVoltarTreino, "Voltar", "Volta ao menu", escape},
        {btnMinimizar, "Minimizar", "Esconde a janela na área de notificação", {}},
        {MathBotao1, "Sair", "Encerra o programa", {}},
    };
    for (const TButtonText& t : buttons) {
        const QString caption = QString::fromUtf8(t.Caption);
        t.Button->setAccessibleName(caption);
        t.Button->setAccessibleDescription(QString::fromUtf8(t.Hint));
        if (t.Key.isEmpty()) continue;
        // The shortcut belongs to the button: it works only while the button
        // is shown and enabled, so each page has its own Escape.
        auto* shortcut = new QShortcut(t.Key, t.Button);
        connect(shortcut, &QShortcut::activated, t.Button, &TMathBotao::Press);
        t.Button->setToolTip(caption + QStringLiteral(" (") + t.Key.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    }
    // The logo page leads to the menu by a key as well as by a click.
    auto* logo = new QShortcut(escape, Image1);
    connect(logo, &QShortcut::activated, this, [this] { Handle([this] { Image1Click(); }); });
    Image1->setAccessibleName(QStringLiteral("MORO Zel"));

    // The boxes are named by the labels beside them.
    const std::pair<QLabel*, QWidget*> labelled[] = {
        {Label2, lbxCmds},       {Label3, edtCmd},         {Label4, edtFonemas},        {Label5, edtArgProg},
        {Label6, edtArgPar},     {Label7, edtArgTecla},    {Label12, edtArgTexto},      {Label8, edtTempoTeclas},
        {Label9, edtTempoAtivo}, {Label10, edtSomAtivacao}, {Label11, edtTeclaAtivacao},
    };
    for (const auto& [label, control] : labelled) {
        label->setBuddy(control);
        control->setAccessibleName(NameOf(label));
    }
    tbConfianca->setAccessibleName(QStringLiteral("Confiança"));
    tbSampling->setAccessibleName(QStringLiteral("Sampling"));
    mmoDitado->setAccessibleName(QStringLiteral("Ditado"));
    SpeedButton1->setAccessibleName(SpeedButton1->toolTip());
    SpeedButton7->setAccessibleName(QStringLiteral("Escolher programa"));
    SpeedButton10->setAccessibleName(QStringLiteral("Escolher som"));
    // Tab leaves the dictation text instead of typing a tab into it.
    mmoDitado->setTabChangesFocus(true);
    // Every hint is a description too.
    for (QWidget* w : findChildren<QWidget*>())
        if (w->accessibleDescription().isEmpty() && !w->toolTip().isEmpty()) w->setAccessibleDescription(w->toolTip());

    // Tab order: each page from top to bottom, left column first; the window's
    // own two buttons last.
    std::vector<QWidget*> order = {btnCarregarProfile, btnSalvarProfile, BtnComandos, btnDitado, btnPreferencias,
                                   btnReconhecer, btnTreinarVoz, lbxCmds, btnAdicionar, btnRemover, edtCmd, edtFonemas, SpeedButton1};
    for (QAbstractButton* r : rdgTipoCmdItems->buttons()) order.push_back(r);
    order.insert(order.end(), {edtArgProg, SpeedButton7, edtArgPar, edtArgTecla, edtArgTexto, chbArgEspaco, chbArgEnter,
                               btnVoltar, edtTempoTeclas, edtTeclaAtivacao, btnTeclaNenhuma, edtTempoAtivo, tbConfianca,
                               tbSampling, edtSomAtivacao, SpeedButton10, chbAtivaToggle, chbMostrarIndicador, chbMultiCmd,
                               chbModNum, chbModoAdv, MathBotao2, mmoDitado, btnCarregarDitado, btnLimparDitado, MathBotao3,
                               btnGravar, btnRefazer, btnProxima, btnAdaptar, btnEsquecerTreino, btnVoltarTreino,
                               btnMinimizar, MathBotao1});
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace zel
