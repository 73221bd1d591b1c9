#pragma once
// The recognizer's events, from its threads to the window's: queued and
// run by a message-only window of the window's thread, so that they arrive
// in its message loop (and in the message pumps of a switch-on), as Qt's
// queued calls do on Linux.
#include <windows.h>

#include "recognition/EventPoster.h"

namespace zel {

class TWin32EventPoster : public IEventPoster {
public:
    // Made on the window's thread.
    TWin32EventPoster();
    ~TWin32EventPoster() override;
    TWin32EventPoster(const TWin32EventPoster&) = delete;
    TWin32EventPoster& operator=(const TWin32EventPoster&) = delete;
    void Post(std::function<void()> event) override;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    TEventQueue queue_;
    HWND window_ = nullptr;
};

}  // namespace zel
