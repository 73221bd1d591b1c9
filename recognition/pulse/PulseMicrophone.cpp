// The microphone through the PulseAudio server (or PipeWire's), by its
// simple API.
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"
#include "recognition/AudioSource.h"
#include "recognition/pulse/SourceWatch.h"

namespace zel {

namespace {

// The microphone through the audio server's simple API. (The engine's own
// audio library hides read errors: when the server goes away its read keeps
// "succeeding" at full speed with no sound at all.)
class TMicrophoneSource : public IAudioSource {
public:
    TMicrophoneSource(pa_simple* pa, int32_t captureRate, int32_t engineRate, std::unique_ptr<TSourceWatch> watch)
        : pa_(pa), converter_(captureRate, engineRate), captureRate_(captureRate), engineRate_(engineRate),
          watch_(std::move(watch)) {}
    ~TMicrophoneSource() override { pa_simple_free(pa_); }
    int32_t Read(int16_t* buffer, int32_t maxSamples) override {
        // A chosen source that went away fails the source: the server would
        // have moved the recording to another microphone.
        if (watch_ && ++reads_ % kWatchEveryReads == 0 && !watch_->StillThere()) return kSourceGone;
        // As many recorded samples as make about maxSamples for the engine.
        size_t want = std::max<size_t>(1, static_cast<size_t>(maxSamples) * captureRate_ / engineRate_);
        recorded_.resize(want);
        int error = 0;
        if (pa_simple_read(pa_, recorded_.data(), want * sizeof(int16_t), &error) < 0) return -1;
        converter_.Convert(recorded_.data(), want, converted_);
        size_t n = std::min(converted_.size(), static_cast<size_t>(maxSamples));
        std::copy(converted_.begin(), converted_.begin() + static_cast<long>(n), buffer);
        return static_cast<int32_t>(n);
    }

private:
    pa_simple* pa_;
    TRateConverter converter_;
    int32_t captureRate_, engineRate_;
    std::vector<int16_t> recorded_, converted_;
    // About once a second at 20 ms a read.
    static constexpr uint32_t kWatchEveryReads = 50;
    std::unique_ptr<TSourceWatch> watch_;
    uint32_t reads_ = 0;
};

}  // namespace

namespace {

// pa_simple_new waits up to 30 s for a server that accepts the connection but
// does not answer (a stopped one), deaf to everything. So the connection is
// made on a thread of its own and the caller waits only so long, or until the
// user gives up; a connection abandoned that way is closed by its thread
// whenever it ends.
struct TPendingConnect {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    pa_simple* pa = nullptr;
    int error = 0;
};

}  // namespace

std::unique_ptr<IAudioSource> OpenMicrophone(const std::string& device, int32_t captureRate, int32_t engineRate,
                                             const std::function<bool()>& cancelled,
                                             std::chrono::milliseconds timeout) {
    const int32_t samplesPerSecond = captureRate;
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = static_cast<uint32_t>(samplesPerSecond);
    sampleFormat.channels = 1;
    // Fragments of 20 ms: the recognizer sees the end of speech soon.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(-1);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(samplesPerSecond / 50 * 2);

    auto pending = std::make_shared<TPendingConnect>();
    // Source names are core text here and UTF-8 for the server.
    const std::string deviceUtf8 = Cp1252ToUtf8(device);
    std::thread([pending, deviceUtf8, sampleFormat, attr] {
        int error = 0;
        pa_simple* pa = pa_simple_new(nullptr, "MORO Zel", PA_STREAM_RECORD, deviceUtf8.empty() ? nullptr : deviceUtf8.c_str(),
                                      "reconhecimento de voz", &sampleFormat, nullptr, &attr, &error);
        std::lock_guard lock(pending->mutex);
        if (pending->abandoned) {
            if (pa) pa_simple_free(pa);
            return;
        }
        pending->pa = pa;
        pending->error = error;
        pending->finished = true;
        pending->done.notify_all();
    }).detach();

    const std::string what = Utf8ToCp1252("Não foi possível abrir o microfone") +
                             (device.empty() ? std::string() : " " + device) + ": ";
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(pending->mutex);
    while (!pending->finished) {
        const bool gaveUp = cancelled && cancelled();
        if (gaveUp || std::chrono::steady_clock::now() >= deadline) {
            pending->abandoned = true;
            if (gaveUp) throw TError(what + Utf8ToCp1252("interrompido."));
            throw TError(what + Utf8ToCp1252("o servidor de áudio (PulseAudio) não respondeu em ") +
                         std::to_string((timeout.count() + 999) / 1000) + " s.");
        }
        pending->done.wait_for(lock, std::chrono::milliseconds(50));
    }
    if (!pending->pa)
        throw TError(what + Utf8ToCp1252("servidor de áudio (PulseAudio) indisponível ou sem fonte de gravação (") +
                     pa_strerror(pending->error) + ").");
    std::unique_ptr<TSourceWatch> watch;
    if (!device.empty()) {
        try {
            watch = std::make_unique<TSourceWatch>(deviceUtf8);
        } catch (const TError&) {
            pa_simple_free(pending->pa);
            throw;
        }
    }
    return std::make_unique<TMicrophoneSource>(pending->pa, captureRate, engineRate, std::move(watch));
}

}  // namespace zel
