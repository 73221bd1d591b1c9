// The window as a picture: its shape and place, dragging by the frame, the
// notification area, the keyboard, the messages it receives, and quitting.
#include <windowsx.h>

#include "commands/Cp1252.h"
#include "recognition/hook/ActivationMessage.h"
#include "win32app/ControlIds.h"
#include "win32app/Form1.h"
#include "win32app/FormParts.h"
#include "win32app/Win32Text.h"

namespace zel {

namespace ids = win32ids;

namespace {

// A notification of a control that means the user changed it.
bool IsChange(WORD code) { return code == 0 /* BN_CLICKED, STN_CLICKED, a menu */ || code == 1 /* LBN_, CBN_SELCHANGE */ || code == EN_CHANGE; }

HICON IconOf(const TSkinImage& image) {
    if (image.Null()) return nullptr;
    HBITMAP colour = MakeBitmap(image);
    // The mask: the see-through colour is transparent.
    std::vector<uint8_t> mask(static_cast<size_t>((image.Width + 15) / 16 * 2) * image.Height, 0);
    const int stride = (image.Width + 15) / 16 * 2;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (image.At(x, y) == image.Key()) mask[static_cast<size_t>(y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    HBITMAP monochrome = CreateBitmap(image.Width, image.Height, 1, 1, mask.data());
    ICONINFO info{TRUE, 0, 0, monochrome, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(monochrome);
    return icon;
}

// A status line: centred, in big letters, a long message growing upwards
// to three lines from the foot of its place.
void DrawStatus(const DRAWITEMSTRUCT& item) {
    const std::wstring text = WindowText(item.hwndItem);
    HBRUSH back = CreateSolidBrush(RGB(55, 63, 55));
    FillRect(item.hDC, &item.rcItem, back);
    DeleteObject(back);
    SetTextColor(item.hDC, RGB(255, 255, 255));
    SetBkMode(item.hDC, TRANSPARENT);
    HGDIOBJ old = SelectObject(item.hDC, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    RECT measure = item.rcItem;
    DrawTextW(item.hDC, text.c_str(), -1, &measure, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    RECT r = item.rcItem;
    const int height = measure.bottom - measure.top;
    if (height < r.bottom - r.top) r.top = r.bottom - height;
    DrawTextW(item.hDC, text.c_str(), -1, &r, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(item.hDC, old);
}

}  // namespace

void TForm1::Show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
}

void TForm1::BuildWindowRegion() {
    // The window owns the region once set.
    if (HRGN region = zel::BuildWindowRegion(background_)) SetWindowRgn(hwnd_, region, TRUE);
}

void TForm1::CentreOnScreen() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - background_.Width) / 2;
    const int y = work.top + (work.bottom - work.top - background_.Height) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::QuitProgram() { PostQuitMessage(0); }

void TForm1::HideWindow() { ShowWindow(hwnd_, SW_HIDE); }

void TForm1::MinimizeWindow() { ShowWindow(hwnd_, SW_MINIMIZE); }

void TForm1::ShowWindowInFront() {
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
}

void TForm1::ShowTrayIcon(bool recognitionOn, const std::string& tip) {
    if (!iconOn_) iconOn_ = IconOf(LoadSkin(L"APP_ICON"));
    if (!iconOff_) iconOff_ = IconOf(LoadSkin(L"TRAY_DESATIVADO"));
    tray_ = NOTIFYICONDATAW{};
    tray_.cbSize = sizeof tray_;
    tray_.hWnd = hwnd_;
    tray_.uID = 1;
    tray_.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    tray_.uCallbackMessage = ids::kWmTrayIcon;
    tray_.hIcon = recognitionOn ? iconOn_ : iconOff_;
    const std::wstring text = WideText(tip);
    wcsncpy(tray_.szTip, text.c_str(), sizeof tray_.szTip / sizeof(wchar_t) - 1);
    trayShown_ = Shell_NotifyIconW(NIM_ADD, &tray_) != FALSE;
    // No notification area after all: the window must stay reachable.
    if (!trayShown_) ShowWindow(hwnd_, SW_MINIMIZE);
}

void TForm1::RemoveTrayIcon() {
    if (!trayShown_) return;
    Shell_NotifyIconW(NIM_DELETE, &tray_);
    trayShown_ = false;
}

void TForm1::ShowTrayMenu() {
    POINT at;
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if the window is
    // in front while it is open.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(popTray_, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

uint64_t TForm1::HookWindowId() { return reinterpret_cast<uintptr_t>(hwnd_); }

namespace {

// The message box names its buttons in the system's language; the window
// speaks Portuguese whatever the system's language, so they are renamed as
// the box opens.
HHOOK questionHook = nullptr;

LRESULT CALLBACK NameQuestionButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDYES, L"&Sim");
        SetDlgItemTextW(box, IDNO, L"&N\u00e3o");
        SetDlgItemTextW(box, IDCANCEL, L"Cancelar");
        UnhookWindowsHookEx(questionHook);
        questionHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TFormWindow::TAnswer TForm1::Ask(const std::string& question) {
    questionHook = SetWindowsHookExW(WH_CBT, NameQuestionButtons, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(hwnd_, WideText(question).c_str(), win32ids::kWindowTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (questionHook) UnhookWindowsHookEx(questionHook);
    questionHook = nullptr;
    switch (answer) {
        case IDYES: return TAnswer::Yes;
        case IDNO: return TAnswer::No;
        default: return TAnswer::Cancel;
    }
}

void TForm1::ProcessMessages() {
    // The status line shows what the switch is doing before anything else.
    if (parts_) UpdateWindow(parts_->lblStatus->Window());
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns it
            break;
        }
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool TForm1::PreTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    const int32_t page = Controls.abook ? Controls.abook->CurrentPage() : -1;
    auto press = [this](int id) {
        auto it = buttonById_.find(id);
        if (it == buttonById_.end()) return false;
        it->second->Press();
        return true;
    };
    // Alt+letter presses the buttons of the menu page.
    if (msg.message == WM_SYSKEYDOWN && page == kPageMenu) {
        switch (msg.wParam) {
        case 'C': return press(ids::btnCarregarProfile);
        case 'S': return press(ids::btnSalvarProfile);
        case 'O': return press(ids::BtnComandos);
        case 'D': return press(ids::btnDitado);
        case 'P': return press(ids::btnPreferencias);
        case 'R': return press(ids::btnReconhecer);
        case 'T': return press(ids::btnTreinarVoz);
        default: break;
        }
    }
    // Escape on a page is Voltar; on the logo it leads to the menu.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        const bool capturing = parts_ && (parts_->edtArgTecla->Window() == msg.hwnd || parts_->edtTeclaAtivacao->Window() == msg.hwnd);
        // Escape on the open microphone list closes the list only.
        const bool listOpen = parts_ && SendMessageW(parts_->cbxMicrofone->Window(), CB_GETDROPPEDSTATE, 0, 0) != 0;
        if (!capturing && !listOpen) {
            switch (page) {
            case kPageComandos: return press(ids::btnVoltar);
            case kPagePrefs: return press(ids::MathBotao2);
            case kPageDitado: return press(ids::MathBotao3);
            case kPageTreino: return press(ids::btnVoltarTreino);
            case kPageApres:
                Handle([this] { Image1Click(); });
                return true;
            default: break;
            }
        }
    }
    // Tab and the arrow keys between the controls, as in a dialog.
    return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

void TForm1::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, backgroundBitmap_);
    BitBlt(dc, 0, 0, background_.Width, background_.Height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK TForm1::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    // What a page's controls say goes to the window.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK TForm1::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<TForm1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT TForm1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST: {
        // The frame is where the window is dragged.
        const LRESULT hit = DefWindowProcW(hwnd_, message, wParam, lParam);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_COMMAND: {
        if (!parts_ || Filling() || !IsChange(HIWORD(wParam))) return 0;
        auto it = commands_.find(LOWORD(wParam));
        if (it != commands_.end()) it->second();
        return 0;
    }
    case WM_HSCROLL: {
        if (!parts_ || Filling() || !lParam) return 0;
        auto it = commands_.find(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
        if (it != commands_.end()) it->second();
        return 0;
    }
    case WM_TIMER: {
        if (!parts_) return 0;
        for (TWin32Timer* t : {&parts_->timerAtivo, &parts_->timerTreino, &parts_->timerMicrofone})
            if (t->Id() == wParam && t->OnTick) Handle([t] { t->OnTick(); });
        return 0;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (parts_ && item.hwndItem == parts_->lstOuvido->Window()) parts_->lstOuvido->Draw(item);
        else DrawStatus(item);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool parecido = parts_ && reinterpret_cast<HWND>(lParam) == parts_->lblParecido->Window();
        SetTextColor(dc, parecido ? RGB(0xB0, 0x4A, 0x00)
                         : IsWindowEnabled(reinterpret_cast<HWND>(lParam)) ? RGB(255, 255, 255)
                                                                            : RGB(150, 160, 150));
        SetBkColor(dc, RGB(55, 63, 55));
        return reinterpret_cast<LRESULT>(pageBrush_);
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(39, 46, 39));
        return reinterpret_cast<LRESULT>(fieldBrush_);
    }
    case ids::kWmTrayIcon:
        // A click of the left or the right button opens the menu at the pointer.
        if (LOWORD(lParam) == WM_LBUTTONUP || LOWORD(lParam) == WM_RBUTTONUP || LOWORD(lParam) == WM_CONTEXTMENU)
            ShowTrayMenu();
        return 0;
    case kWmActivationKey: {
        const auto w = static_cast<uint32_t>(wParam), l = static_cast<uint32_t>(lParam);
        Handle([this, w, l] { ActivationKeyMessage(w, l); });
        return 0;
    }
    case WM_CLOSE:
        // Alt+F4 while a combination is being captured is a combination.
        if (parts_ && GetFocus() == parts_->edtArgTecla->Window() && parts_->edtArgTecla->Capturing()) return 0;
        // Unsaved changes of the profile are offered for saving; cancelled, the window stays.
        if (FormCloseQuery()) QuitProgram();
        return 0;
    case WM_QUERYENDSESSION:
        // A logout or shutdown may end the program without another word:
        // the settings are written now.
        if (SettingsRead) Handle([this] { WriteSettings(); });
        return TRUE;
    case WM_ENDSESSION:
        // Ending: Windows ends the program once this returns. (Written
        // again, not by FormDestroy: should it go on, a close writes too.)
        if (wParam && SettingsRead) Handle([this] { WriteSettings(); });
        return 0;
    case WM_DPICHANGED: {
        // Moved to a screen of another scale: the window keeps its size and
        // takes the place Windows proposes.
        const auto* r = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, r->left, r->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        // Explorer started again: the notification icon comes back.
        if (message == taskbarCreated_ && taskbarCreated_ != 0 && trayShown_) Shell_NotifyIconW(NIM_ADD, &tray_);
        // A later start of the program: this window comes to the front.
        if (message == toFront_ && toFront_ != 0) {
            Handle([this] { AbrirPainel1Click(); });
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace zel
