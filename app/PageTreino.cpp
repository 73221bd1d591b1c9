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

namespace {

// The rate of the takes: the model's.
constexpr int32_t kTakeRate = 16000;
constexpr const char* kPromptFile = "frases_treino.txt";

}  // namespace

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

    // The level meter while recording, and the progress of the adaptation.
    treinoTimer_ = new QTimer(this);
    treinoTimer_->setInterval(50);
    connect(treinoTimer_, &QTimer::timeout, this, [this] { Handle([this] { TrainingTick(); }); });
}

void TForm1::btnTreinarVozClick() {
    // The sentences are read afresh; the takes of this run of the program stay.
    if (!takes_) takes_ = std::make_unique<TTakeFolder>(PastaExe + "gravacoes/", ReadPromptSentences(PastaExe + kPromptFile));
    if (takes_->Sentences().empty()) throw TError(Utf8ToCp1252("Não há frases de treino em ") + PastaExe + kPromptFile);
    lblTreinoStatus->setText(AdaptedModelFolder(PastaExe).empty()
                                 ? QStringLiteral("Leia cada frase em voz alta, no seu ritmo normal.")
                                 : QStringLiteral("Há um treino de voz em uso. Um novo treino o substitui."));
    ShowPage(pageTreino);
    ShowTake();
}

void TForm1::ShowTake() {
    const size_t n = takes_->Sentences().size();
    const bool recording = recorder_.Recording();
    const bool busy = recording || Training();
    lblTreinoProgresso->setText(QStringLiteral("%1 de %2").arg(take_ + 1).arg(n));
    lblTreinoFrase->setText(Q(takes_->Sentences()[take_]));
    btnGravar->setEnabled(!Training() && (recording || !takes_->Has(take_)));
    btnRefazer->setEnabled(!busy && takes_->Has(take_));
    btnProxima->setEnabled(!busy && takes_->Has(take_) && take_ + 1 < n);
    btnAdaptar->setEnabled(!busy && takes_->Count() == n);
    btnEsquecerTreino->setEnabled(!busy && !AdaptedModelFolder(PastaExe).empty());
    btnVoltarTreino->setEnabled(!busy);
    if (!recording) barNivel->setValue(0);
}

void TForm1::btnGravarClick() {
    // The button flips after this handler: Checked is the state before the click.
    if (btnGravar->Checked()) {
        treinoTimer_->stop();
        const std::vector<int16_t> take = recorder_.Stop();
        if (HeardNothing(take)) {
            lblTreinoStatus->setText(Q(kHeardNothingMessage));
        } else {
            takes_->Keep(take_, take, kTakeRate);
            lblTreinoStatus->setText(take_ + 1 < takes_->Sentences().size()
                                         ? QStringLiteral("Gravada. Clique em Próxima para a frase seguinte.")
                                         : QStringLiteral("Todas gravadas: agora é adaptar."));
        }
    } else {
        recorder_.Start(services_.OpenTakeMicrophone(kTakeRate));
        treinoTimer_->start();
        lblTreinoStatus->setText(QStringLiteral("Gravando… clique de novo ao terminar a frase."));
    }
    ShowTake();
}

void TForm1::btnRefazerClick() {
    takes_->Forget(take_);
    lblTreinoStatus->setText(QStringLiteral("Grave a frase de novo."));
    ShowTake();
}

void TForm1::btnProximaClick() {
    ++take_;
    lblTreinoStatus->clear();
    ShowTake();
}

void TForm1::btnAdaptarClick() {
    training_ = std::make_unique<TTrainingRun>();
    TTrainingRun& run = *training_;
    lblTreinoStatus->setText(QStringLiteral("Adaptando o modelo à sua voz…"));
    ShowTake();
    run.Thread = std::thread([this, &run, takes = takes_->Prompts(), pasta = PastaExe] {
        try {
            services_.TrainVoice(takes, pasta, [&run](const std::string& step) {
                std::lock_guard<std::mutex> lock(run.Mutex);
                run.Progress = step;
            });
        } catch (...) {
            run.Error = std::current_exception();
        }
        run.Done = true;
    });
    treinoTimer_->start();
}

void TForm1::TrainingTick() {
    if (recorder_.Recording()) barNivel->setValue(recorder_.Level());
    if (!training_) return;
    if (!training_->Done) {
        std::lock_guard<std::mutex> lock(training_->Mutex);
        if (!training_->Progress.empty()) lblTreinoStatus->setText(QStringLiteral("Adaptando: ") + Q(training_->Progress) + QStringLiteral("…"));
        return;
    }
    treinoTimer_->stop();
    std::exception_ptr error = training_->Error;
    training_.reset();
    lblTreinoStatus->setText(error ? QStringLiteral("O treino não terminou; o modelo anterior continua em uso.")
                                   : QStringLiteral("Pronto: a sua voz será usada ao ligar o reconhecimento."));
    ShowTake();
    // The message box says why.
    if (error) std::rethrow_exception(error);
}

void TForm1::btnEsquecerTreinoClick() {
    ForgetVoiceModel(PastaExe);
    lblTreinoStatus->setText(QStringLiteral("Treino de voz esquecido: o modelo instalado volta a ser usado."));
    ShowTake();
}

}  // namespace zel
