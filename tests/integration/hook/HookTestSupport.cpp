#include "HookTestSupport.h"

#include <X11/Xlib.h>

#include "recognition/hook/ActivationMessage.h"
#include "recognition/hook/HookLibrary.h"
#include "platform/x11/Abnt2Keys.h"

#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace zeltest {

std::string ProgramFolder() { return std::string(ZEL_PROGRAM_FOLDER) + "/"; }

zel::THookLibrary& Library() {
    static zel::THookLibrary library;
    if (!library.Loaded()) library.LoadHookLibrary(ProgramFolder());
    return library;
}


TReceiver::TReceiver() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) throw std::runtime_error("no X display");
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 100, 100, 200, 100, 0, 0, 0);
    atom_ = XInternAtom(display_, zel::kActivationKeyAtomName, False);
    // A desktop always has a client that receives the keys (the focused
    // window). Without one, the bare server keeps auto-repeat events in its
    // RECORD buffer until other output wakes it: the test stands in for it.
    XSelectInput(display_, DefaultRootWindow(display_), KeyPressMask | KeyReleaseMask);
    XSync(display_, False);
}

TReceiver::~TReceiver() {
    if (!display_) return;
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
}

Display* TReceiver::Abandon() {
    Display* given = display_;
    display_ = nullptr;
    return given;
}

std::vector<TKeyReport> TReceiver::Wait(size_t count, std::chrono::milliseconds timeout) {
    std::vector<TKeyReport> reports;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (reports.size() < count) {
        while (XPending(display_) && reports.size() < count) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != ClientMessage || event.xclient.window != window_) continue;
            if (event.xclient.message_type != atom_ || event.xclient.format != 32) continue;
            TKeyReport r;
            r.message = static_cast<uint32_t>(event.xclient.data.l[0]);
            r.key = static_cast<uint32_t>(event.xclient.data.l[1]);
            r.lParam = static_cast<uint32_t>(event.xclient.data.l[2]);
            reports.push_back(r);
        }
        if (reports.size() >= count) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd pfd{ConnectionNumber(display_), POLLIN, 0};
        poll(&pfd, 1, static_cast<int>(left.count()));
    }
    return reports;
}

std::vector<TKeyReport> TReceiver::Drain(std::chrono::milliseconds quiet) { return Wait(SIZE_MAX, quiet); }

void TReceiver::Press(unsigned long keysym) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), True, 0);
    XSync(display_, False);
}

void TReceiver::Release(unsigned long keysym) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), False, 0);
    XSync(display_, False);
}

void TReceiver::Key(unsigned keycode, bool down) {
    XTestFakeKeyEvent(display_, keycode, down ? True : False, 0);
    XSync(display_, False);
}

std::array<unsigned, 256> TReceiver::Abnt2Keycodes() const {
    std::array<unsigned, 256> keycodes{};
    XkbDescPtr xkb = XkbGetMap(display_, 0, XkbUseCoreKbd);
    if (!xkb) return keycodes;
    if (XkbGetNames(display_, XkbKeyNamesMask | XkbKeyAliasesMask, xkb) == Success) keycodes = zel::Abnt2Keycodes(xkb);
    XkbFreeKeyboard(xkb, 0, True);
    return keycodes;
}

void TReceiver::SetAutoRepeat(unsigned delayMs, unsigned intervalMs) {
    XkbSetAutoRepeatRate(display_, XkbUseCoreKbd, delayMs, intervalMs);
    XAutoRepeatOn(display_);
    XSync(display_, False);
}

namespace {
Window FindIndicator(Display* display) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XClassHint hint{};
        if (XGetClassHint(display, children[i], &hint)) {
            if (hint.res_class && std::strcmp(hint.res_class, "ZelIndicador") == 0) found = children[i];
            if (hint.res_name) XFree(hint.res_name);
            if (hint.res_class) XFree(hint.res_class);
        }
    }
    if (children) XFree(children);
    return found;
}
}  // namespace

int IndicatorMapState(Display* display) {
    XSync(display, False);
    const Window w = FindIndicator(display);
    if (!w) return -1;
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display, w, &a)) return -1;
    return a.map_state;
}

bool IndicatorGeometry(Display* display, int& x, int& y, int& width, int& height, bool& overrideRedirect) {
    const Window w = FindIndicator(display);
    XWindowAttributes a{};
    if (!w || !XGetWindowAttributes(display, w, &a)) return false;
    x = a.x;
    y = a.y;
    width = a.width;
    height = a.height;
    overrideRedirect = a.override_redirect;
    return true;
}

bool ShmExists() { return std::filesystem::exists("/dev/shm" + zel::THookLibrary::ShmName()); }

}  // namespace zeltest
