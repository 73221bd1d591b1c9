#include "platform/x11/X11Desktop.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBfile.h>
#include <X11/extensions/XKBrules.h>
#include <X11/extensions/XTest.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "platform/x11/Abnt2Keys.h"
#include "platform/x11/Launch.h"

namespace zel {

namespace {

void DefaultSound(const std::string& file) {
    struct stat st {};
    if (file.empty() || stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    std::string player = FindExecutable("paplay");
    if (player.empty()) return;
    SpawnDetached(player, {file}, "");
}

}  // namespace

// Qt's clients deliver a letter composed from a dead key at once, while plain
// keys wait in a queue until the client has handled everything it has read:
// when the two kinds of character arrive in one read, the composed letters
// overtake the plain ones ("áol" for "olá"). Making sure that the server has
// handled the events (a round trip) is not enough, since nothing in the
// protocol tells when a client has drained its queue. So where typing passes
// from plain characters to composed ones or back, the next key waits until
// kSettleMs have passed since the last character began. Only there: plain
// text, composed text and hold times of kSettleMs or more go out unpaced.
constexpr int kSettleMs = 10;

struct TX11Desktop::Impl {
    Display* display = nullptr;
    std::array<unsigned, 256> keycodes{};
    std::array<std::array<KeySym, 2>, 256> keysyms{};  // without and with Shift
    enum TKind { kNone, kPlain, kComposed } lastKind = kNone;
    bool pendingDead = false;
    bool shiftDown = false;
    std::chrono::steady_clock::time_point lastText{};
    std::function<void()> pump;
    std::function<void(const std::string&)> sound = DefaultSound;

    void MapKeys() {
        keycodes.fill(0);
        for (auto& k : keysyms) k.fill(NoSymbol);
        XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        if (!xkb) return;
        if (XkbGetNames(display, XkbKeyNamesMask | XkbKeyAliasesMask, xkb) == Success) {
            keycodes = Abnt2Keycodes(xkb);
            for (unsigned vk = 0; vk < keycodes.size(); ++vk) {
                const int kc = static_cast<int>(keycodes[vk]);
                if (kc == 0 || !xkb->map || XkbKeyNumGroups(xkb, kc) == 0) continue;
                for (int level = 0; level < 2 && level < XkbKeyGroupWidth(xkb, kc, 0); ++level)
                    keysyms[vk][static_cast<size_t>(level)] = XkbKeySymEntry(xkb, kc, level, 0);
            }
        }
        XkbFreeKeyboard(xkb, 0, True);
    }

    static bool IsDead(KeySym ks) { return ks >= XK_dead_grave && ks <= XK_dead_greek; }

    // Paces a press where the kind of character changes (see kSettleMs).
    void BeforePress(uint8_t vk) {
        KeySym ks = keysyms[vk][shiftDown ? 1 : 0];
        if (ks == NoSymbol || IsModifierKey(ks)) return;
        TKind kind;
        if (IsDead(ks)) {
            if (pendingDead) return;  // a second dead key belongs to the same letter
            pendingDead = true;
            kind = kComposed;
        } else if (pendingDead) {
            pendingDead = false;  // the letter after the dead key: composed with it
            lastKind = kComposed;
            return;
        } else {
            kind = kPlain;
        }
        if (lastKind != kNone && lastKind != kind) {
            XSync(display, False);
            auto due = lastText + std::chrono::milliseconds(kSettleMs);
            auto now = std::chrono::steady_clock::now();
            if (now < due) std::this_thread::sleep_for(due - now);
        }
        lastKind = kind;
        lastText = std::chrono::steady_clock::now();
    }

    void Send(uint8_t vk, bool down) {
        unsigned kc = keycodes[vk];
        if (kc == 0) return;
        if (down) BeforePress(vk);
        if (vk == 0x10 || vk == 0xA0 || vk == 0xA1) shiftDown = down;
        XTestFakeKeyEvent(display, kc, down ? True : False, CurrentTime);
        XFlush(display);
    }
};

TX11Desktop::TX11Desktop(const std::string& displayName) : impl_(std::make_unique<Impl>()) {
    const char* name = displayName.empty() ? nullptr : displayName.c_str();
    std::string shown = name ? displayName : (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0, event = 0, error = 0;
    impl_->display = XkbOpenDisplay(const_cast<char*>(name), &event, &error, &major, &minor, &reason);
    if (!impl_->display) {
        if (reason == XkbOD_ConnectionRefused)
            throw TError("N\xE3o foi poss\xEDvel conectar ao servidor X (DISPLAY=\"" + shown + "\")");
        throw TError("O servidor X (DISPLAY=\"" + shown + "\") n\xE3o oferece a extens\xE3o XKB");
    }
    int ev = 0, er = 0, maj = 0, min = 0;
    if (!XTestQueryExtension(impl_->display, &ev, &er, &maj, &min)) {
        XCloseDisplay(impl_->display);
        throw TError("O servidor X (DISPLAY=\"" + shown + "\") n\xE3o oferece a extens\xE3o XTEST");
    }
    impl_->MapKeys();
}

TX11Desktop::~TX11Desktop() {
    if (impl_->display) {
        XSync(impl_->display, False);
        XCloseDisplay(impl_->display);
    }
}

void TX11Desktop::KeyDown(uint8_t vk) { impl_->Send(vk, true); }
void TX11Desktop::KeyUp(uint8_t vk) { impl_->Send(vk, false); }

void TX11Desktop::Sleep(int32_t milliseconds) {
    XSync(impl_->display, False);
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TX11Desktop::ProcessMessages() {
    XSync(impl_->display, False);
    if (impl_->pump) impl_->pump();
}

std::string TX11Desktop::Opener() {
    std::string opener = FindExecutable("xdg-open");
    if (opener.empty()) opener = FindExecutable("gio");
    return opener;
}

bool TX11Desktop::ShellOpen(const std::string& file, const std::string& parameters, const std::string& workFolder) {
    std::string path = NativePath(file).string();
    std::string folder = workFolder.empty() ? std::string() : NativePath(workFolder).string();
    std::string executable = FindExecutable(path);
    if (!executable.empty()) return SpawnDetached(executable, SplitParameters(Cp1252ToUtf8(parameters)), folder);
    // Not a program: a document, a folder or an address, for the opener.
    struct stat st {};
    bool exists = stat(path.c_str(), &st) == 0;
    bool address = path.find("://") != std::string::npos || path.rfind("mailto:", 0) == 0;
    if (path.empty() || (!exists && !address)) return false;
    std::string opener = Opener();
    if (opener.empty()) return false;
    std::vector<std::string> args;
    if (opener.size() >= 4 && opener.compare(opener.size() - 4, 4, "/gio") == 0) args.push_back("open");
    args.push_back(path);
    return SpawnDetached(opener, args, folder);
}

void TX11Desktop::PlaySoundAsync(const std::string& wavFile) {
    if (impl_->sound) impl_->sound(NativePath(wavFile).string());
}

void TX11Desktop::LoadKeyboardLayout() {
    XkbComponentNamesRec names{};
    char keycodes[] = "evdev+aliases(qwerty)", types[] = "complete", compat[] = "complete",
         symbols[] = "pc+br(abnt2)+inet(evdev)";
    names.keycodes = keycodes;
    names.types = types;
    names.compat = compat;
    names.symbols = symbols;
    // No geometry: it only draws the keyboard, and servers lack most of them.
    XkbDescPtr xkb = XkbGetKeyboardByName(impl_->display, XkbUseCoreKbd, &names,
                                          XkbGBN_AllComponentsMask & ~XkbGBN_GeometryMask,
                                          XkbGBN_AllComponentsMask & ~XkbGBN_GeometryMask, True);
    if (!xkb) throw TError("O servidor X recusou o teclado ABNT2 (br abnt2)");
    XkbFreeKeyboard(xkb, XkbAllComponentsMask, True);
    char rules[] = "evdev", model[] = "abnt2", layout[] = "br", variant[] = "abnt2";
    XkbRF_VarDefsRec vars{};
    vars.model = model;
    vars.layout = layout;
    vars.variant = variant;
    XkbRF_SetNamesProp(impl_->display, rules, &vars);
    XSync(impl_->display, False);
    impl_->MapKeys();
}

void TX11Desktop::SetMessagePump(std::function<void()> pump) { impl_->pump = std::move(pump); }

void TX11Desktop::SetSoundPlayer(std::function<void(const std::string&)> player) { impl_->sound = std::move(player); }

unsigned TX11Desktop::KeycodeOf(uint8_t vk) const { return impl_->keycodes[vk]; }

}  // namespace zel
