#include "recognition/EventPoster.h"

namespace zel {

void TEventQueue::Post(std::function<void()> event) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    cv_.notify_all();
}

void TEventQueue::Wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    cv_.notify_all();
}

size_t TEventQueue::RunPending() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(events_);
        woken_ = false;
    }
    for (auto& e : batch) e();
    return batch.size();
}

size_t TEventQueue::WaitAndRun(std::chrono::milliseconds timeout) {
    {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, timeout, [&] { return !events_.empty() || woken_; });
    }
    return RunPending();
}

bool TEventQueue::RunUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return pred();
        WaitAndRun(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                   std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace zel
