#include "win32app/ImageButton.h"

#include <windowsx.h>

#include "form/ErrorGuard.h"
#include "win32app/Win32Text.h"

namespace zel {

namespace {

constexpr const wchar_t* kClassName = L"ZelImageButton";

// Grey at a little under half the contrast: white ink becomes a light grey,
// the dark body stays dark, so the caption remains readable.
uint32_t DisabledPixel(uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    const int grey = (r * 11 + g * 16 + b * 5) / 32;
    const uint32_t v = static_cast<uint32_t>(48 + grey * 45 / 100);
    return v << 16 | v << 8 | v;
}

uint32_t Rgb(COLORREF c) { return static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); }

}  // namespace

void TImageButton::Register() {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
}

TImageButton::TImageButton(HWND parent, int id, const std::wstring& caption, RECT place, const TSkinImage& strip,
                           bool transparent, COLORREF pageColour)
    : strip_(strip), transparent_(transparent), pageColour_(pageColour) {
    hwnd_ = CreateWindowExW(0, kClassName, caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.left, place.top,
                            place.right - place.left, place.bottom - place.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
}

TImageButton::~TImageButton() {
    if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

void TImageButton::SetCheckedPicture(const TSkinImage& strip) {
    checkedStrip_ = strip;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TImageButton::SetEnabled(bool enabled) {
    EnableWindow(hwnd_, enabled);
    // Either way the button starts again from its resting look.
    Show(checked_ ? 2 : 0);
}

void TImageButton::SetHint(const std::string& hint) { SetToolTip(hwnd_, hint); }

void TImageButton::WriteChecked(bool checked) {
    checked_ = checked;
    Show(checked_ ? 2 : 0);
}

void TImageButton::Show(int column) {
    column_ = column;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

int TImageButton::RestingColumn() const {
    if (checked_) return 2;
    return IsWindowVisible(hwnd_) && hover_ ? 1 : 0;
}

bool TImageButton::RunClick() {
    if (!OnClick) return true;
    try {
        OnClick();
        return true;
    } catch (const std::exception& e) {
        ShowError(e);  // silent for EAbort
        return false;
    }
}

void TImageButton::Press() {
    if (!IsWindowEnabled(hwnd_) || !IsWindowVisible(hwnd_)) return;
    if (!RunClick()) return;
    if (ManterClicado) checked_ = !checked_;
    Show(RestingColumn());
}

void TImageButton::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int w = client.right, h = client.bottom;
    const TSkinImage& source = checked_ && !checkedStrip_.Null() ? checkedStrip_ : strip_;
    if (source.Null() || w <= 0 || h <= 0) return;
    const uint32_t key = source.Key();
    const bool enabled = IsWindowEnabled(hwnd_);
    TSkinImage look;
    look.Width = w;
    look.Height = h;
    look.Pixels.assign(static_cast<size_t>(w) * h, Rgb(pageColour_));
    for (int y = 0; y < h && y < source.Height; ++y) {
        for (int x = 0; x < w; ++x) {
            const int sx = column_ * w + x;
            if (sx >= source.Width) break;
            const uint32_t p = source.At(sx, y);
            uint32_t& out = look.Pixels[static_cast<size_t>(y) * w + x];
            if (p == key && transparent_) continue;  // the page shows through
            out = p == key || enabled ? p : DisabledPixel(p);
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                      look.Pixels.data(), &info, DIB_RGB_COLORS);
    if (GetFocus() == hwnd_ && focusVisible_) {
        // The focus outline: a light line, rounded like the buttons' faces.
        HPEN pen = CreatePen(PS_SOLID, 2, RGB(190, 230, 170));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, 1, 1, w - 1, h - 1, 8, 8);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
}

LRESULT CALLBACK TImageButton::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TImageButton*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<TImageButton*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT TImageButton::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Paint(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        if (!hover_) {
            hover_ = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
            if (!leftDownInside_) Show(checked_ ? 2 : 1);
        }
        return 0;
    case WM_MOUSELEAVE:
        hover_ = false;
        if (!leftDownInside_) Show(checked_ ? 2 : 0);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // A second press soon after the first is a press all the same.
        leftDownInside_ = true;
        focusVisible_ = false;
        SetCapture(hwnd_);
        Show(2);
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() == hwnd_) ReleaseCapture();
        RECT client;
        GetClientRect(hwnd_, &client);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // The click comes first: pressed on the button, released over it.
        const bool click = leftDownInside_ && PtInRect(&client, at);
        leftDownInside_ = false;
        if (click && !RunClick()) {
            Show(RestingColumn());
            return 0;
        }
        if (click && ManterClicado) checked_ = !checked_;
        // A click that hid the button (a page switch) leaves it at rest.
        Show(!IsWindowVisible(hwnd_) ? RestingColumn() : ManterClicado && checked_ ? 2 : (hover_ ? 1 : 0));
        return 0;
    }
    case WM_GETDLGCODE:
        // Space and Enter are this button's, not the dialog navigation's.
        if (lParam && (reinterpret_cast<MSG*>(lParam)->message == WM_KEYDOWN) &&
            (reinterpret_cast<MSG*>(lParam)->wParam == VK_RETURN || reinterpret_cast<MSG*>(lParam)->wParam == VK_SPACE))
            return DLGC_WANTMESSAGE;
        return DLGC_BUTTON;
    case WM_KEYDOWN:
        if (!focusVisible_) {
            focusVisible_ = true;
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        if (wParam == VK_SPACE || wParam == VK_RETURN) {
            if (!(lParam & (1 << 30))) Press();  // not the keyboard's repeat
            return 0;
        }
        break;
    case WM_SETFOCUS:
        // Tab brings the outline; a click or the window's activation does not.
        focusVisible_ = (GetKeyState(VK_TAB) & 0x8000) != 0;
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_ENABLE:
        Show(checked_ ? 2 : 0);
        return 0;
    case WM_SHOWWINDOW:
        if (!wParam) {
            // A hidden button gets no leave: the hover look goes now.
            hover_ = false;
            column_ = checked_ ? 2 : 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace zel
