#pragma once
// A PulseAudio server of the test's own, on a private socket, whose default
// source is a pipe: what the test writes into the pipe is what the recognizer
// hears through the microphone path. No other server is touched: the client
// side is pointed at the private socket through PULSE_SERVER.
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

namespace zeltest {

class TPrivatePulse {
public:
    TPrivatePulse();
    ~TPrivatePulse();
    TPrivatePulse(const TPrivatePulse&) = delete;
    TPrivatePulse& operator=(const TPrivatePulse&) = delete;

    // False when the server could not be started (then Why() says why).
    bool Running() const { return pid_ > 0; }
    const std::string& Why() const { return why_; }
    // "unix:…/native", for PULSE_SERVER.
    std::string Server() const;
    // Writes the samples into the source's pipe at speaking pace, on a thread
    // of its own; then keeps the pipe open
    // and sends nothing more until StopFeeding.
    void Feed(std::vector<int16_t> samples, int32_t rate = 16000);
    void StopFeeding();
    // Ends the server now, as a crash of the user's audio server would.
    void Kill();
    // Starts the server again on the same socket, as a user's audio server
    // comes back after a crash.
    void Restart();

private:
    void Start();

    TTempDir dir_;
    pid_t pid_ = -1;
    std::string why_;
    std::thread feeder_;
    std::atomic<bool> stopFeeding_{false};
};

// Sets an environment variable for the life of the object, then restores it.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const std::string& value);
    ~TScopedEnv();

private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

}  // namespace zeltest
