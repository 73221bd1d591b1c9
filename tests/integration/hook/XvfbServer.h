#pragma once
// A private X server for one test program: Xvfb on a free display number,
// kept alive between clients (-noreset), stopped at the end.
#include <string>
#include <sys/types.h>

namespace zeltest {

class TXvfbServer {
public:
    // Starts Xvfb and points DISPLAY at it; raises std::runtime_error when it
    // does not come up within a few seconds.
    TXvfbServer();
    ~TXvfbServer();
    TXvfbServer(const TXvfbServer&) = delete;
    TXvfbServer& operator=(const TXvfbServer&) = delete;

    const std::string& Display() const { return display_; }
    // Ends the server now, as a session that closes does.
    void Stop();

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace zeltest
