#pragma once
#include <array>
// What the hook library's tests share: the private X server, a window that
// receives the library's key reports, keys pressed through XTest, and the
// indicator as the X server sees it.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace zel {
class THookLibrary;
}

namespace zeltest {

// X keysyms the tests press.
inline constexpr unsigned long XK_F12 = 0xFFC9;
inline constexpr unsigned long XK_a = 0x0061;
inline constexpr unsigned long XK_Escape = 0xFF1B;
inline constexpr unsigned long XK_Shift_L = 0xFFE1;
inline constexpr unsigned long XK_Shift_R = 0xFFE2;

// The program's one hook library, loaded from the build's program folder.
zel::THookLibrary& Library();

// The program's folder in the build: where zeldll.so lies.
std::string ProgramFolder();

struct TKeyReport {
    uint32_t message = 0;  // data[0]
    uint32_t key = 0;      // data[1], the virtual-key code
    uint32_t lParam = 0;   // data[2]
    bool released() const { return (lParam & 0x80000000u) != 0; }
};

// A plain X window of the test, standing where the main window stands.
class TReceiver {
public:
    TReceiver();
    ~TReceiver();
    TReceiver(const TReceiver&) = delete;
    TReceiver& operator=(const TReceiver&) = delete;

    uint32_t Window() const { return static_cast<uint32_t>(window_); }
    Display* Dpy() const { return display_; }

    // The reports that arrive until `count` have come or `timeout` passed.
    std::vector<TKeyReport> Wait(size_t count, std::chrono::milliseconds timeout);
    // Everything that arrives within `quiet` (for asserting that nothing does).
    std::vector<TKeyReport> Drain(std::chrono::milliseconds quiet);

    // XTest key events on the server, by X keysym; returns at once.
    void Press(unsigned long keysym);
    void Release(unsigned long keysym);
    // A key by its keycode, down or up.
    void Key(unsigned keycode, bool down);
    // The keycode of each ABNT2 virtual-key code's key on this server (0 for none).
    std::array<unsigned, 256> Abnt2Keycodes() const;
    // Fast auto-repeat so that a short hold repeats several times.
    void SetAutoRepeat(unsigned delayMs, unsigned intervalMs);
    // After the server has gone: forget the connection without a request
    // (Xlib would end the program). Returns the display given up.
    Display* Abandon();

private:
    Display* display_ = nullptr;
    unsigned long window_ = 0;
    unsigned long atom_ = 0;
};

// The indicator window as the X server knows it: found among the root's
// children by its class "ZelIndicador". Its map_state, or kNoWindow.
inline constexpr int kNoWindow = -1;
inline constexpr int kUnmapped = 0;  // IsUnmapped
inline constexpr int kViewable = 2;  // IsViewable
int IndicatorMapState(Display* display);
bool IndicatorGeometry(Display* display, int& x, int& y, int& width, int& height, bool& overrideRedirect);

bool ShmExists();

}  // namespace zeltest
