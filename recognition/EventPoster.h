#pragma once
// How the recognizer reaches its owner's thread. The recognizer decodes on
// threads of its own; every event it raises is handed to a poster, which runs
// it later on the owner's thread: the window posts through Qt's event loop,
// zelcmd and the tests drain a TEventQueue in their own loop.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace zel {

class IEventPoster {
public:
    virtual ~IEventPoster() = default;
    // Called from any thread; the function runs later on the owner's thread.
    virtual void Post(std::function<void()> event) = 0;
};

// A queue drained by its owner: Post from any thread, Run* on the owner's.
class TEventQueue : public IEventPoster {
public:
    void Post(std::function<void()> event) override;

    // Runs what is waiting now (and what those events post meanwhile is left
    // for the next call). Returns the number of events run.
    size_t RunPending();
    // Waits up to timeout for at least one event, then runs what is waiting.
    size_t WaitAndRun(std::chrono::milliseconds timeout);
    // Runs events until pred() holds or the time is up; true when pred() held.
    bool RunUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout);
    // Wakes a WaitAndRun without an event (from any thread).
    void Wake();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> events_;
    bool woken_ = false;
};

}  // namespace zel
