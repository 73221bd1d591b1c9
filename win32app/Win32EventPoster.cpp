#include "win32app/Win32EventPoster.h"

#include "win32app/ControlIds.h"

namespace zel {

namespace {
constexpr const wchar_t* kClass = L"ZelEventos";
}

TWin32EventPoster::TWin32EventPoster() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&queue_));
}

TWin32EventPoster::~TWin32EventPoster() {
    // Events still queued are dropped with the window.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void TWin32EventPoster::Post(std::function<void()> event) {
    queue_.Post(std::move(event));
    PostMessageW(window_, win32ids::kWmRecognizerEvents, 0, 0);
}

LRESULT CALLBACK TWin32EventPoster::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == win32ids::kWmRecognizerEvents) {
        if (auto* queue = reinterpret_cast<TEventQueue*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) queue->RunPending();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace zel
