#pragma once
// The window's controls by number (their control ids), and the window's own
// messages. The program gives every control its id; a test program finds a
// control of the running window by it.
namespace zel::win32ids {

inline constexpr const wchar_t* kWindowClass = L"TForm1";
inline constexpr const wchar_t* kWindowTitle = L"MORO Zel";

// Every control, in the order of its id.
#define ZEL_WINDOW_CONTROLS(X) \
    X(btnMinimizar) X(MathBotao1) X(abook) X(pageMenu) X(pageComandos) \
    X(pagePrefs) X(pageDitado) X(pageApres) X(pageTreino) X(lblProfile) \
    X(btnCarregarProfile) X(btnSalvarProfile) X(BtnComandos) X(btnDitado) X(btnPreferencias) \
    X(btnReconhecer) X(lmpOuvindo) X(lstOuvido) X(btnTreinarVoz) X(lblStatus) \
    X(Label2) X(lbxCmds) X(btnAdicionar) X(btnRemover) X(btnVoltar) \
    X(pnlEditarCmd) X(Label3) X(lblParecido) X(edtCmd) X(Label4) \
    X(edtFonemas) X(SpeedButton1) X(rdgTipoCmd) X(rdgExecucao) X(rdgTecla) \
    X(rdgAtivacao) X(rdgDigitacao) X(ntbArgs) X(argExecucao) X(argTecla) \
    X(argVazio) X(argDigitacao) X(Label5) X(edtArgProg) X(SpeedButton7) \
    X(Label6) X(edtArgPar) X(Label7) X(edtArgTecla) X(Label12) \
    X(edtArgTexto) X(chbArgEspaco) X(chbArgEnter) X(Label8) X(edtTempoTeclas) \
    X(Label9) X(edtTempoAtivo) X(LblConfianca) X(tbConfianca) X(lblSampling) \
    X(tbSampling) X(Label10) X(edtSomAtivacao) X(SpeedButton10) X(Label11) \
    X(edtTeclaAtivacao) X(btnTeclaNenhuma) X(chbAtivaToggle) X(chbMostrarIndicador) X(chbMultiCmd) \
    X(chbModNum) X(chbModoAdv) X(chbHistorico) X(chbAprenderUso) X(lblMicrofone) X(cbxMicrofone) \
    X(pbNivel) X(MathBotao2) X(mmoDitado) X(btnCarregarDitado) X(btnLimparDitado) \
    X(MathBotao3) X(Image1) X(lblTreinoProgresso) X(lblTreinoFrase) X(barNivel) \
    X(btnGravar) X(btnRefazer) X(btnProxima) X(btnAdaptar) X(btnEsquecerTreino) \
    X(btnVoltarTreino) X(lblTreinoStatus) X(AbrirPainel1) X(CarregarProfile1) X(Reconhecer1) \
    X(cancelar1) X(Sair1)

enum : int {
    kFirst = 100,
#define ZEL_CONTROL_ID(name) name,
    ZEL_WINDOW_CONTROLS(ZEL_CONTROL_ID)
#undef ZEL_CONTROL_ID
};

// The id of a control's name, 0 for none (for programs that look at the window).
inline int IdOfName(const wchar_t* name) {
    struct TEntry {
        const wchar_t* Name;
        int Id;
    };
#define ZEL_CONTROL_ENTRY(n) {L## #n, n},
    static const TEntry entries[] = {ZEL_WINDOW_CONTROLS(ZEL_CONTROL_ENTRY)};
#undef ZEL_CONTROL_ENTRY
    for (const TEntry& e : entries) {
        const wchar_t* a = e.Name;
        const wchar_t* b = name;
        while (*a && *a == *b) ++a, ++b;
        if (*a == *b) return e.Id;
    }
    return 0;
}

// Timers.
enum : unsigned { kTimerAtivo = 1, kTimerTreino = 2, kTimerMicrofone = 3 };

// Messages of the window: the recognizer's events waiting (posted by the
// services' poster), the notification icon's mouse, a later start asking
// the running window to come to the front.
inline constexpr unsigned kWmRecognizerEvents = 0x8001;  // WM_APP + 1
inline constexpr unsigned kWmTrayIcon = 0x8002;
inline constexpr const wchar_t* kToFrontMessage = L"MORO Zel: para a frente";

}  // namespace zel::win32ids
