#pragma once
// The Windows window's controls, for the files of TForm1.
#include <memory>

#include "win32app/ControlIds.h"
#include "win32app/Form1.h"

namespace zel {

// The controls as the form's logic sees them.
struct TForm1::TParts {
    explicit TParts(HWND window)
        : timerAtivo(window, win32ids::kTimerAtivo), timerTreino(window, win32ids::kTimerTreino),
          timerMicrofone(window, win32ids::kTimerMicrofone) {}
    std::unique_ptr<TWin32PageBook> abook, ntbArgs;
    std::unique_ptr<TWin32Label> lblProfile, lblStatus, lblParecido, LblConfianca, lblSampling, lblTreinoProgresso,
        lblTreinoFrase, lblTreinoStatus;
    std::unique_ptr<TWin32Lamp> lmpOuvindo;
    std::unique_ptr<TWin32HeardList> lstOuvido;
    std::unique_ptr<TWin32ListBox> lbxCmds;
    std::unique_ptr<TWin32Panel> pnlEditarCmd;
    std::unique_ptr<TWin32TextBox> edtCmd, edtFonemas, edtArgProg, edtArgPar, edtArgTexto, edtTempoTeclas,
        edtTempoAtivo, edtSomAtivacao;
    std::unique_ptr<TWin32KeyCaptureBox> edtArgTecla, edtTeclaAtivacao;
    std::unique_ptr<TWin32RadioGroup> rdgTipoCmd;
    std::unique_ptr<TWin32CheckBox> chbArgEspaco, chbArgEnter, chbAtivaToggle, chbMostrarIndicador, chbMultiCmd,
        chbModNum, chbModoAdv, chbHistorico, chbAprenderUso;
    std::unique_ptr<TWin32TrackBar> tbConfianca, tbSampling;
    std::unique_ptr<TWin32Memo> mmoDitado;
    std::unique_ptr<TWin32ProgressBar> barNivel, pbNivel;
    std::unique_ptr<TWin32ComboBox> cbxMicrofone;
    std::unique_ptr<TWin32MenuItem> Reconhecer1, CarregarProfile1;
    std::unique_ptr<TWin32FileDialog> dlgAbrirProfile, dlgSalvarProfile, dlgAbrirProg, dlgAbrirWave, dlgAbrirDitado;
    TWin32Timer timerAtivo, timerTreino, timerMicrofone;
    std::unique_ptr<TMicrophoneChoice> pnlMicrofone;
    TImageButton* btnReconhecer = nullptr;
    TImageButton* btnGravar = nullptr;
    HWND image1 = nullptr;
    HBITMAP logo = nullptr;
    ~TParts() {
        if (logo) DeleteObject(logo);
    }
};

}  // namespace zel
