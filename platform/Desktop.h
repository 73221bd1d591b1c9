#pragma once
// What the core needs of the desktop, and nothing more. The core owns this
// interface; platform/x11 implements it for a real X server, platform/fake
// records every call for the tests, and the window (Qt) adds the event pump.
#include <cstdint>
#include <string>

namespace zel {

class IDesktop {
public:
    virtual ~IDesktop() = default;

    // A key by Windows virtual-key code (the codes the profiles store), sent
    // to the focused window as if typed on the ABNT2 keyboard: a back-end
    // types what that key types there, in the user's own layout.
    virtual void KeyDown(uint8_t vk) = 0;
    virtual void KeyUp(uint8_t vk) = 0;
    virtual void Sleep(int32_t milliseconds) = 0;

    // Opens a file as the desktop would: a program is started (parameters as
    // the user wrote them, never through a shell) in workFolder; a document,
    // folder or address goes to the desktop's opener. Returns false when
    // nothing could be started (the caller decides whether that is an error).
    // file and workFolder are file names (the system's bytes, see NativePath);
    // parameters are core text.
    virtual bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& workFolder) = 0;

    // Plays a WAV file (a file name) without waiting for it; silent when there is no sound.
    virtual void PlaySoundAsync(const std::string& wavFile) = 0;

    // Lets the program handle what is waiting (repaints, timer ticks, other
    // events) in the middle of a long operation.
    virtual void ProcessMessages() = 0;
};

// The activation timer (timerAtivo): a one-window-thread timer whose tick the
// owner handles. Interval in milliseconds.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetInterval(int32_t milliseconds) = 0;
    virtual int32_t Interval() const = 0;
};

// The on-screen indicator of active command recognition, drawn by the hook
// library in the corner of the screen.
class IIndicator {
public:
    virtual ~IIndicator() = default;
    virtual void Show() = 0;
    virtual void Hide() = 0;
};

}  // namespace zel
