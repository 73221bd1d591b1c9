#pragma once
// The desktop-wide key watcher of the hook library: an XRecord context on a
// thread of its own that reports every key press and release of the X display
// (auto-repeated presses included, as a Windows keyboard hook does) to the
// window named in the shared memory of the user and display (ReceptorShmName).
// While it runs, the activation key named there is grabbed, so that no
// application receives it.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace zeldll {

class TKeyWatcher {
public:
    TKeyWatcher() = default;
    ~TKeyWatcher();
    TKeyWatcher(const TKeyWatcher&) = delete;
    TKeyWatcher& operator=(const TKeyWatcher&) = delete;

    // Starts watching. Returns false, leaving nothing behind, when there is no
    // X display, no RECORD extension or no shared memory naming a window.
    // While a watcher runs, a second start does nothing (and returns true).
    bool Start();
    // Stops the watcher and joins its thread; nothing when none runs.
    void Stop();
    // The same when the library is unloaded or the program ends; gives up
    // rather than wait when a start or stop is under way.
    void StopAtUnload();
    bool Running() const;

    struct TSession;  // one running watcher's connections and state

private:
    void Run(TSession* session);
    void StopLocked();

    mutable std::mutex mutex_;
    TSession* session_ = nullptr;
    std::thread thread_;
};

}  // namespace zeldll
