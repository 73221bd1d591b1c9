#pragma once
// The desktop-wide key watcher of the hook library on Windows: a low-level
// keyboard hook (WH_KEYBOARD_LL) on a thread of its own that pumps its
// messages. It reports every key press and release (auto-repeated presses
// included) to the window named in the shared memory "Local\ElReceptor" as
// message 0x1400, and keeps the activation key named there for itself: the
// focused application never receives it.
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <thread>

namespace zeldll {

class TKeyHook {
public:
    TKeyHook() = default;
    ~TKeyHook();
    TKeyHook(const TKeyHook&) = delete;
    TKeyHook& operator=(const TKeyHook&) = delete;

    // Starts watching. Returns false, leaving nothing behind, when there is no
    // shared memory naming a window or the hook cannot be installed. While a
    // watcher runs, a second start does nothing (and returns true).
    bool Start();
    // Removes the hook and ends its thread; nothing when none runs.
    void Stop();
    // The same when the library is unloaded: ends the thread without waiting
    // for it (the loader lock is held then).
    void StopAtUnload();

private:
    std::mutex mutex_;
    std::thread thread_;
    DWORD threadId_ = 0;
    HANDLE mapping_ = nullptr;
    const uint32_t* receptor_ = nullptr;
};

}  // namespace zeldll
