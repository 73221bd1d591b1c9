// The "treino" page: the user reads the shipped sentences aloud one by one,
// then the acoustic model is adapted to those recordings (voz/ in the
// program's folder), which every later switch-on loads. Reached from the
// menu while recognition is off.

#include "app/Form1.h"

#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>

#include "app/FormParts.h"
#include "commands/ZelError.h"
#include "mathImg/MathBotao.h"
#include "recognition/training/TakeRecorder.h"
#include "recognition/training/VoiceFolder.h"

namespace zel {

void TForm1::CreateTreinoPage() {
    // Under the heard panel, level with the last button of the column.
    btnTreinarVoz = NewButton(pageMenu, "btnTreinarVoz", QStringLiteral("treinar_voz"), QRect(286, 230, 140, 30), true);
    btnTreinarVoz->OnClick = [this] { btnTreinarVozClick(); };

    pageTreino = new QWidget;
    pageTreino->setObjectName(QStringLiteral("treino"));
    abook->addWidget(pageTreino);
    QFont big = font();
    big.setPixelSize(16);
    lblTreinoProgresso = Named(new QLabel(pageTreino), "lblTreinoProgresso", QRect(0, 14, 508, 22));
    lblTreinoProgresso->setAlignment(Qt::AlignCenter);
    lblTreinoProgresso->setFont(big);
    // The sentence in large letters, to be read from a step back.
    QFont large = font();
    large.setPixelSize(24);
    large.setBold(true);
    lblTreinoFrase = Named(new QLabel(pageTreino), "lblTreinoFrase", QRect(24, 42, 460, 100));
    lblTreinoFrase->setAlignment(Qt::AlignCenter);
    lblTreinoFrase->setWordWrap(true);
    lblTreinoFrase->setFont(large);
    barNivel = Named(new QProgressBar(pageTreino), "barNivel", QRect(104, 152, 300, 12));
    barNivel->setRange(0, 100);
    barNivel->setTextVisible(false);
    btnGravar = NewButton(pageTreino, "btnGravar", QStringLiteral("gravar"), QRect(34, 178, 140, 30), true);
    btnGravar->ManterClicado = true;
    btnGravar->SetCheckedPicture(SkinImage(QStringLiteral("parar_gravacao")));
    btnRefazer = NewButton(pageTreino, "btnRefazer", QStringLiteral("refazer"), QRect(184, 178, 140, 30), true);
    btnProxima = NewButton(pageTreino, "btnProxima", QStringLiteral("proxima"), QRect(334, 178, 140, 30), true);
    btnAdaptar = NewButton(pageTreino, "btnAdaptar", QStringLiteral("adaptar"), QRect(34, 222, 140, 30), true);
    btnEsquecerTreino =
        NewButton(pageTreino, "btnEsquecerTreino", QStringLiteral("esquecer_treino"), QRect(184, 222, 140, 30), true);
    btnVoltarTreino = NewButton(pageTreino, "btnVoltarTreino", QStringLiteral("voltar"), QRect(334, 222, 140, 30), true);
    lblTreinoStatus = NewStatusLabel(pageTreino, "lblTreinoStatus", QString(), big);

    btnGravar->OnClick = [this] { btnGravarClick(); };
    btnRefazer->OnClick = [this] { btnRefazerClick(); };
    btnProxima->OnClick = [this] { btnProximaClick(); };
    btnAdaptar->OnClick = [this] { btnAdaptarClick(); };
    btnEsquecerTreino->OnClick = [this] { btnEsquecerTreinoClick(); };
    btnVoltarTreino->OnClick = [this] { btnVoltarClick(); };
}

}  // namespace zel
