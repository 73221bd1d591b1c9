// The "comandos" page: the list of the profile's commands and the editor of
// the selected one.

#include "app/Form1.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>

#include "actions/NumericModifiers.h"
#include "app/FormParts.h"
#include "app/KeyCaptureEdit.h"
#include "langmodel/Confusability.h"
#include "mathImg/MathBotao.h"

namespace zel {

void TForm1::CreateComandosPage() {
    pageComandos = NewPage(abook, "comandos");
    QWidget* p = pageComandos;
    Label2 = NewLabel(p, "Label2", QStringLiteral("Comandos"), QPoint(16, 8));
    lbxCmds = Named(new QListWidget(p), "lbxCmds", QRect(16, 28, 170, 240));
    lbxCmds->setFrameShape(QFrame::NoFrame);
    lbxCmds->setSelectionMode(QAbstractItemView::SingleSelection);
    btnAdicionar = NewButton(p, "btnAdicionar", QStringLiteral("adicionar"), QRect(16, 278, 140, 30), true);
    btnRemover = NewButton(p, "btnRemover", QStringLiteral("remover"), QRect(16, 316, 140, 30), true);
    btnVoltar = NewButton(p, "btnVoltar", QStringLiteral("voltar"), QRect(352, 316, 140, 30), true);

    pnlEditarCmd = Named(new QWidget(p), "pnlEditarCmd", QRect(200, 8, 294, 300));
    QWidget* e = pnlEditarCmd;
    Label3 = NewLabel(e, "Label3", QStringLiteral("Comando"), QPoint(0, 0));
    lblParecido = Named(new QLabel(e), "lblParecido", QRect(64, 0, 230, 18));
    lblParecido->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblParecido->setStyleSheet(QStringLiteral("color: #b04a00;"));
    lblParecido->setToolTip(QStringLiteral("O reconhecedor pode confundir estas palavras; prefira outra"));
    edtCmd = Named(new QLineEdit(e), "edtCmd", QRect(0, 18, 294, 22));
    Label4 = NewLabel(e, "Label4", QStringLiteral("Pronúncia"), QPoint(0, 46));
    edtFonemas = Named(new QLineEdit(e), "edtFonemas", QRect(0, 64, 266, 22));
    SpeedButton1 = NewSpeedButton(e, "SpeedButton1", QRect(270, 64, 24, 22));
    SpeedButton1->setToolTip(QStringLiteral("Lista de Fonemas"));
    rdgTipoCmd = Named(new QGroupBox(QStringLiteral("Tipo"), e), "rdgTipoCmd", QRect(0, 94, 294, 70));
    rdgTipoCmdItems = new QButtonGroup(rdgTipoCmd);
    auto* grid = new QGridLayout(rdgTipoCmd);
    grid->setContentsMargins(8, 4, 8, 4);
    const char* items[] = {"Execução", "Tecla", "Ativação", "Digitação"};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(items[i]), rdgTipoCmd);
        rdgTipoCmdItems->addButton(r, i);
        grid->addWidget(r, i / 2, i % 2);
    }
    rdgTipoCmdItems->button(1)->setChecked(true);

    ntbArgs = Named(new QStackedWidget(e), "ntbArgs", QRect(0, 172, 294, 120));
    auto* execucao = NewPage(ntbArgs, "execucao");
    Label5 = NewLabel(execucao, "Label5", QStringLiteral("Programa:"), QPoint(0, 0));
    edtArgProg = Named(new QLineEdit(execucao), "edtArgProg", QRect(0, 18, 266, 22));
    SpeedButton7 = NewSpeedButton(execucao, "SpeedButton7", QRect(270, 18, 24, 22));
    Label6 = NewLabel(execucao, "Label6", QStringLiteral("Parâmetros"), QPoint(0, 46));
    edtArgPar = Named(new QLineEdit(execucao), "edtArgPar", QRect(0, 64, 294, 22));
    auto* tecla = NewPage(ntbArgs, "tecla");
    Label7 = NewLabel(tecla, "Label7", QStringLiteral("Tecla"), QPoint(0, 0));
    edtArgTecla = Named(new TKeyCaptureEdit(true, tecla), "edtArgTecla", QRect(0, 18, 294, 22));
    NewPage(ntbArgs, "empty");  // tcAtivacao has no arguments
    auto* digitacao = NewPage(ntbArgs, "digitacao");
    Label12 = NewLabel(digitacao, "Label12", QStringLiteral("Texto"), QPoint(0, 0));
    edtArgTexto = Named(new QLineEdit(digitacao), "edtArgTexto", QRect(0, 18, 294, 22));
    chbArgEspaco = Named(new QCheckBox(QStringLiteral("Mandar Espaço"), digitacao), "chbArgEspaco", QRect(0, 48, 200, 20));
    chbArgEnter = Named(new QCheckBox(QStringLiteral("Mandar enter"), digitacao), "chbArgEnter", QRect(0, 72, 200, 20));

    btnAdicionar->OnClick = [this] { btnAdicionarClick(); };
    btnRemover->OnClick = [this] { btnRemoverClick(); };
    btnVoltar->OnClick = [this] { btnVoltarClick(); };
    connect(lbxCmds, &QListWidget::itemSelectionChanged, this, [this] { Handle([this] { lbxCmdsClick(); }); });
    // A click on the entry already selected changes no selection but is a
    // click all the same: it refills the list (a renamed phrase shows).
    connect(lbxCmds, &QListWidget::itemClicked, this, [this] { Handle([this] { lbxCmdsClick(); }); });
    connect(edtCmd, &QLineEdit::textChanged, this, [this] { Handle([this] { edtCmdChange(); }); });
    connect(edtFonemas, &QLineEdit::textChanged, this, [this](const QString& t) {
        // The box turns typed letters into capitals.
        if (t != t.toUpper()) {
            int pos = edtFonemas->cursorPosition();
            edtFonemas->setText(t.toUpper());
            edtFonemas->setCursorPosition(pos);
            return;
        }
        Handle([this] { edtFonemasChange(); });
    });
    connect(rdgTipoCmdItems, &QButtonGroup::idClicked, this, [this] { Handle([this] { rdgTipoCmdClick(); }); });
    connect(edtArgProg, &QLineEdit::textChanged, this, [this] { Handle([this] { edtArgProgChange(); }); });
    connect(edtArgPar, &QLineEdit::textChanged, this, [this] { Handle([this] { edtArgProgChange(); }); });
    edtArgTecla->OnKeyUp = [this] { Handle([this] { edtArgTeclaKeyUp(); }); };
    connect(edtArgTexto, &QLineEdit::textChanged, this, [this] { Handle([this] { edtArgTextoChange(); }); });
    connect(chbArgEspaco, &QCheckBox::toggled, this, [this] { Handle([this] { edtArgTextoChange(); }); });
    connect(chbArgEnter, &QCheckBox::toggled, this, [this] { Handle([this] { edtArgTextoChange(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { Handle([this] { SpeedButton1Click(); }); });
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { Handle([this] { SpeedButton7Click(); }); });
}

}  // namespace zel
