// The window's controls: every page as the Linux window has it, at the same
// places, made of Windows' controls, and handed to the form's logic.
#include "win32app/Form1.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <cmath>

#include "commands/Cp1252.h"
#include "commands/Profile.h"
#include "win32app/ControlIds.h"
#include "win32app/FormParts.h"
#include "win32app/Win32Text.h"

namespace zel {

namespace ids = win32ids;

namespace {

constexpr COLORREF kPageColour = RGB(55, 63, 55);
constexpr COLORREF kFieldColour = RGB(39, 46, 39);
constexpr const wchar_t* kPageClass = L"ZelPagina";

std::wstring W(const char* utf8) { return WideUtf8(utf8); }

HFONT MakeFont(int pixels, bool bold) {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Verdana");
}

}  // namespace

TForm1::TForm1(IWindowServices& services, std::string pastaExe) : TFormLogic(services, std::move(pastaExe)) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&common);
    TImageButton::Register();
    TWin32Lamp::Register();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, L"IDI_ZEL");
    wc.lpszClassName = ids::kWindowClass;
    RegisterClassW(&wc);
    WNDCLASSW page{};
    page.lpfnWndProc = &PageProc;
    page.hInstance = instance;
    page.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    page.lpszClassName = kPageClass;
    pageBrush_ = CreateSolidBrush(kPageColour);
    fieldBrush_ = CreateSolidBrush(kFieldColour);
    page.hbrBackground = pageBrush_;
    RegisterClassW(&page);

    // Sized for the screen it opens on.
    scale_ = GetDpiForSystem() / 96.0;
    background_ = Scaled(LoadSkin(L"FUNDO"), scale_);
    backgroundBitmap_ = MakeBitmap(background_);
    font_ = MakeFont(S(13), false);
    big_ = MakeFont(S(16), false);
    large_ = MakeFont(S(24), true);
    small_ = MakeFont(S(12), false);
    // A window of its own shape: no caption, no frame; a tool window would
    // leave the taskbar, so it stays an ordinary one.
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, ids::kWindowClass, ids::kWindowTitle,
                            WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            background_.Width, background_.Height, nullptr, nullptr, instance, this);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    toFront_ = RegisterWindowMessageW(ids::kToFrontMessage);
    parts_ = std::make_unique<TParts>(hwnd_);
    CreateComponents();
    HandOverControls();
    ConnectServices();
    FormCreate();
}

TForm1::~TForm1() {
    DisconnectServices();
    FormDestroy();
    RemoveTrayIcon();
    parts_.reset();
    buttons_.clear();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(big_), static_cast<HGDIOBJ>(large_),
                      static_cast<HGDIOBJ>(small_), static_cast<HGDIOBJ>(pageBrush_), static_cast<HGDIOBJ>(fieldBrush_),
                      static_cast<HGDIOBJ>(backgroundBitmap_)})
        if (o) DeleteObject(o);
    if (popTray_) DestroyMenu(popTray_);
    for (HICON icon : {iconOn_, iconOff_})
        if (icon) DestroyIcon(icon);
}

int TForm1::S(int pixels) const { return static_cast<int>(std::lround(pixels * scale_)); }

RECT TForm1::At(int x, int y, int w, int h) const { return RECT{S(x), S(y), S(x + w), S(y + h)}; }

HWND TForm1::Page(HWND parent, int id, int x, int y, int w, int h) {
    // Tab goes into a page's controls as into the window's own.
    // Not clipping its children: a group box paints only its frame, and the
    // page's own background must show inside it.
    return Control(kPageClass, L"", WS_CHILD, parent, id, At(x, y, w, h), nullptr, WS_EX_CONTROLPARENT);
}

HWND TForm1::Control(const wchar_t* cls, const std::wstring& text, DWORD style, HWND parent, int id, RECT place,
                     HFONT font, DWORD exStyle) {
    HWND h = CreateWindowExW(exStyle, cls, text.c_str(), style | WS_CHILD, place.left, place.top,
                             place.right - place.left, place.bottom - place.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : font_), FALSE);
    // A little room around the text of an edit box, as the Linux window has.
    if (std::wstring_view(cls) == WC_EDITW) SendMessageW(h, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(S(3), S(3)));
    return h;
}

HWND TForm1::Label(HWND parent, int id, const std::wstring& text, int x, int y, int w, int h, HFONT font) {
    return Control(WC_STATICW, text, WS_VISIBLE | SS_NOPREFIX, parent, id, At(x, y, w, h), font);
}

TImageButton* TForm1::Button(HWND parent, int id, const std::wstring& caption, const wchar_t* strip, RECT place,
                             bool transparent, const std::function<void()>& click) {
    auto button = std::make_unique<TImageButton>(parent, id, caption, place, Scaled(LoadSkin(strip), scale_),
                                                 transparent, kPageColour);
    button->OnClick = click;
    TImageButton* b = button.get();
    buttonById_[id] = b;
    buttons_.push_back(std::move(button));
    return b;
}

HWND TForm1::SpeedButton(HWND parent, int id, RECT place, const std::function<void()>& click) {
    HWND h = Control(WC_BUTTONW, L"...", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, parent, id, place);
    OnCommand(id, click);
    return h;
}

void TForm1::OnCommand(int id, std::function<void()> handler) {
    commands_[id] = [this, handler = std::move(handler)] { Handle(handler); };
}

void TForm1::CreateComponents() {
    Button(hwnd_, ids::btnMinimizar, L"Minimizar", L"MINIMIZAR", At(496, 10, 16, 14), false, [this] { btnMinimizarClick(); })
        ->SetHint("Minimizar");
    Button(hwnd_, ids::MathBotao1, L"Sair", L"FECHAR", At(514, 10, 16, 14), false, [this] { MathBotao1Click(); })
        ->SetHint("Sair");
    HWND book = Control(kPageClass, L"", WS_VISIBLE | WS_CLIPCHILDREN, hwnd_, ids::abook, At(34, 36, 508, 364), nullptr,
                        WS_EX_CONTROLPARENT);
    std::vector<HWND> pages;
    for (int id : {ids::pageMenu, ids::pageComandos, ids::pagePrefs, ids::pageDitado, ids::pageApres, ids::pageTreino})
        pages.push_back(Page(book, id, 0, 0, 508, 364));
    parts_->abook = std::make_unique<TWin32PageBook>(book, pages);
    CreateMenuPage();
    CreateComandosPage();
    CreatePrefsPage();
    CreateDitadoPage();
    CreateApresPage();
    CreateTreinoPage();
    CreateTray();
    parts_->timerAtivo.OnTick = [this] { timerAtivoTimer(); };
    parts_->timerTreino.OnTick = [this] { timerTreinoTimer(); };
    parts_->timerTreino.SetInterval(50);
}

void TForm1::CreateMenuPage() {
    HWND p = parts_->abook->Page(kPageMenu);
    TParts& t = *parts_;
    t.lblProfile = std::make_unique<TWin32Label>(Control(WC_STATICW, WideText(kNoProfileCaption),
                                                         WS_VISIBLE | SS_CENTER | SS_NOPREFIX, p, ids::lblProfile,
                                                         At(0, 14, 508, 24), big_));
    Button(p, ids::btnCarregarProfile, L"Carregar Profile", L"CARREGAR_PROFILE", At(34, 62, 140, 30), true,
           [this] { btnCarregarProfileClick(); });
    Button(p, ids::btnSalvarProfile, L"Salvar Profile", L"SALVAR_PROFILE", At(34, 104, 140, 30), true,
           [this] { btnSalvarProfileClick(); });
    Button(p, ids::BtnComandos, L"Comandos", L"COMANDOS", At(34, 146, 140, 30), true, [this] { BtnComandosClick(); });
    Button(p, ids::btnDitado, L"Ditado", L"DITADO", At(34, 188, 140, 30), true, [this] { btnDitadoClick(); });
    Button(p, ids::btnPreferencias, W("Preferências"), L"PREFERENCIAS", At(34, 230, 140, 30), true,
           [this] { btnPreferenciasClick(); });
    // The big button sits level with the first of the five, leaving the
    // space under it to what was heard.
    t.btnReconhecer = Button(p, ids::btnReconhecer, L"Reconhecer", L"RECONHECER", At(270, 62, 172, 76), true,
                             [this] { btnReconhecerClick(); });
    t.btnReconhecer->ManterClicado = true;
    // While on, the caption says what the next click does.
    t.btnReconhecer->SetCheckedPicture(Scaled(LoadSkin(L"PARAR"), scale_));
    t.lmpOuvindo = std::make_unique<TWin32Lamp>(
        Control(L"ZelLampada", L"", WS_VISIBLE, p, ids::lmpOuvindo, At(450, 93, 14, 14)));
    t.lmpOuvindo->SetState(ILamp::Off);
    t.lstOuvido = std::make_unique<TWin32HeardList>(
        Control(WC_LISTBOXW, L"", WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOSEL | LBS_NOINTEGRALHEIGHT, p,
                ids::lstOuvido, At(196, 148, 300, 74), small_));
    SetToolTip(t.lstOuvido->Window(), Utf8ToCp1252("O que o reconhecedor ouviu e o que foi feito, o mais recente em cima"));
    Button(p, ids::btnTreinarVoz, L"Treinar voz", L"TREINAR_VOZ", At(286, 230, 140, 30), true,
           [this] { btnTreinarVozClick(); });
    // A failure's message may take three lines: they grow upwards into the
    // free space under the buttons (drawn by the window, bottom-aligned).
    t.lblStatus = std::make_unique<TWin32Label>(Control(WC_STATICW, L"Reconhecimento Desligado",
                                                        WS_VISIBLE | SS_OWNERDRAW, p, ids::lblStatus,
                                                        At(0, 266, 508, 58), big_));
}

void TForm1::CreateComandosPage() {
    HWND p = parts_->abook->Page(kPageComandos);
    TParts& t = *parts_;
    Label(p, ids::Label2, L"Comandos", 16, 8);
    t.lbxCmds = std::make_unique<TWin32ListBox>(Control(WC_LISTBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                                                              LBS_NOINTEGRALHEIGHT,
                                                        p, ids::lbxCmds, At(16, 28, 170, 240)));
    OnCommand(ids::lbxCmds, [this] { lbxCmdsClick(); });
    Button(p, ids::btnAdicionar, L"Adicionar", L"ADICIONAR", At(16, 278, 140, 30), true, [this] { btnAdicionarClick(); });
    Button(p, ids::btnRemover, L"Remover", L"REMOVER", At(16, 316, 140, 30), true, [this] { btnRemoverClick(); });
    Button(p, ids::btnVoltar, L"Voltar", L"VOLTAR", At(352, 316, 140, 30), true, [this] { btnVoltarClick(); });

    HWND e = Page(p, ids::pnlEditarCmd, 200, 8, 294, 300);
    ShowWindow(e, SW_SHOW);
    t.pnlEditarCmd = std::make_unique<TWin32Panel>(e);
    Label(e, ids::Label3, L"Comando", 0, 0);
    t.lblParecido = std::make_unique<TWin32Label>(
        Control(WC_STATICW, L"", WS_VISIBLE | SS_RIGHT | SS_NOPREFIX, e, ids::lblParecido, At(64, 0, 230, 18)));
    t.lblParecido->SetHint("O reconhecedor pode confundir estas palavras; prefira outra");
    const DWORD edit = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    t.edtCmd = std::make_unique<TWin32TextBox>(Control(WC_EDITW, L"", edit, e, ids::edtCmd, At(0, 18, 294, 22), nullptr));
    OnCommand(ids::edtCmd, [this] { edtCmdChange(); });
    Label(e, ids::Label4, W("Pronúncia"), 0, 46);
    // The box turns typed letters into capitals.
    t.edtFonemas = std::make_unique<TWin32TextBox>(
        Control(WC_EDITW, L"", edit | ES_UPPERCASE, e, ids::edtFonemas, At(0, 64, 266, 22)));
    OnCommand(ids::edtFonemas, [this] { edtFonemasChange(); });
    SetToolTip(SpeedButton(e, ids::SpeedButton1, At(270, 64, 24, 22), [this] { SpeedButton1Click(); }), "Lista de Fonemas");
    HWND group = Control(WC_BUTTONW, L"Tipo", WS_VISIBLE | BS_GROUPBOX, e, ids::rdgTipoCmd, At(0, 94, 294, 70));
    SetWindowTheme(group, L" ", L" ");
    std::vector<HWND> radios;
    const char* items[] = {"Execução", "Tecla", "Ativação", "Digitação"};
    const int radioIds[] = {ids::rdgExecucao, ids::rdgTecla, ids::rdgAtivacao, ids::rdgDigitacao};
    for (int i = 0; i < 4; ++i) {
        HWND r = Control(WC_BUTTONW, W(items[i]),
                         WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), e, radioIds[i],
                         At(10 + (i % 2) * 140, 94 + 18 + (i / 2) * 22, 130, 20));
        SetWindowTheme(r, L" ", L" ");
        radios.push_back(r);
        OnCommand(radioIds[i], [this] { rdgTipoCmdClick(); });
    }
    t.rdgTipoCmd = std::make_unique<TWin32RadioGroup>(group, radios);
    t.rdgTipoCmd->FillItemIndex(1);

    HWND args = Control(kPageClass, L"", WS_VISIBLE, e, ids::ntbArgs, At(0, 172, 294, 120), nullptr,
                        WS_EX_CONTROLPARENT);
    std::vector<HWND> argPages;
    for (int id : {ids::argExecucao, ids::argTecla, ids::argVazio, ids::argDigitacao})
        argPages.push_back(Page(args, id, 0, 0, 294, 120));
    t.ntbArgs = std::make_unique<TWin32PageBook>(args, argPages);
    HWND exec = argPages[0], key = argPages[1], text = argPages[3];
    Label(exec, ids::Label5, L"Programa:", 0, 0);
    t.edtArgProg = std::make_unique<TWin32TextBox>(
        Control(WC_EDITW, L"", edit, exec, ids::edtArgProg, At(0, 18, 266, 22)));
    OnCommand(ids::edtArgProg, [this] { edtArgProgChange(); });
    SpeedButton(exec, ids::SpeedButton7, At(270, 18, 24, 22), [this] { SpeedButton7Click(); });
    Label(exec, ids::Label6, W("Parâmetros"), 0, 46);
    t.edtArgPar = std::make_unique<TWin32TextBox>(
        Control(WC_EDITW, L"", edit, exec, ids::edtArgPar, At(0, 64, 294, 22)));
    OnCommand(ids::edtArgPar, [this] { edtArgProgChange(); });
    Label(key, ids::Label7, L"Tecla", 0, 0);
    t.edtArgTecla = std::make_unique<TWin32KeyCaptureBox>(
        Control(WC_EDITW, L"", edit, key, ids::edtArgTecla, At(0, 18, 294, 22)), true);
    t.edtArgTecla->OnKeyUp = [this] { Handle([this] { edtArgTeclaKeyUp(); }); };
    Label(text, ids::Label12, L"Texto", 0, 0);
    t.edtArgTexto = std::make_unique<TWin32TextBox>(
        Control(WC_EDITW, L"", edit, text, ids::edtArgTexto, At(0, 18, 294, 22)));
    OnCommand(ids::edtArgTexto, [this] { edtArgTextoChange(); });
    auto check = [&](HWND parent, int id, const char* caption, int x, int y, int w) {
        HWND c = Control(WC_BUTTONW, W(caption), WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, parent, id, At(x, y, w, 20));
        SetWindowTheme(c, L" ", L" ");
        return c;
    };
    t.chbArgEspaco = std::make_unique<TWin32CheckBox>(check(text, ids::chbArgEspaco, "Mandar Espaço", 0, 48, 200));
    t.chbArgEnter = std::make_unique<TWin32CheckBox>(check(text, ids::chbArgEnter, "Mandar enter", 0, 72, 200));
    OnCommand(ids::chbArgEspaco, [this] { edtArgTextoChange(); });
    OnCommand(ids::chbArgEnter, [this] { edtArgTextoChange(); });
}

void TForm1::CreatePrefsPage() {
    HWND p = parts_->abook->Page(kPagePrefs);
    TParts& t = *parts_;
    const DWORD edit = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    auto hinted = [](HWND label, HWND control, const char* hint) {
        SetToolTip(label, Utf8ToCp1252(hint));
        SetToolTip(control, Utf8ToCp1252(hint));
    };
    HWND l8 = Label(p, ids::Label8, L"Tempo das teclas (ms)", 20, 16);
    t.edtTempoTeclas = std::make_unique<TWin32TextBox>(
        Control(WC_EDITW, L"", edit, p, ids::edtTempoTeclas, At(230, 12, 80, 22)));
    hinted(l8, t.edtTempoTeclas->Window(),
           "O tempo que as teclas ficam pressionadas quando um comando é reconhecido (em milli-segundos)");
    HWND l9 = Label(p, ids::Label9, W("Tempo de ativação (s)"), 20, 46);
    t.edtTempoAtivo = std::make_unique<TWin32TextBox>(
        Control(WC_EDITW, L"", edit, p, ids::edtTempoAtivo, At(230, 42, 80, 22)));
    hinted(l9, t.edtTempoAtivo->Window(),
           "O tempo que o programa espera após um comando de ativação ter sido reconhecido (em segundos)");
    t.LblConfianca = std::make_unique<TWin32Label>(Label(p, ids::LblConfianca, W("Confiança: 75%"), 20, 76, 200));
    t.tbConfianca = std::make_unique<TWin32TrackBar>(Control(TRACKBAR_CLASSW, L"", WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS,
                                                             p, ids::tbConfianca, At(20, 94, 290, 28)));
    SendMessageW(t.tbConfianca->Window(), TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(t.tbConfianca->Window(), TBM_SETPAGESIZE, 0, 10);
    SendMessageW(t.tbConfianca->Window(), TBM_SETTICFREQ, 10, 0);
    OnCommand(ids::tbConfianca, [this] { tbConfiancaChange(); });
    // The sampling rate is kept in config.ini but not shown, as on Linux.
    t.lblSampling = std::make_unique<TWin32Label>(Control(WC_STATICW, L"Sampling: 16000Hz", SS_NOPREFIX, p,
                                                          ids::lblSampling, At(330, 76, 160, 18)));
    t.tbSampling = std::make_unique<TWin32TrackBar>(Control(TRACKBAR_CLASSW, L"", 0, p, ids::tbSampling, At(330, 94, 160, 28)));
    SendMessageW(t.tbSampling->Window(), TBM_SETRANGE, TRUE, MAKELPARAM(0, 5));
    OnCommand(ids::tbSampling, [this] { tbSamplingChange(); });
    HWND l10 = Label(p, ids::Label10, W("Som de Ativação"), 20, 132);
    t.edtSomAtivacao = std::make_unique<TWin32TextBox>(
        Control(WC_EDITW, L"", edit, p, ids::edtSomAtivacao, At(20, 150, 440, 22)));
    hinted(l10, t.edtSomAtivacao->Window(), "Um som que será tocado quando o reconhecimento começar");
    SpeedButton(p, ids::SpeedButton10, At(464, 150, 24, 22), [this] { SpeedButton10Click(); });
    HWND l11 = Label(p, ids::Label11, W("Tecla de ativação"), 330, 16);
    t.edtTeclaAtivacao = std::make_unique<TWin32KeyCaptureBox>(
        Control(WC_EDITW, L"", edit, p, ids::edtTeclaAtivacao, At(330, 34, 100, 22)), false);
    hinted(l11, t.edtTeclaAtivacao->Window(),
           "Uma tecla que será usada para detectar quando iniciar o reconhecimento (pode não funcionar com todos os "
           "programas)");
    HWND none = Control(WC_BUTTONW, L"Nenhuma", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, p, ids::btnTeclaNenhuma,
                        At(434, 34, 70, 22));
    SetToolTip(none, Utf8ToCp1252("Sem tecla de ativação"));
    OnCommand(ids::btnTeclaNenhuma, [this] { btnTeclaNenhumaClick(); });
    // The options, one under the other, each with its hint.
    int top = 186;
    auto option = [&](int id, const char* caption, const char* hint) {
        HWND c = Control(WC_BUTTONW, W(caption), WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, p, id, At(20, top, 300, 20));
        SetWindowTheme(c, L" ", L" ");
        SetToolTip(c, Utf8ToCp1252(hint));
        top += 24;
        return std::make_unique<TWin32CheckBox>(c);
    };
    t.chbAtivaToggle = option(ids::chbAtivaToggle, "Manter Ativado",
                              "Mantém o reconhecimento de comandos ativado até que a palavra ou tecla de ativação sejam "
                              "reconhecidos novamente");
    t.chbMostrarIndicador = option(ids::chbMostrarIndicador, "Mostrar indicador",
                                   "Mostra uma imagem no canto superior esquerdo da tela indicando que o reconhecimento "
                                   "está ligado (causa problemas em alguns programas)");
    t.chbMultiCmd = option(ids::chbMultiCmd, "Aceitar multiplos comandos", "Aceita mais de um comando por sentença");
    t.chbModNum = option(ids::chbModNum, "Moficadores numéricos",
                         "Aceita modificadores numéricos (um, dois três..) para repetição de comandos (só funciona com "
                         "'múltiplos comandos' habilitado)");
    t.chbModoAdv = option(ids::chbModoAdv, "Modo adventure", "Envia um <enter> após cada pausa durante a fala");
    t.chbHistorico = option(ids::chbHistorico, "Guardar histórico (historico.log)",
                            "Guarda cada frase ouvida, com a confiança e o que foi feito, no arquivo historico.log da "
                            "pasta do programa");
    t.chbHistorico->Fill(true);
    OnCommand(ids::chbHistorico, [this] { chbHistoricoClick(); });
    t.chbAprenderUso = option(ids::chbAprenderUso, "Aprender com o uso", kAprenderUsoHint);
    t.chbAprenderUso->Fill(true);
    OnCommand(ids::chbAprenderUso, [this] { chbAprenderUsoClick(); });
    // The microphone: the source and its level.
    Label(p, ids::lblMicrofone, L"Microfone", 330, 186, 170);
    t.cbxMicrofone = std::make_unique<TWin32ComboBox>(Control(WC_COMBOBOXW, L"", WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST |
                                                                                    WS_VSCROLL,
                                                              p, ids::cbxMicrofone, At(330, 204, 170, 160)));
    t.pbNivel = std::make_unique<TWin32ProgressBar>(
        Control(PROGRESS_CLASSW, L"", WS_VISIBLE, p, ids::pbNivel, At(330, 232, 170, 10)));
    SendMessageW(t.pbNivel->Window(), PBM_SETRANGE32, 0, 100);
    t.pnlMicrofone = std::make_unique<TMicrophoneChoice>(Services(), *t.cbxMicrofone, *t.pbNivel, t.timerMicrofone);
    t.timerMicrofone.OnTick = [this] { parts_->pnlMicrofone->Poll(); };
    OnCommand(ids::cbxMicrofone, [this] { parts_->pnlMicrofone->Chosen(parts_->cbxMicrofone->Chosen()); });
    Button(p, ids::MathBotao2, L"Voltar", L"VOLTAR", At(352, 316, 140, 30), true, [this] { btnVoltarClick(); });
}

void TForm1::CreateDitadoPage() {
    HWND p = parts_->abook->Page(kPageDitado);
    TParts& t = *parts_;
    t.mmoDitado = std::make_unique<TWin32Memo>(Control(WC_EDITW, L"",
                                                       WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
                                                           ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL,
                                                       p, ids::mmoDitado, At(16, 12, 476, 294)));
    // A dictation text may be long: no limit but the system's.
    SendMessageW(t.mmoDitado->Window(), EM_SETLIMITTEXT, 0, 0);
    Button(p, ids::btnCarregarDitado, L"Carregar", L"CARREGAR", At(16, 316, 140, 30), true, [this] { btnCarregarDitadoClick(); });
    Button(p, ids::btnLimparDitado, L"Limpar", L"LIMPAR", At(172, 316, 140, 30), true, [this] { btnLimparDitadoClick(); });
    Button(p, ids::MathBotao3, L"Voltar", L"VOLTAR", At(352, 316, 140, 30), true, [this] { btnVoltarClick(); });
}

void TForm1::CreateApresPage() {
    HWND p = parts_->abook->Page(kPageApres);
    TParts& t = *parts_;
    t.logo = MakeBitmap(Scaled(LoadSkin(L"LOGO"), scale_));
    t.image1 = Control(WC_STATICW, L"MORO Zel", WS_VISIBLE | SS_BITMAP | SS_NOTIFY, p, ids::Image1, At(0, 0, 508, 364));
    SendMessageW(t.image1, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(t.logo));
    // The picture leads to the menu.
    OnCommand(ids::Image1, [this] { Image1Click(); });
}

void TForm1::CreateTreinoPage() {
    HWND p = parts_->abook->Page(kPageTreino);
    TParts& t = *parts_;
    t.lblTreinoProgresso = std::make_unique<TWin32Label>(Control(WC_STATICW, L"", WS_VISIBLE | SS_CENTER | SS_NOPREFIX, p,
                                                                 ids::lblTreinoProgresso, At(0, 14, 508, 22), big_));
    // The sentence in large letters, to be read from a step back.
    t.lblTreinoFrase = std::make_unique<TWin32Label>(Control(WC_STATICW, L"", WS_VISIBLE | SS_CENTER | SS_NOPREFIX, p,
                                                             ids::lblTreinoFrase, At(24, 42, 460, 100), large_));
    t.barNivel = std::make_unique<TWin32ProgressBar>(
        Control(PROGRESS_CLASSW, L"", WS_VISIBLE, p, ids::barNivel, At(104, 152, 300, 12)));
    SendMessageW(t.barNivel->Window(), PBM_SETRANGE32, 0, 100);
    t.btnGravar = Button(p, ids::btnGravar, L"Gravar", L"GRAVAR", At(34, 178, 140, 30), true, [this] { btnGravarClick(); });
    t.btnGravar->ManterClicado = true;
    t.btnGravar->SetCheckedPicture(Scaled(LoadSkin(L"PARAR_GRAVACAO"), scale_));
    Button(p, ids::btnRefazer, L"Refazer", L"REFAZER", At(184, 178, 140, 30), true, [this] { btnRefazerClick(); });
    Button(p, ids::btnProxima, W("Próxima"), L"PROXIMA", At(334, 178, 140, 30), true, [this] { btnProximaClick(); });
    Button(p, ids::btnAdaptar, L"Adaptar", L"ADAPTAR", At(34, 222, 140, 30), true, [this] { btnAdaptarClick(); });
    Button(p, ids::btnEsquecerTreino, L"Esquecer treino", L"ESQUECER_TREINO", At(184, 222, 140, 30), true,
           [this] { btnEsquecerTreinoClick(); });
    Button(p, ids::btnVoltarTreino, L"Voltar", L"VOLTAR", At(334, 222, 140, 30), true, [this] { btnVoltarClick(); });
    t.lblTreinoStatus = std::make_unique<TWin32Label>(
        Control(WC_STATICW, L"", WS_VISIBLE | SS_OWNERDRAW, p, ids::lblTreinoStatus, At(0, 266, 508, 58), big_));
}

void TForm1::CreateTray() {
    popTray_ = CreatePopupMenu();
    AppendMenuW(popTray_, MF_STRING, ids::AbrirPainel1, L"Abrir Painel");
    AppendMenuW(popTray_, MF_STRING, ids::CarregarProfile1, L"Carregar Profile");
    AppendMenuW(popTray_, MF_STRING, ids::Reconhecer1, L"Reconhecer");
    AppendMenuW(popTray_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popTray_, MF_STRING, ids::cancelar1, L"Cancelar");
    AppendMenuW(popTray_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popTray_, MF_STRING, ids::Sair1, L"Sair");
    parts_->Reconhecer1 = std::make_unique<TWin32MenuItem>(popTray_, ids::Reconhecer1);
    parts_->CarregarProfile1 = std::make_unique<TWin32MenuItem>(popTray_, ids::CarregarProfile1);
    OnCommand(ids::AbrirPainel1, [this] { AbrirPainel1Click(); });
    OnCommand(ids::CarregarProfile1, [this] { btnCarregarProfileClick(); });
    // The item's check mark is the switch's to set, not the menu's.
    OnCommand(ids::Reconhecer1, [this] { Reconhecer1Click(); });
    OnCommand(ids::Sair1, [this] { Sair1Click(); });
}

void TForm1::HandOverControls() {
    TParts& t = *parts_;
    const std::string profiles = "Arquivos de profile|*.zpr|Todos os arquivos|*.*";
    t.dlgAbrirProfile = std::make_unique<TWin32FileDialog>(hwnd_, false, profiles);
    t.dlgSalvarProfile = std::make_unique<TWin32FileDialog>(hwnd_, true, profiles, L"zpr");
    t.dlgAbrirProg = std::make_unique<TWin32FileDialog>(hwnd_, false, Utf8ToCp1252("Arquivos executáveis|*.exe|Todos os arquivos|*.*"));
    t.dlgAbrirWave = std::make_unique<TWin32FileDialog>(hwnd_, false, "Arquivos wav|*.wav|Todos os arquivos|*.*");
    t.dlgAbrirDitado = std::make_unique<TWin32FileDialog>(
        hwnd_, false,
        "Arquivos Suportados|*.txt;*.zlm|Arquivos Texto|*.txt|Arquivos de modelo de linguagem|*.zlm|Todos os Arquivos|*.*");
    TFormControls& c = Controls;
    c.abook = t.abook.get();
    c.lblProfile = t.lblProfile.get();
    c.btnCarregarProfile = buttonById_.at(win32ids::btnCarregarProfile);
    c.btnSalvarProfile = buttonById_.at(win32ids::btnSalvarProfile);
    c.BtnComandos = buttonById_.at(win32ids::BtnComandos);
    c.btnDitado = buttonById_.at(win32ids::btnDitado);
    c.btnPreferencias = buttonById_.at(win32ids::btnPreferencias);
    c.btnTreinarVoz = buttonById_.at(win32ids::btnTreinarVoz);
    c.lblStatus = t.lblStatus.get();
    c.btnReconhecer = t.btnReconhecer;
    c.lmpOuvindo = t.lmpOuvindo.get();
    c.lstOuvido = t.lstOuvido.get();
    c.lbxCmds = t.lbxCmds.get();
    c.pnlEditarCmd = t.pnlEditarCmd.get();
    c.lblParecido = t.lblParecido.get();
    c.edtCmd = t.edtCmd.get();
    c.edtFonemas = t.edtFonemas.get();
    c.rdgTipoCmd = t.rdgTipoCmd.get();
    c.ntbArgs = t.ntbArgs.get();
    c.edtArgProg = t.edtArgProg.get();
    c.edtArgPar = t.edtArgPar.get();
    c.edtArgTecla = t.edtArgTecla.get();
    c.edtArgTexto = t.edtArgTexto.get();
    c.chbArgEspaco = t.chbArgEspaco.get();
    c.chbArgEnter = t.chbArgEnter.get();
    c.edtTempoTeclas = t.edtTempoTeclas.get();
    c.edtTempoAtivo = t.edtTempoAtivo.get();
    c.LblConfianca = t.LblConfianca.get();
    c.tbConfianca = t.tbConfianca.get();
    c.lblSampling = t.lblSampling.get();
    c.tbSampling = t.tbSampling.get();
    c.edtSomAtivacao = t.edtSomAtivacao.get();
    c.edtTeclaAtivacao = t.edtTeclaAtivacao.get();
    c.chbAtivaToggle = t.chbAtivaToggle.get();
    c.chbMostrarIndicador = t.chbMostrarIndicador.get();
    c.chbMultiCmd = t.chbMultiCmd.get();
    c.chbModNum = t.chbModNum.get();
    c.chbModoAdv = t.chbModoAdv.get();
    c.chbHistorico = t.chbHistorico.get();
    c.chbAprenderUso = t.chbAprenderUso.get();
    c.pnlMicrofone = t.pnlMicrofone.get();
    c.mmoDitado = t.mmoDitado.get();
    c.lblTreinoProgresso = t.lblTreinoProgresso.get();
    c.lblTreinoFrase = t.lblTreinoFrase.get();
    c.barNivel = t.barNivel.get();
    c.btnGravar = t.btnGravar;
    c.btnRefazer = buttonById_.at(win32ids::btnRefazer);
    c.btnProxima = buttonById_.at(win32ids::btnProxima);
    c.btnAdaptar = buttonById_.at(win32ids::btnAdaptar);
    c.btnEsquecerTreino = buttonById_.at(win32ids::btnEsquecerTreino);
    c.btnVoltarTreino = buttonById_.at(win32ids::btnVoltarTreino);
    c.lblTreinoStatus = t.lblTreinoStatus.get();
    c.Reconhecer1 = t.Reconhecer1.get();
    c.CarregarProfile1 = t.CarregarProfile1.get();
    c.dlgAbrirProfile = t.dlgAbrirProfile.get();
    c.dlgSalvarProfile = t.dlgSalvarProfile.get();
    c.dlgAbrirProg = t.dlgAbrirProg.get();
    c.dlgAbrirWave = t.dlgAbrirWave.get();
    c.dlgAbrirDitado = t.dlgAbrirDitado.get();
    c.timerAtivo = &t.timerAtivo;
    c.timerTreino = &t.timerTreino;
}

}  // namespace zel
