#include "win32app/Win32Controls.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <filesystem>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "win32app/Win32Text.h"

namespace zel {

namespace {

int gFilling = 0;

// Notifications sent while this lives are the program's own.
struct TFill {
    TFill() { ++gFilling; }
    ~TFill() { --gFilling; }
};

void SetTextOf(HWND hwnd, const std::wstring& text) { SetWindowTextW(hwnd, text.c_str()); }

}  // namespace

bool Filling() { return gFilling > 0; }

// --- Label ---------------------------------------------------------------

void TWin32Label::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
void TWin32Label::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }
void TWin32Label::SetText(const std::string& text) {
    SetTextOf(hwnd_, WideText(text));
    InvalidateRect(hwnd_, nullptr, TRUE);  // an owner-drawn status line too
}

// --- Text box ------------------------------------------------------------

void TWin32TextBox::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
void TWin32TextBox::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }
std::string TWin32TextBox::Text() const { return CoreText(WindowText(hwnd_)); }
void TWin32TextBox::Fill(const std::string& text) {
    TFill fill;
    SetTextOf(hwnd_, WideText(text));
}
void TWin32TextBox::SetText(const std::string& text) { SetTextOf(hwnd_, WideText(text)); }
std::string TWin32TextBox::FileName() const { return FileNameOf(WindowText(hwnd_)); }
void TWin32TextBox::FillFileName(const std::string& fileName) {
    TFill fill;
    SetTextOf(hwnd_, WideFileName(fileName));
}
void TWin32TextBox::SetFileName(const std::string& fileName) { SetTextOf(hwnd_, WideFileName(fileName)); }

// --- Key capture ---------------------------------------------------------

TWin32KeyCaptureBox::TWin32KeyCaptureBox(HWND hwnd, bool combination) : TWin32TextBox(hwnd), capture_(combination) {
    SetWindowSubclass(hwnd, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

TWin32KeyCaptureBox::~TWin32KeyCaptureBox() { RemoveWindowSubclass(hwnd_, &Proc, 1); }

LRESULT CALLBACK TWin32KeyCaptureBox::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
    auto* self = reinterpret_cast<TWin32KeyCaptureBox*>(data);
    switch (message) {
    case WM_GETDLGCODE:
        // Every key is the box's but Tab, which still moves the focus.
        if (lParam && reinterpret_cast<MSG*>(lParam)->wParam == VK_TAB) break;
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wParam == VK_TAB && message == WM_KEYDOWN) break;
        // Keys that would be shortcuts elsewhere (Ctrl+C, Alt+F4) are keys here.
        SetWindowTextW(hwnd, WideText(self->capture_.KeyDown(static_cast<uint16_t>(wParam), self->Text())).c_str());
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        self->capture_.KeyUp();
        if (self->OnKeyUp) self->OnKeyUp();
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_PASTE:
    case WM_CONTEXTMENU:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
        return 0;  // typed text never reaches the box
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// --- Check box -----------------------------------------------------------

void TWin32CheckBox::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
void TWin32CheckBox::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }
bool TWin32CheckBox::Checked() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void TWin32CheckBox::Fill(bool checked) { SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }
void TWin32CheckBox::SetChecked(bool checked) {
    const bool was = Checked();
    Fill(checked);
    // As a click would: the handler runs when the state changed.
    if (was != checked && OnChange) OnChange();
}

// --- List box ------------------------------------------------------------

void TWin32ListBox::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
void TWin32ListBox::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }
void TWin32ListBox::FillRows(const std::vector<std::string>& rows) {
    TFill fill;
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    for (const std::string& r : rows) SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(r).c_str()));
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}
int32_t TWin32ListBox::Selected() const {
    const LRESULT row = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? -1 : static_cast<int32_t>(row);
}
void TWin32ListBox::FillSelected(int32_t row) {
    TFill fill;
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

// --- Radio group ---------------------------------------------------------

void TWin32RadioGroup::SetEnabled(bool enabled) {
    EnableWindow(box_, enabled);
    for (HWND item : items_) EnableWindow(item, enabled);
}
void TWin32RadioGroup::SetHint(const std::string& hint) {
    SetToolTip(box_, hint);
    for (HWND item : items_) SetToolTip(item, hint);
}
int32_t TWin32RadioGroup::ItemIndex() const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (SendMessageW(items_[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int32_t>(i);
    return -1;
}
void TWin32RadioGroup::FillItemIndex(int32_t index) {
    for (size_t i = 0; i < items_.size(); ++i)
        SendMessageW(items_[i], BM_SETCHECK, static_cast<int32_t>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

// --- Page book -----------------------------------------------------------

void TWin32PageBook::ShowPage(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(pages_.size())) return;
    // The page that takes the focus away hides last, so the focus never
    // stays on a control nobody sees.
    ShowWindow(pages_[static_cast<size_t>(index)], SW_SHOW);
    for (size_t i = 0; i < pages_.size(); ++i)
        if (static_cast<int32_t>(i) != index) ShowWindow(pages_[i], SW_HIDE);
    current_ = index;
}
void TWin32PageBook::SetVisible(bool visible) { ShowWindow(book_, visible ? SW_SHOW : SW_HIDE); }

// --- Track bar -----------------------------------------------------------

void TWin32TrackBar::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
void TWin32TrackBar::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }
int32_t TWin32TrackBar::Position() const { return static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0)); }
void TWin32TrackBar::FillPosition(int32_t position) {
    TFill fill;
    // The bar keeps to its range.
    const auto low = static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETRANGEMIN, 0, 0));
    const auto high = static_cast<int32_t>(SendMessageW(hwnd_, TBM_GETRANGEMAX, 0, 0));
    SendMessageW(hwnd_, TBM_SETPOS, TRUE, std::max(low, std::min(high, position)));
}

// --- Memo ----------------------------------------------------------------

void TWin32Memo::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
void TWin32Memo::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }
std::vector<std::string> TWin32Memo::Lines() const {
    std::vector<std::string> lines;
    const std::string text = CoreText(WindowText(hwnd_));
    if (text.empty()) return lines;
    // The box ends its lines in CR LF; the last line has no end.
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}
void TWin32Memo::FillLines(const std::vector<std::string>& lines) {
    TFill fill;
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    SetTextOf(hwnd_, WideText(text));
}

// --- Progress bar --------------------------------------------------------

void TWin32ProgressBar::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
void TWin32ProgressBar::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }
void TWin32ProgressBar::SetPosition(int32_t position) { SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position), 0); }

// --- Combo box -----------------------------------------------------------

void TWin32ComboBox::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
void TWin32ComboBox::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }
void TWin32ComboBox::FillItems(const std::vector<TItem>& items, int32_t chosen) {
    TFill fill;
    SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
    for (const TItem& item : items)
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(item.Text).c_str()));
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}
int32_t TWin32ComboBox::Chosen() const { return static_cast<int32_t>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)); }

// --- Panel ---------------------------------------------------------------

void TWin32Panel::SetEnabled(bool enabled) {
    EnableWindow(hwnd_, enabled);
    EnumChildWindows(
        hwnd_,
        [](HWND child, LPARAM on) -> BOOL {
            EnableWindow(child, static_cast<BOOL>(on));
            return TRUE;
        },
        enabled);
}
void TWin32Panel::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }

// --- Menu item ----------------------------------------------------------

bool TWin32MenuItem::Checked() const { return (GetMenuState(menu_, id_, MF_BYCOMMAND) & MF_CHECKED) != 0; }
void TWin32MenuItem::SetChecked(bool checked) {
    CheckMenuItem(menu_, id_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
void TWin32MenuItem::SetEnabled(bool enabled) {
    EnableMenuItem(menu_, id_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// --- Lamp ----------------------------------------------------------------

namespace {
constexpr const wchar_t* kLampClass = L"ZelLampada";
}

void TWin32Lamp::Register() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kLampClass;
    wc.cbWndExtra = sizeof(LONG_PTR);
    RegisterClassW(&wc);
}

void TWin32Lamp::SetState(TState state) {
    state_ = state;
    static const char* const tips[] = {"Reconhecimento desligado", "Ouvindo", "Ouvindo voc\xEA\x85"};
    SetToolTip(hwnd_, tips[state]);
    SetWindowLongPtrW(hwnd_, 0, state);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK TWin32Lamp::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        static const COLORREF colours[] = {RGB(70, 80, 70), RGB(90, 210, 90), RGB(250, 190, 40)};
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH back = CreateSolidBrush(RGB(55, 63, 55));
        FillRect(dc, &r, back);
        DeleteObject(back);
        // The window's own outline colour around the lamp.
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(150, 160, 150));
        HBRUSH fill = CreateSolidBrush(colours[GetWindowLongPtrW(hwnd, 0) % 3]);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, fill);
        Ellipse(dc, 1, 1, r.right - 1, r.bottom - 1);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(fill);
        DeleteObject(pen);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// --- Heard list ----------------------------------------------------------

void TWin32HeardList::Add(const THeardEntry& entry) {
    // "HH:MM:SS" of the entry's "AAAA-MM-DD HH:MM:SS".
    const std::string time = entry.Time.size() >= 19 ? entry.Time.substr(11, 8) : entry.Time;
    const std::string line = time + "  " + HeardLine(entry);  // UTF-8
    const std::wstring wide = WideUtf8(line);
    SendMessageW(hwnd_, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageW(hwnd_, LB_SETITEMDATA, 0, entry.Accepted ? 1 : 0);
    while (SendMessageW(hwnd_, LB_GETCOUNT, 0, 0) > static_cast<LRESULT>(THeardList::kMaxHeard))
        SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0) - 1), 0);
}

void TWin32HeardList::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1)) return;
    HBRUSH back = CreateSolidBrush(RGB(55, 63, 55));
    FillRect(item.hDC, &item.rcItem, back);
    DeleteObject(back);
    const LRESULT n = SendMessageW(hwnd_, LB_GETTEXTLEN, item.itemID, 0);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    SendMessageW(hwnd_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    // A rejected sentence did nothing: it is shown, but quieter.
    SetTextColor(item.hDC, item.itemData ? RGB(255, 255, 255) : RGB(230, 170, 110));
    SetBkMode(item.hDC, TRANSPARENT);
    RECT r = item.rcItem;
    r.left += 2;
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

// --- File dialog ---------------------------------------------------------

TWin32FileDialog::TWin32FileDialog(HWND owner, bool save, const std::string& filter, const wchar_t* defaultExtension)
    : owner_(owner), save_(save), extension_(defaultExtension) {
    // "a|b|c|d" as Windows wants it: "a\0b\0c\0d\0\0".
    filter_ = WideText(filter);
    for (wchar_t& c : filter_)
        if (c == L'|') c = L'\0';
    filter_.push_back(L'\0');
    filter_.push_back(L'\0');
}

std::optional<std::string> TWin32FileDialog::Run() {
    std::wstring file(32768, L'\0');
    const std::wstring folder = folder_.empty() ? std::wstring() : NativePath(folder_).make_preferred().native();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter_.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = extension_;
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                (save_ ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL chosen = save_ ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return FileNameOf(file);
}

// --- Timer ---------------------------------------------------------------

void TWin32Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) SetTimer(window_, id_, static_cast<UINT>(std::max(interval_, 1)), nullptr);
    else KillTimer(window_, id_);
}

void TWin32Timer::SetInterval(int32_t milliseconds) {
    interval_ = milliseconds;
    if (enabled_) SetTimer(window_, id_, static_cast<UINT>(std::max(interval_, 1)), nullptr);
}

}  // namespace zel
