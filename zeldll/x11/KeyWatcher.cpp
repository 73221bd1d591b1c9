#include "KeyWatcher.h"

#include "KeyMap.h"
#include "recognition/hook/ActivationMessage.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bitset>
#include <chrono>

namespace zeldll {

// Everything one watcher owns. The record thread alone uses `data`; the
// starting and stopping thread alone uses `control`; `sender` is only used
// from the record thread while it runs.
struct TKeyWatcher::TSession {
    Display* control = nullptr;
    Display* data = nullptr;
    XRecordContext context = 0;
    bool enabled = false;
    xcb_connection_t* sender = nullptr;
    xcb_atom_t atom = XCB_ATOM_NONE;
    int shmFd = -1;
    const uint32_t* receptor = nullptr;  // the shared memory's words
    int stopFd = -1;
    std::atomic<bool> stopping{false};
    // The X server closed the connection (it ended, or the session did).
    // Xlib ends the whole program when a request meets a dead connection, so
    // the displays are then left alone.
    std::atomic<bool> serverGone{false};
    TKeycodeToVk keycodeToVk{};
    std::bitset<256> down;
    // The activation key's keycodes, grabbed on `sender` while the watcher runs.
    std::bitset<256> grabbed;
    // Every press of a grabbed key activates the grab, and the focused window
    // gets a focus-out and focus-in (menus close, games pause): the server's
    // auto-repeat of those keys is off while the watcher runs (`control`
    // turns it back on), and the watcher reports the repeats itself, at the
    // keyboard's own delay and rate.
    std::bitset<256> repeatOff;
    std::chrono::milliseconds repeatDelay{660}, repeatInterval{40};
    uint8_t repeating = 0;  // the grabbed key held down, 0 for none
    std::chrono::steady_clock::time_point nextRepeat;

    ~TSession() {
        if (serverGone) control = data = nullptr;
        if (control && repeatOff.any()) {
            for (unsigned kc = 0; kc < repeatOff.size(); ++kc) {
                if (!repeatOff.test(kc)) continue;
                XKeyboardControl on{};
                on.key = static_cast<int>(kc);
                on.auto_repeat_mode = AutoRepeatModeOn;
                XChangeKeyboardControl(control, KBKey | KBAutoRepeatMode, &on);
            }
            XSync(control, False);
        }
        if (control && context) {
            if (enabled) XRecordDisableContext(control, context);
            XRecordFreeContext(control, context);
            XSync(control, False);
        }
        // Closing the data connection lets Xlib read what the server still
        // sends for the context; `stopping` keeps the callback from reporting it.
        if (data) XCloseDisplay(data);
        if (control) XCloseDisplay(control);
        if (sender) xcb_disconnect(sender);
        if (receptor) munmap(const_cast<uint32_t*>(receptor), zel::kReceptorWords * sizeof(uint32_t));
        if (shmFd >= 0) close(shmFd);
        if (stopFd >= 0) close(stopFd);
    }

    void Report(uint8_t keycode, bool released) {
        const bool wasDown = down.test(keycode);
        down.set(keycode, !released);
        const uint8_t vk = keycodeToVk[keycode];
        if (vk == 0 || stopping.load()) return;
        if (grabbed.test(keycode) && !released) {
            // The grab took the press from the focused application. Pressing
            // the key also grabbed the whole keyboard until its release: give
            // that back at once, or the keys the program types while the
            // activation key is held would come here instead.
            xcb_ungrab_keyboard(sender, XCB_CURRENT_TIME);
        }
        // As the server's own: another key pressed ends the repeat.
        if (!released && repeating != 0 && keycode != repeating) repeating = 0;
        if (repeatOff.test(keycode)) {
            if (!released && !wasDown) {
                repeating = keycode;
                nextRepeat = std::chrono::steady_clock::now() + repeatDelay;
            } else if (released && repeating == keycode) {
                repeating = 0;
            }
        }
        uint32_t lParam = 1;  // repeat count
        if (released || wasDown) lParam |= zel::kKeyWasDownBit;
        if (released) lParam |= zel::kKeyReleasedBit;
        Send(vk, lParam);
    }

    // The auto-repeat of the grabbed key held down, when it is due.
    void RepeatIfDue() {
        if (repeating == 0 || stopping.load() || std::chrono::steady_clock::now() < nextRepeat) return;
        nextRepeat += repeatInterval;
        const uint8_t vk = keycodeToVk[repeating];
        if (vk != 0) Send(vk, 1 | zel::kKeyWasDownBit);
    }
    // Milliseconds until the next repeat is due; -1: none waits.
    int RepeatWait() const {
        if (repeating == 0) return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(nextRepeat - std::chrono::steady_clock::now());
        return left.count() < 0 ? 0 : static_cast<int>(left.count()) + 1;
    }

    void Send(uint8_t vk, uint32_t lParam) {
        const uint32_t window = __atomic_load_n(&receptor[zel::kReceptorWindow], __ATOMIC_ACQUIRE);
        if (window == 0) return;

        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom;
        event.data.data32[0] = zel::kWmActivationKey;
        event.data.data32[1] = vk;
        event.data.data32[2] = lParam;
        xcb_send_event(sender, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        xcb_flush(sender);
        // A window that is gone answers with an error: xcb queues it as an
        // event, and nothing else arrives on this connection.
        while (xcb_generic_event_t* pending = xcb_poll_for_event(sender)) free(pending);
    }
};

namespace {

void OnRecorded(XPointer closure, XRecordInterceptData* intercepted) {
    auto* session = reinterpret_cast<TKeyWatcher::TSession*>(closure);
    if (intercepted->category == XRecordFromServer && intercepted->data && intercepted->data_len > 0) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(intercepted->data);
        const int type = bytes[0] & 0x7F;
        if (type == KeyPress || type == KeyRelease) session->Report(bytes[1], type == KeyRelease);
    }
    XRecordFreeData(intercepted);
}

bool OpenReceptor(TKeyWatcher::TSession& s) {
    const char* display = std::getenv("DISPLAY");
    const std::string name = zel::ReceptorShmName(static_cast<uint32_t>(getuid()), display ? display : "");
    s.shmFd = shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (s.shmFd < 0) return false;
    constexpr size_t size = zel::kReceptorWords * sizeof(uint32_t);
    struct stat st {};
    if (fstat(s.shmFd, &st) != 0 || st.st_size < static_cast<off_t>(size)) return false;
    void* view = mmap(nullptr, size, PROT_READ, MAP_SHARED, s.shmFd, 0);
    if (view == MAP_FAILED) return false;
    s.receptor = static_cast<const uint32_t*>(view);
    return true;
}

bool OpenSender(TKeyWatcher::TSession& s) {
    s.sender = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(s.sender)) return false;
    const char* name = zel::kActivationKeyAtomName;
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(s.sender, xcb_intern_atom(s.sender, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply) return false;
    s.atom = reply->atom;
    free(reply);
    return true;
}

// A dead connection met by a request: Xlib would end the program from inside
// the library. The session only notes it (given an error handler that
// returns, as the program's desktop installs) and leaves the displays alone.
void OnConnectionLost(Display*, void* session) {
    static_cast<TKeyWatcher::TSession*>(session)->serverGone = true;
}

bool OpenRecord(TKeyWatcher::TSession& s) {
    s.control = XOpenDisplay(nullptr);
    if (!s.control) return false;
    XSetIOErrorExitHandler(s.control, &OnConnectionLost, &s);
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(s.control, &major, &minor)) return false;
    s.data = XOpenDisplay(nullptr);
    if (!s.data) return false;
    XSetIOErrorExitHandler(s.data, &OnConnectionLost, &s);

    s.keycodeToVk = BuildKeycodeToVk(s.control);

    XRecordRange* range = XRecordAllocRange();
    if (!range) return false;
    range->device_events.first = KeyPress;
    range->device_events.last = KeyRelease;
    XRecordClientSpec clients = XRecordAllClients;
    s.context = XRecordCreateContext(s.control, 0, &clients, 1, &range, 1);
    XFree(range);
    if (!s.context) return false;
    XSync(s.control, False);
    if (!XRecordEnableContextAsync(s.data, s.context, OnRecorded, reinterpret_cast<XPointer>(&s))) return false;
    s.enabled = true;
    XFlush(s.data);
    return true;
}

// Takes the activation key (every keycode that reports its code) from the
// applications, whatever modifiers are down: a passive grab on each screen's
// root, held by the sender connection, so it ends with the watcher.
void GrabActivationKey(TKeyWatcher::TSession& s) {
    const uint32_t vk = __atomic_load_n(&s.receptor[zel::kReceptorKey], __ATOMIC_ACQUIRE);
    if (vk == 0) return;
    for (unsigned kc = 8; kc < s.keycodeToVk.size(); ++kc) {
        if (s.keycodeToVk[kc] != vk) continue;
        bool taken = false;
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(s.sender)); it.rem; xcb_screen_next(&it)) {
            xcb_void_cookie_t cookie = xcb_grab_key_checked(s.sender, 1, it.data->root, XCB_MOD_MASK_ANY,
                                                            static_cast<xcb_keycode_t>(kc), XCB_GRAB_MODE_ASYNC,
                                                            XCB_GRAB_MODE_ASYNC);
            // Another client holding the key leaves it to the applications;
            // the reports come all the same.
            if (xcb_generic_error_t* error = xcb_request_check(s.sender, cookie)) free(error);
            else taken = true;
        }
        s.grabbed.set(kc, taken);
    }
    if (s.grabbed.none()) return;
    // The grabbed keys repeat by the watcher's reports, not the server's.
    unsigned delay = 0, interval = 0;
    if (XkbGetAutoRepeatRate(s.control, XkbUseCoreKbd, &delay, &interval) && delay > 0 && interval > 0) {
        s.repeatDelay = std::chrono::milliseconds(delay);
        s.repeatInterval = std::chrono::milliseconds(interval);
    }
    XKeyboardState state{};
    XGetKeyboardControl(s.control, &state);
    for (unsigned kc = 8; kc < s.grabbed.size(); ++kc) {
        if (!s.grabbed.test(kc) || !(state.auto_repeats[kc / 8] & (1 << (kc % 8)))) continue;
        XKeyboardControl off{};
        off.key = static_cast<int>(kc);
        off.auto_repeat_mode = AutoRepeatModeOff;
        XChangeKeyboardControl(s.control, KBKey | KBAutoRepeatMode, &off);
        s.repeatOff.set(kc);
    }
    XSync(s.control, False);
}

}  // namespace

TKeyWatcher::~TKeyWatcher() { Stop(); }

bool TKeyWatcher::Running() const {
    std::lock_guard lock(mutex_);
    return session_ != nullptr;
}

bool TKeyWatcher::Start() {
    std::lock_guard lock(mutex_);
    if (session_) return true;
    auto* s = new TSession;
    s->stopFd = eventfd(0, EFD_CLOEXEC);
    if (s->stopFd < 0 || !OpenReceptor(*s) || !OpenSender(*s) || !OpenRecord(*s)) {
        s->stopping = true;
        delete s;
        return false;
    }
    GrabActivationKey(*s);
    session_ = s;
    thread_ = std::thread(&TKeyWatcher::Run, this, s);
    return true;
}

void TKeyWatcher::Run(TSession* s) {
    const int fd = ConnectionNumber(s->data);
    for (;;) {
        // What Xlib has read already is handled before waiting on the socket.
        XRecordProcessReplies(s->data);
        s->RepeatIfDue();
        pollfd fds[2] = {{fd, POLLIN, 0}, {s->stopFd, POLLIN, 0}};
        const int ready = poll(fds, 2, s->RepeatWait());
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        // A server that went away: leave the socket alone (looked at before
        // the stop, which may come because of it).
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            s->serverGone = true;
            break;
        }
        if (fds[1].revents || s->serverGone) break;
    }
}

void TKeyWatcher::Stop() {
    std::lock_guard lock(mutex_);
    StopLocked();
}

void TKeyWatcher::StopAtUnload() {
    // The program may be ending from inside a start or a stop (Xlib ends it
    // when the server is gone): waiting for the lock would never return.
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (lock.owns_lock()) StopLocked();
}

void TKeyWatcher::StopLocked() {
    if (!session_) return;
    TSession* s = session_;
    session_ = nullptr;
    s->stopping = true;
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(s->stopFd, &one, sizeof one);
    // A program whose Xlib handler ends it from the watcher's own thread
    // (its connection lost) stops here on that thread: it cannot wait for
    // itself, and the session stays for the thread that is still in it.
    if (thread_.joinable() && thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
        return;
    }
    if (thread_.joinable()) thread_.join();
    delete s;
}

}  // namespace zeldll
