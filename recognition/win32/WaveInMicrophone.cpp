// The microphone on Windows: the waveIn functions of the multimedia library,
// through the wave mapper (which converts whatever the device records to 16
// bits mono at the rate asked for), and the list of recording devices.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"
#include "recognition/AudioSource.h"
#include "recognition/AudioSources.h"

namespace zel {

namespace {

// Buffers of 20 ms: the recognizer sees the end of speech soon; eight of them
// ride over a busy moment of the reading thread.
constexpr int kBuffers = 8;
constexpr int kBufferMs = 20;
// A microphone delivers all the time, silence too: one that has delivered
// nothing for this long has stopped (unplugged, or its driver gone).
constexpr DWORD kStalledMs = 3000;

std::string DeviceName(const WAVEINCAPSW& caps) {
    const std::u16string name(reinterpret_cast<const char16_t*>(caps.szPname));
    return Utf16ToCp1252(name.substr(0, name.find(u'\0')));
}

// The device of that name (core text), or WAVE_MAPPER for the default (empty);
// none when there is no such device.
std::optional<UINT> FindDevice(const std::string& name) {
    if (name.empty()) return WAVE_MAPPER;
    const UINT n = waveInGetNumDevs();
    for (UINT i = 0; i < n; ++i) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR && DeviceName(caps) == name) return i;
    }
    return std::nullopt;
}

std::string ErrorText(MMRESULT rc) {
    wchar_t text[MAXERRORLENGTH] = {};
    if (waveInGetErrorTextW(rc, text, MAXERRORLENGTH) != MMSYSERR_NOERROR) return "erro " + std::to_string(rc);
    return Utf16ToCp1252(reinterpret_cast<const char16_t*>(text));
}

class TWaveInSource : public IAudioSource {
public:
    TWaveInSource(HWAVEIN wave, HANDLE event, std::string device, int32_t captureRate, int32_t engineRate)
        : wave_(wave), event_(event), device_(std::move(device)), converter_(captureRate, engineRate) {
        const size_t samples = static_cast<size_t>(captureRate) * kBufferMs / 1000;
        for (auto& b : buffers_) {
            b.samples.resize(samples);
            b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
            b.header.dwBufferLength = static_cast<DWORD>(samples * sizeof(int16_t));
        }
    }
    ~TWaveInSource() override {
        // Every buffer comes back marked done before the device closes.
        waveInReset(wave_);
        for (auto& b : buffers_)
            if (b.header.dwFlags & WHDR_PREPARED) waveInUnprepareHeader(wave_, &b.header, sizeof b.header);
        waveInClose(wave_);
        CloseHandle(event_);
    }
    TWaveInSource(const TWaveInSource&) = delete;
    TWaveInSource& operator=(const TWaveInSource&) = delete;

    // False when the device refused the buffers or the start.
    bool Start() {
        for (auto& b : buffers_)
            if (waveInPrepareHeader(wave_, &b.header, sizeof b.header) != MMSYSERR_NOERROR ||
                waveInAddBuffer(wave_, &b.header, sizeof b.header) != MMSYSERR_NOERROR)
                return false;
        return waveInStart(wave_) == MMSYSERR_NOERROR;
    }

    int32_t Read(int16_t* buffer, int32_t maxSamples) override {
        if (maxSamples <= 0) return 0;
        if (pendingAt_ < pending_.size()) return HandOut(buffer, maxSamples);
        // Since the last sound of any kind; buffers handed back empty (as a
        // device that goes away may do) are no sound.
        const ULONGLONG since = GetTickCount64();
        for (;;) {
            TBuffer& b = buffers_[next_];
            if (b.header.dwFlags & WHDR_DONE) {
                const size_t n = b.header.dwBytesRecorded / sizeof(int16_t);
                converter_.Convert(b.samples.data(), n, pending_);
                pendingAt_ = 0;
                b.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
                b.header.dwBytesRecorded = 0;
                const bool requeued = waveInAddBuffer(wave_, &b.header, sizeof b.header) == MMSYSERR_NOERROR;
                next_ = (next_ + 1) % kBuffers;
                if (!requeued) return -1;
                if (!pending_.empty()) return HandOut(buffer, maxSamples);
            } else {
                // Woken by the device at every buffer; the wait is bounded,
                // so a device that stops delivering is noticed.
                WaitForSingleObject(event_, 100);
            }
            if (GetTickCount64() - since >= kStalledMs)
                return !device_.empty() && !FindDevice(device_) ? kSourceGone : -1;
        }
    }

private:
    int32_t HandOut(int16_t* buffer, int32_t maxSamples) {
        const size_t n = std::min(pending_.size() - pendingAt_, static_cast<size_t>(maxSamples));
        std::copy_n(pending_.begin() + static_cast<long>(pendingAt_), n, buffer);
        pendingAt_ += n;
        return static_cast<int32_t>(n);
    }

    struct TBuffer {
        WAVEHDR header{};
        std::vector<int16_t> samples;
    };
    HWAVEIN wave_;
    HANDLE event_;
    std::string device_;
    TRateConverter converter_;
    std::array<TBuffer, kBuffers> buffers_{};
    size_t next_ = 0;
    std::vector<int16_t> pending_;
    size_t pendingAt_ = 0;
};

}  // namespace

std::unique_ptr<IAudioSource> OpenMicrophone(const std::string& device, int32_t captureRate, int32_t engineRate,
                                             const std::function<bool()>& /*cancelled: opening never waits*/,
                                             std::chrono::milliseconds /*timeout*/) {
    const std::string what = Utf8ToCp1252("Não foi possível abrir o microfone") +
                             (device.empty() ? std::string() : " " + device) + ": ";
    const std::optional<UINT> id = FindDevice(device);
    if (!id) throw TError(what + Utf8ToCp1252("o dispositivo de gravação não está conectado."));
    if (waveInGetNumDevs() == 0) throw TError(what + Utf8ToCp1252("nenhum dispositivo de gravação no sistema."));
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<DWORD>(captureRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!event) throw TError(what + "CreateEvent");
    HWAVEIN wave = nullptr;
    const DWORD flags = CALLBACK_EVENT | (*id == WAVE_MAPPER ? 0 : WAVE_MAPPED);
    const MMRESULT rc = waveInOpen(&wave, *id, &format, reinterpret_cast<DWORD_PTR>(event), 0, flags);
    if (rc != MMSYSERR_NOERROR) {
        CloseHandle(event);
        throw TError(what + ErrorText(rc) + ".");
    }
    auto source = std::make_unique<TWaveInSource>(wave, event, device, captureRate, engineRate);
    if (!source->Start()) throw TError(what + Utf8ToCp1252("o dispositivo recusou a gravação."));
    return source;
}

std::vector<TAudioSourceInfo> ListAudioSources() {
    std::vector<TAudioSourceInfo> out{{"", Utf8ToCp1252("dispositivo de gravação padrão do Windows")}};
    const UINT n = waveInGetNumDevs();
    for (UINT i = 0; i < n; ++i) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(i, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
        const std::string name = DeviceName(caps);
        out.push_back(TAudioSourceInfo{name, name});
    }
    return out;
}

}  // namespace zel
