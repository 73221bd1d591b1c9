#include "recognition/AudioSources.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "recognition/AudioSource.h"

namespace zel {

int32_t LevelOfPeak(int32_t peak) {
    if (peak <= 0) return 0;
    const double db = 20.0 * std::log10(std::min(peak, 32767) / 32767.0);
    return std::clamp(static_cast<int32_t>(std::lround((db + 60.0) * 100.0 / 60.0)), 0, 100);
}

struct TLevelMeter::TState {
    std::atomic<bool> Stop{false};
    std::atomic<int32_t> Peak{0};
    std::atomic<bool> Failed{false};
};

void TLevelMeter::Start(const std::string& device) {
    Stop();
    // Opened here, so that a source that cannot be opened says so at once.
    std::shared_ptr<IAudioSource> source = OpenMicrophone(device, 16000, 16000);
    auto state = std::make_shared<TState>();
    state_ = state;
    std::thread([state, source] {
        int16_t buffer[320];  // 20 ms
        while (!state->Stop) {
            const int32_t n = source->Read(buffer, 320);
            if (n <= 0) {
                state->Failed = true;
                break;
            }
            int32_t peak = 0;
            for (int32_t i = 0; i < n; ++i) peak = std::max(peak, std::abs(static_cast<int32_t>(buffer[i])));
            int32_t old = state->Peak.load();
            while (peak > old && !state->Peak.compare_exchange_weak(old, peak)) {
            }
        }
    }).detach();
}

void TLevelMeter::Stop() {
    if (state_) state_->Stop = true;
    state_.reset();
}

int32_t TLevelMeter::TakeLevel() {
    if (!state_) return 0;
    if (state_->Failed) return -1;
    return LevelOfPeak(state_->Peak.exchange(0));
}

}  // namespace zel
