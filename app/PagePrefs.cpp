// The "prefs" page: the settings kept in config.ini.

#include "app/Form1.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStackedWidget>
#include <QToolButton>

#include <algorithm>

#include "app/FormParts.h"
#include "app/KeyCaptureEdit.h"
#include "app/MicrophonePanel.h"
#include "mathImg/MathBotao.h"

namespace zel {

void TForm1::CreatePrefsPage() {
    pagePrefs = NewPage(abook, "prefs");
    QWidget* p = pagePrefs;
    Label8 = NewLabel(p, "Label8", QStringLiteral("Tempo das teclas (ms)"), QPoint(20, 16));
    edtTempoTeclas = Named(new QLineEdit(p), "edtTempoTeclas", QRect(230, 12, 80, 22));
    const QString hintTeclas = QStringLiteral("O tempo que as teclas ficam pressionadas quando um comando é reconhecido (em milli-segundos)");
    Label8->setToolTip(hintTeclas);
    edtTempoTeclas->setToolTip(hintTeclas);
    Label9 = NewLabel(p, "Label9", QStringLiteral("Tempo de ativação (s)"), QPoint(20, 46));
    edtTempoAtivo = Named(new QLineEdit(p), "edtTempoAtivo", QRect(230, 42, 80, 22));
    const QString hintAtivo = QStringLiteral(
        "O tempo que o programa espera após um comando de ativação ter sido reconhecido (em segundos)");
    Label9->setToolTip(hintAtivo);
    edtTempoAtivo->setToolTip(hintAtivo);
    LblConfianca = Named(new QLabel(QStringLiteral("Confiança: 75%"), p), "LblConfianca", QRect(20, 76, 200, 18));
    tbConfianca = Named(new QSlider(Qt::Horizontal, p), "tbConfianca", QRect(20, 94, 290, 28));
    tbConfianca->setRange(0, 100);
    tbConfianca->setSingleStep(1);
    tbConfianca->setPageStep(10);
    tbConfianca->setTickPosition(QSlider::TicksBelow);
    tbConfianca->setTickInterval(10);
    lblSampling = Named(new QLabel(QStringLiteral("Sampling: 16000Hz"), p), "lblSampling", QRect(330, 76, 160, 18));
    tbSampling = Named(new QSlider(Qt::Horizontal, p), "tbSampling", QRect(330, 94, 160, 28));
    tbSampling->setRange(0, 5);
    tbSampling->setToolTip(QStringLiteral("A freqüência de sampling (amostras por segundo) usada para reconhecimento"));
    lblSampling->hide();
    tbSampling->hide();
    Label10 = NewLabel(p, "Label10", QStringLiteral("Som de Ativação"), QPoint(20, 132));
    edtSomAtivacao = Named(new QLineEdit(p), "edtSomAtivacao", QRect(20, 150, 440, 22));
    const QString hintSom = QStringLiteral("Um som que será tocado quando o reconhecimento começar");
    Label10->setToolTip(hintSom);
    edtSomAtivacao->setToolTip(hintSom);
    SpeedButton10 = NewSpeedButton(p, "SpeedButton10", QRect(464, 150, 24, 22));
    Label11 = NewLabel(p, "Label11", QStringLiteral("Tecla de ativação"), QPoint(330, 16));
    edtTeclaAtivacao = Named(new TKeyCaptureEdit(false, p), "edtTeclaAtivacao", QRect(330, 34, 100, 22));
    const QString hintTecla = QStringLiteral(
        "Uma tecla que será usada para detectar quando iniciar o reconhecimento (pode não funcionar com todos os programas)");
    Label11->setToolTip(hintTecla);
    edtTeclaAtivacao->setToolTip(hintTecla);
    // "Nenhuma": no activation key (a capture box cannot be emptied by a key).
    btnTeclaNenhuma = Named(new QToolButton(p), "btnTeclaNenhuma", QRect(434, 34, 70, 22));
    btnTeclaNenhuma->setText(QStringLiteral("Nenhuma"));
    btnTeclaNenhuma->setToolTip(QStringLiteral("Sem tecla de ativação"));
    connect(btnTeclaNenhuma, &QToolButton::clicked, this, [this] { Handle([this] { btnTeclaNenhumaClick(); }); });
    // The options, one under the other, each with its hint.
    int checkTop = 186;
    auto check = [&](const char* name, const QString& caption, const QString& hint) {
        auto* c = Named(new QCheckBox(caption, p), name, QRect(20, checkTop, 300, 20));
        c->setToolTip(hint);
        checkTop += 24;
        return c;
    };
    chbAtivaToggle = check("chbAtivaToggle", QStringLiteral("Manter Ativado"),
                           QStringLiteral("Mantém o reconhecimento de comandos ativado até que a palavra ou tecla de "
                                          "ativação sejam reconhecidos novamente"));
    chbMostrarIndicador = check("chbMostrarIndicador", QStringLiteral("Mostrar indicador"),
                                QStringLiteral("Mostra uma imagem no canto superior esquerdo da tela indicando que o "
                                               "reconhecimento está ligado (causa problemas em alguns programas)"));
    chbMultiCmd = check("chbMultiCmd", QStringLiteral("Aceitar multiplos comandos"),
                        QStringLiteral("Aceita mais de um comando por sentença"));
    chbModNum = check("chbModNum", QStringLiteral("Moficadores numéricos"),
                      QStringLiteral("Aceita modificadores numéricos (um, dois três..) para repetição de comandos (só "
                                     "funciona com 'múltiplos comandos' habilitado)"));
    chbModoAdv = check("chbModoAdv", QStringLiteral("Modo adventure"),
                       QStringLiteral("Envia um <enter> após cada pausa durante a fala"));
    chbHistorico = check("chbHistorico", QStringLiteral("Guardar histórico (historico.log)"),
                         QStringLiteral("Guarda cada frase ouvida, com a confiança e o que foi feito, no arquivo "
                                        "historico.log da pasta do programa"));
    chbHistorico->setChecked(true);
    chbAprenderUso = check("chbAprenderUso", QStringLiteral("Aprender com o uso"), QString::fromUtf8(kAprenderUsoHint));
    chbAprenderUso->setChecked(true);
    pnlMicrofone = Named(new TMicrophonePanel(Services(), p), "pnlMicrofone", QRect(330, 186, 170, 60));
    MathBotao2 = NewButton(p, "MathBotao2", QStringLiteral("voltar"), QRect(352, 316, 140, 30), true);

    MathBotao2->OnClick = [this] { btnVoltarClick(); };
    connect(chbHistorico, &QCheckBox::toggled, this, [this] { Handle([this] { chbHistoricoClick(); }); });
    connect(chbAprenderUso, &QCheckBox::toggled, this, [this] { Handle([this] { chbAprenderUsoClick(); }); });
    connect(tbConfianca, &QSlider::valueChanged, this, [this] { Handle([this] { tbConfiancaChange(); }); });
    connect(tbSampling, &QSlider::valueChanged, this, [this] { Handle([this] { tbSamplingChange(); }); });
    connect(SpeedButton10, &QToolButton::clicked, this, [this] { Handle([this] { SpeedButton10Click(); }); });
}

}  // namespace zel
