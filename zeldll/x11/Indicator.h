#pragma once
// The on-screen indicator: a small picture in the top-left corner of the
// screen, above every other window (override-redirect, so no window manager
// moves or decorates it), saying that command recognition is active.
#include <cstdint>
#include <mutex>

typedef struct xcb_connection_t xcb_connection_t;

namespace zeldll {

// The window is kIndicatorSize pixels square at (0, 0); its WM_CLASS is
// "zeldll", "ZelIndicador".
inline constexpr uint16_t kIndicatorSize = 32;

class TIndicator {
public:
    TIndicator() = default;
    ~TIndicator();
    TIndicator(const TIndicator&) = delete;
    TIndicator& operator=(const TIndicator&) = delete;

    // Both return when the X server has carried the change out. Without an X
    // display they do nothing.
    void Show();
    void Hide();

private:
    bool Ensure();
    void Drop();

    std::mutex mutex_;
    xcb_connection_t* connection_ = nullptr;
    uint32_t window_ = 0;
    uint32_t pixmap_ = 0;
};

}  // namespace zeldll
