#pragma once
// The PulseAudio side of a chosen microphone: whether it is still there.
#include <memory>
#include <string>

namespace zel {

// Whether a named source is still on the server. When a source goes, the
// server moves its recordings to another one without a word; the microphone
// asks now and then so that the user's choice going away ends the run as a
// lost server would. Used by one thread at a time.
class TSourceWatch {
public:
    // nameUtf8: the source's name for the server. Raises when the server
    // cannot be reached.
    explicit TSourceWatch(const std::string& nameUtf8);
    ~TSourceWatch();
    TSourceWatch(const TSourceWatch&) = delete;
    TSourceWatch& operator=(const TSourceWatch&) = delete;
    // False once the source or the server is gone.
    bool StillThere();

    struct TConnection;

private:
    std::string name_;
    std::unique_ptr<TConnection> connection_;
};

}  // namespace zel
