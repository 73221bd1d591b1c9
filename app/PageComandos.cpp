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
    pageComandos = new QWidget;
    pageComandos->setObjectName(QStringLiteral("comandos"));
    abook->addWidget(pageComandos);
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
    SetTipoCmdIndex(1);

    ntbArgs = Named(new QStackedWidget(e), "ntbArgs", QRect(0, 172, 294, 120));
    auto* execucao = new QWidget;
    execucao->setObjectName(QStringLiteral("execucao"));
    Label5 = NewLabel(execucao, "Label5", QStringLiteral("Programa:"), QPoint(0, 0));
    edtArgProg = Named(new QLineEdit(execucao), "edtArgProg", QRect(0, 18, 266, 22));
    SpeedButton7 = NewSpeedButton(execucao, "SpeedButton7", QRect(270, 18, 24, 22));
    Label6 = NewLabel(execucao, "Label6", QStringLiteral("Parâmetros"), QPoint(0, 46));
    edtArgPar = Named(new QLineEdit(execucao), "edtArgPar", QRect(0, 64, 294, 22));
    auto* tecla = new QWidget;
    tecla->setObjectName(QStringLiteral("tecla"));
    Label7 = NewLabel(tecla, "Label7", QStringLiteral("Tecla"), QPoint(0, 0));
    edtArgTecla = Named(new TKeyCaptureEdit(true, tecla), "edtArgTecla", QRect(0, 18, 294, 22));
    auto* empty = new QWidget;
    empty->setObjectName(QStringLiteral("empty"));
    auto* digitacao = new QWidget;
    digitacao->setObjectName(QStringLiteral("digitacao"));
    Label12 = NewLabel(digitacao, "Label12", QStringLiteral("Texto"), QPoint(0, 0));
    edtArgTexto = Named(new QLineEdit(digitacao), "edtArgTexto", QRect(0, 18, 294, 22));
    chbArgEspaco = Named(new QCheckBox(QStringLiteral("Mandar Espaço"), digitacao), "chbArgEspaco", QRect(0, 48, 200, 20));
    chbArgEnter = Named(new QCheckBox(QStringLiteral("Mandar enter"), digitacao), "chbArgEnter", QRect(0, 72, 200, 20));
    for (QWidget* w : {execucao, tecla, empty, digitacao}) ntbArgs->addWidget(w);

    btnAdicionar->OnClick = [this] { btnAdicionarClick(); };
    btnRemover->OnClick = [this] { btnRemoverClick(); };
    btnVoltar->OnClick = [this] { btnVoltarClick(); };
    connect(lbxCmds, &QListWidget::currentRowChanged, this, [this] { Handle([this] { lbxCmdsClick(); }); });
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

// ---------------------------------------------------------------------------
// Command editor

int32_t TForm1::TipoCmdIndex() const {
    return rdgTipoCmdItems->checkedId();
}

void TForm1::SetTipoCmdIndex(int32_t index) {
    if (QAbstractButton* b = rdgTipoCmdItems->button(index)) b->setChecked(true);
}

void TForm1::SetEditorEnabled(bool enabled) {
    pnlEditarCmd->setEnabled(enabled);
    for (QObject* child : pnlEditarCmd->children())
        if (auto* w = qobject_cast<QWidget*>(child)) w->setEnabled(enabled);
}

void TForm1::lbxCmdsClick() {
    const int row = lbxCmds->currentRow();
    if (row < 0 || row >= Profile.Comandos.Count()) {
        SetEditorEnabled(false);
        ntbArgs->hide();
        Profile.ComandoAtual = -1;
        return;
    }
    Profile.ComandoAtual = row;
    SetEditorEnabled(true);
    ntbArgs->show();
    RefreshCommandEditor();
}

void TForm1::RefreshCommandEditor() {
    const int selected = lbxCmds->currentRow();
    {
        QSignalBlocker b(lbxCmds);
        lbxCmds->clear();
        for (const TComando& c : Profile.Comandos) lbxCmds->addItem(Q(c.Cmd));
    }
    if (Profile.ComandoAtual < 0) {
        lblParecido->clear();
        return;
    }
    try {
        const TComando c = Profile.Comandos[Profile.ComandoAtual];
        {
            QSignalBlocker b1(edtCmd), b2(edtFonemas), b3(edtArgProg), b4(edtArgPar), b5(edtArgTexto), b6(chbArgEspaco),
                b7(chbArgEnter);
            edtCmd->setText(Q(c.Cmd));
            edtFonemas->setText(Q(c.Fonemas));
            ShowSoundAlikes();
            switch (c.Acao) {
            case tcExecucao: {
                SetTipoCmdIndex(0);
                TExecArgs a = SplitExecArgs(c.Args);
                std::string params;
                for (size_t i = 0; i < a.Parameters.size(); ++i) params += (i ? " " : "") + a.Parameters[i];
                edtArgProg->setText(Q(a.Program));
                edtArgPar->setText(Q(params));
                break;
            }
            case tcTecla:
                SetTipoCmdIndex(1);
                edtArgTecla->setText(Q(c.Args));
                break;
            case tcAtivacao:
                SetTipoCmdIndex(2);
                break;
            case tcDigitacao: {
                SetTipoCmdIndex(3);
                TDigitacaoArgs a = SplitDigitacaoArgs(c.Args);
                chbArgEspaco->setChecked(a.MandarEspaco);
                chbArgEnter->setChecked(a.MandarEnter);
                edtArgTexto->setText(Q(a.Texto));
                break;
            }
            default:
                // A type outside 0..3 (a hand-edited profile) keeps its code:
                // no item is selected and the type change below leaves it alone.
                if (QAbstractButton* b = rdgTipoCmdItems->checkedButton()) {
                    rdgTipoCmdItems->setExclusive(false);
                    b->setChecked(false);
                    rdgTipoCmdItems->setExclusive(true);
                }
                break;
            }
        }
        rdgTipoCmdClick();
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(selected);
    } catch (const std::exception&) {
        Profile.ComandoAtual = -1;
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(-1);
        lbxCmds->clear();
        for (const TComando& c : Profile.Comandos) lbxCmds->addItem(Q(c.Cmd));
    }
}

void TForm1::rdgTipoCmdClick() {
    const int index = TipoCmdIndex();
    if (index < 0) return;
    ntbArgs->setCurrentIndex(index);
    if (Profile.ComandoAtual >= 0) Profile.Comandos.At(Profile.ComandoAtual).Acao = static_cast<uint8_t>(index);
}

void TForm1::edtCmdChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Cmd = C(edtCmd->text());
    const std::string fonemas = services_.TextToPhonemes(C(edtCmd->text()));
    {
        QSignalBlocker b(edtFonemas);
        edtFonemas->setText(Q(fonemas).toUpper());
    }
    edtFonemasChange();
}

void TForm1::edtFonemasChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Fonemas = C(edtFonemas->text());
    ShowSoundAlikes();
}

void TForm1::ShowSoundAlikes() {
    if (!numerosDoAviso_) {
        numerosDoAviso_.emplace();
        try {
            LoadNumericModifiers(*numerosDoAviso_, PastaExe + "modnum.ini");
        } catch (const std::exception&) {
            // A broken table only means no number words in the warning.
        }
    }
    lblParecido->setText(Q(SoundAlikeWarning(Profile.Comandos, Profile.ComandoAtual, *numerosDoAviso_)));
}

void TForm1::edtArgProgChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Args = JoinExecArgs(C(edtArgProg->text()), C(edtArgPar->text()));
}

void TForm1::edtArgTeclaKeyUp() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Args = C(edtArgTecla->text());
}

void TForm1::edtArgTextoChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Args =
        JoinDigitacaoArgs(chbArgEspaco->isChecked(), chbArgEnter->isChecked(), C(edtArgTexto->text()));
}

void TForm1::SpeedButton1Click() {
    services_.ShellOpen(PastaExe + "phoneset.txt");
}

void TForm1::SpeedButton7Click() {
    auto file = Choose(*dlgAbrirProg);
    if (file) edtArgProg->setText(*file);
}

void TForm1::btnAdicionarClick() {
    Profile.Comandos.AppendNew();
    RefreshCommandEditor();
    {
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(Profile.Comandos.Count() - 1);
    }
    lbxCmdsClick();
}

void TForm1::btnRemoverClick() {
    const int row = lbxCmds->currentRow();
    if (row < 0 || row >= Profile.Comandos.Count()) return;
    Profile.ComandoAtual = -1;
    Profile.Comandos.RemoveAt(row);
    {
        QSignalBlocker b(lbxCmds);
        lbxCmds->setCurrentRow(-1);
    }
    lbxCmdsClick();
    RefreshCommandEditor();
}

}  // namespace zel
