#include "zeldll/win32/Indicator.h"

#include <future>

namespace zeldll {

namespace {

// The picture: a green disc with a white microphone on a dark square.
void Paint(HDC dc) {
    const int n = kIndicatorSize;
    HBRUSH dark = CreateSolidBrush(RGB(0x20, 0x28, 0x20));
    HBRUSH green = CreateSolidBrush(RGB(0x20, 0xB0, 0x30));
    HBRUSH white = CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
    const RECT whole{0, 0, n, n};
    FillRect(dc, &whole, dark);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, green);
    Ellipse(dc, 2, 2, n - 1, n - 1);
    SelectObject(dc, white);
    Ellipse(dc, 12, 7, 21, 16);
    const RECT parts[] = {{12, 11, 20, 18}, {15, 18, 17, 23}, {11, 23, 21, 25}};
    for (const RECT& r : parts) FillRect(dc, &r, white);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(dark);
    DeleteObject(green);
    DeleteObject(white);
}

LRESULT CALLBACK OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            Paint(dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_NCHITTEST: return HTTRANSPARENT;
        case WM_CLOSE: return 0;  // only the library ends it
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

HINSTANCE ThisLibrary() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OnMessage), &module);
    return module;
}

}  // namespace

TIndicator::~TIndicator() { StopAtUnload(); }

bool TIndicator::Ensure() {
    if (window_) return true;
    std::promise<HWND> created;
    std::future<HWND> result = created.get_future();
    thread_ = std::thread([&created] {
        const HINSTANCE instance = ThisLibrary();
        WNDCLASSW wc{};
        wc.lpfnWndProc = &OnMessage;
        wc.hInstance = instance;
        wc.lpszClassName = kIndicatorClass;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&wc);
        HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                                      kIndicatorClass, L"MORO Zel", WS_POPUP, 0, 0, kIndicatorSize, kIndicatorSize,
                                      nullptr, nullptr, instance, nullptr);
        created.set_value(window);
        if (!window) return;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    });
    window_ = result.get();
    if (!window_) {
        thread_.join();
        return false;
    }
    return true;
}

void TIndicator::Show() {
    std::lock_guard lock(mutex_);
    if (!Ensure()) return;
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, kIndicatorSize, kIndicatorSize, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TIndicator::Hide() {
    std::lock_guard lock(mutex_);
    // Never shown: there is nothing to hide, and no reason to make the window for it.
    if (!window_) return;
    ShowWindow(window_, SW_HIDE);
}

void TIndicator::StopAtUnload() {
    if (!window_) return;
    PostMessageW(window_, WM_DESTROY, 0, 0);
    window_ = nullptr;
    if (thread_.joinable()) thread_.detach();
}

}  // namespace zeldll
