// The "treino" page: the user reads the shipped sentences aloud one by one,
// then the acoustic model is adapted to those recordings (voz/ in the
// program's folder), which every later switch-on loads. Reached from the
// menu while recognition is off.
#include <algorithm>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"
#include "form/FormLogic.h"
#include "recognition/training/VoiceFolder.h"
#include "recognition/training/VoiceTraining.h"

namespace zel {

namespace {

// The rate of the takes: the model's.
constexpr int32_t kTakeRate = 16000;
constexpr const char* kPromptFile = "frases_treino.txt";

std::string T(const char* utf8) { return Utf8ToCp1252(utf8); }

// What the page asks for, before the first sentence: every sentence is
// needed, at about six seconds each with the clicks.
std::string WhatItTakes(size_t sentences) {
    const size_t minutes = std::max<size_t>(1, (sentences * 6 + 59) / 60);
    return T("São ") + std::to_string(sentences) + T(" frases, cerca de ") + std::to_string(minutes) +
           (minutes == 1 ? T(" minuto") : T(" minutos")) + T(" de leitura; Adaptar fica disponível quando todas estiverem gravadas.");
}

}  // namespace

void TFormLogic::btnTreinarVozClick() {
    // The sentences are read afresh; the takes of this run of the program stay.
    if (!takes_) takes_ = std::make_unique<TTakeFolder>(PastaExe + kTakeFolderName, ReadPromptSentences(PastaExe + kPromptFile));
    if (takes_->Sentences().empty()) throw TError(T("Não há frases de treino em ") + PastaExe + kPromptFile);
    const std::string need = WhatItTakes(takes_->Sentences().size());
    Controls.lblTreinoStatus->SetText(AdaptedModelFolder(PastaExe).empty()
                                          ? need + T(" Leia cada frase em voz alta, no seu ritmo normal.")
                                          : T("Há um treino de voz em uso; um novo treino o substitui. ") + need);
    ShowPage(kPageTreino);
    ShowTake();
}

void TFormLogic::ShowTake() {
    const TFormControls& c = Controls;
    const size_t n = takes_->Sentences().size();
    const bool recording = recorder_.Recording();
    const bool busy = recording || Training();
    c.lblTreinoProgresso->SetText(std::to_string(take_ + 1) + " de " + std::to_string(n));
    c.lblTreinoFrase->SetText(takes_->Sentences()[take_]);
    c.btnGravar->SetEnabled(!Training() && (recording || !takes_->Has(take_)));
    c.btnRefazer->SetEnabled(!busy && takes_->Has(take_));
    c.btnProxima->SetEnabled(!busy && takes_->Has(take_) && take_ + 1 < n);
    c.btnAdaptar->SetEnabled(!busy && takes_->Count() == n);
    c.btnEsquecerTreino->SetEnabled(!busy && !AdaptedModelFolder(PastaExe).empty());
    c.btnVoltarTreino->SetEnabled(!busy);
    if (!recording) c.barNivel->SetPosition(0);
}

void TFormLogic::btnGravarClick() {
    const TFormControls& c = Controls;
    // The button flips after this handler: Checked is the state before the click.
    if (c.btnGravar->Checked()) {
        c.timerTreino->SetEnabled(false);
        const std::vector<int16_t> take = recorder_.Stop();
        if (HeardNothing(take)) {
            c.lblTreinoStatus->SetText(kHeardNothingMessage);
        } else {
            takes_->Keep(take_, take, kTakeRate);
            const size_t n = takes_->Sentences().size(), done = takes_->Count();
            const std::string count = std::to_string(done) + " de " + std::to_string(n);
            c.lblTreinoStatus->SetText(done == n ? T("Todas gravadas (") + count + T("): agora é adaptar.")
                                                 : T("Gravada (") + count + T(" gravadas). Clique em Próxima para a frase seguinte."));
        }
    } else {
        recorder_.Start(services_.OpenTakeMicrophone(kTakeRate));
        c.timerTreino->SetEnabled(true);
        c.lblTreinoStatus->SetText(T("Gravando… clique de novo ao terminar a frase."));
    }
    ShowTake();
}

void TFormLogic::btnRefazerClick() {
    takes_->Forget(take_);
    Controls.lblTreinoStatus->SetText(T("Grave a frase de novo."));
    ShowTake();
}

void TFormLogic::btnProximaClick() {
    ++take_;
    Controls.lblTreinoStatus->SetText("");
    ShowTake();
}

void TFormLogic::btnAdaptarClick() {
    training_ = std::make_unique<TTrainingRun>();
    TTrainingRun& run = *training_;
    Controls.lblTreinoStatus->SetText(T("Adaptando o modelo à sua voz…"));
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
    Controls.timerTreino->SetEnabled(true);
}

void TFormLogic::timerTreinoTimer() {
    const TFormControls& c = Controls;
    if (recorder_.Recording()) c.barNivel->SetPosition(recorder_.Level());
    if (!training_) return;
    if (!training_->Done) {
        std::lock_guard<std::mutex> lock(training_->Mutex);
        if (!training_->Progress.empty()) c.lblTreinoStatus->SetText(T("Adaptando: ") + training_->Progress + T("…"));
        return;
    }
    c.timerTreino->SetEnabled(false);
    std::exception_ptr error = training_->Error;
    training_.reset();
    c.lblTreinoStatus->SetText(error ? T("O treino não terminou; o modelo anterior continua em uso.")
                                     : T("Pronto: a sua voz será usada ao ligar o reconhecimento."));
    ShowTake();
    // The message box says why.
    if (error) std::rethrow_exception(error);
}

void TFormLogic::btnEsquecerTreinoClick() {
    ForgetVoiceModel(PastaExe);
    Controls.lblTreinoStatus->SetText(T("Treino de voz esquecido: o modelo instalado volta a ser usado."));
    ShowTake();
}

void TFormLogic::VoiceAdaptedFromUse(const TUseAdaptationEnd& end) {
    // The training page says it; a failure also in a message box.
    Controls.lblTreinoStatus->SetText(UseAdaptationMessage(end));
    if (!end.Error.empty()) throw TError(UseAdaptationMessage(end));
}

}  // namespace zel
