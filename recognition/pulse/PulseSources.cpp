// The audio server's recording sources, and the watch on a chosen one.
#include "recognition/AudioSources.h"
#include "recognition/pulse/SourceWatch.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"

namespace zel {

namespace {

struct TListing {
    std::vector<TAudioSourceInfo> Sources;
    bool Done = false;
};

void OnSource(pa_context*, const pa_source_info* info, int eol, void* data) {
    auto* listing = static_cast<TListing*>(data);
    if (eol != 0 || !info) {
        listing->Done = true;
        return;
    }
    // A monitor records what the computer plays, not a voice.
    if (info->monitor_of_sink != PA_INVALID_INDEX) return;
    listing->Sources.push_back(
        TAudioSourceInfo{Utf8ToCp1252(info->name ? info->name : ""), Utf8ToCp1252(info->description ? info->description : "")});
}

struct TFound {
    bool Done = false;
    bool Found = false;
};

void OnNamedSource(pa_context*, const pa_source_info* info, int eol, void* data) {
    auto* found = static_cast<TFound*>(data);
    if (info) found->Found = true;
    if (eol != 0) found->Done = true;
}

}  // namespace

// A connection to the server on a main loop of its own, run by whoever asks.
struct TSourceWatch::TConnection {
    pa_mainloop* Loop = pa_mainloop_new();
    pa_context* Context = pa_context_new(pa_mainloop_get_api(Loop), "MORO Zel");

    TConnection() {
        auto fail = [this] {
            const std::string reason = pa_strerror(pa_context_errno(Context));
            Close();
            throw TError(Utf8ToCp1252("Servidor de áudio (PulseAudio) indisponível: ") + reason);
        };
        if (pa_context_connect(Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) fail();
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(Context);
            if (state == PA_CONTEXT_READY) break;
            if (!PA_CONTEXT_IS_GOOD(state) || pa_mainloop_iterate(Loop, 1, nullptr) < 0) fail();
        }
    }
    ~TConnection() { Close(); }
    void Close() {
        if (Context) {
            pa_context_disconnect(Context);
            pa_context_unref(Context);
        }
        if (Loop) pa_mainloop_free(Loop);
        Context = nullptr;
        Loop = nullptr;
    }
    // Runs the loop until op is over; false when the connection broke.
    bool Wait(pa_operation* op, const bool& done) {
        if (!op) return false;
        bool ok = true;
        while (!done && pa_operation_get_state(op) == PA_OPERATION_RUNNING)
            if (pa_mainloop_iterate(Loop, 1, nullptr) < 0 || !PA_CONTEXT_IS_GOOD(pa_context_get_state(Context))) {
                ok = false;
                break;
            }
        pa_operation_unref(op);
        return ok;
    }
};

TSourceWatch::TSourceWatch(const std::string& nameUtf8)
    : name_(nameUtf8), connection_(std::make_unique<TConnection>()) {}

TSourceWatch::~TSourceWatch() = default;

bool TSourceWatch::StillThere() {
    TFound found;
    pa_context* c = connection_->Context;
    if (!connection_->Wait(pa_context_get_source_info_by_name(c, name_.c_str(), &OnNamedSource, &found), found.Done))
        return false;
    return found.Found;
}

std::vector<TAudioSourceInfo> ListAudioSources() {
    std::vector<TAudioSourceInfo> out{{"", Utf8ToCp1252("fonte padrão do servidor de áudio")}};
    TSourceWatch::TConnection connection;
    TListing listing;
    connection.Wait(pa_context_get_source_info_list(connection.Context, &OnSource, &listing), listing.Done);
    for (auto& s : listing.Sources) out.push_back(std::move(s));
    return out;
}

}  // namespace zel
