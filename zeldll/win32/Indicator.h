#pragma once
// The on-screen indicator on Windows: a 32 x 32 window at the top-left corner
// of the screen, above every other window, that never takes the focus nor a
// click (clicks go through to what lies below). Its window class is
// "ZelIndicador". It lives on a thread of its own, which paints it, so that
// it shows whatever the calling thread does.
#include <windows.h>

#include <mutex>
#include <thread>

namespace zeldll {

inline constexpr int kIndicatorSize = 32;
inline constexpr const wchar_t* kIndicatorClass = L"ZelIndicador";

class TIndicator {
public:
    TIndicator() = default;
    ~TIndicator();
    TIndicator(const TIndicator&) = delete;
    TIndicator& operator=(const TIndicator&) = delete;

    void Show();
    void Hide();
    // Ends the window's thread without waiting (the loader lock is held).
    void StopAtUnload();

private:
    bool Ensure();
    std::mutex mutex_;
    std::thread thread_;
    HWND window_ = nullptr;
};

}  // namespace zeldll
