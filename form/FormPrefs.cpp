// The "prefs" page: the settings kept in config.ini.
#include <algorithm>

#include "commands/Cp1252.h"
#include "form/FormLogic.h"

namespace zel {

void TFormLogic::tbConfiancaChange() {
    const int32_t value = Controls.tbConfianca->Position();
    Controls.LblConfianca->SetText(Utf8ToCp1252("Confiança: ") + std::to_string(value) + "%");
    services_.SetConfThreshPercentage(value);
}

void TFormLogic::tbSamplingChange() {
    const int32_t rate = kSamplingRates[std::clamp(Controls.tbSampling->Position(), 0, 5)];
    Controls.lblSampling->SetText("Sampling: " + std::to_string(rate) + "Hz");
    services_.SetSamplesPerSecond(rate);
}

void TFormLogic::SpeedButton10Click() {
    const std::optional<std::string> file = Controls.dlgAbrirWave->Run();
    if (file) Controls.edtSomAtivacao->SetFileName(*file);
}

// "Nenhuma": no activation key (a capture box cannot be emptied by a key).
void TFormLogic::btnTeclaNenhumaClick() { Controls.edtTeclaAtivacao->SetText(""); }

void TFormLogic::chbHistoricoClick() { services_.SetHistoryEnabled(Controls.chbHistorico->Checked()); }

void TFormLogic::chbAprenderUsoClick() { services_.SetLearningFromUse(Controls.chbAprenderUso->Checked()); }

}  // namespace zel
