#include "platform/x11/X11Desktop.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

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

// The core writes its key sequences for the ABNT2 keyboard. Here they are
// read back as what they type there (a letter, a function, a dead key and its
// letter composed into one character), and each of those is typed with the
// key that carries it in the user's own keymap, whatever the layout. What the
// keymap lacks (ã on us, @ on de behind AltGr) is bound for the moment to a
// keycode that the keymap leaves empty. No dead key ever reaches a client: a
// client composing a dead key delivers the letter out of order with plain keys
// around it (Qt does at a hold time of 0).
//
// Clients read a keycode's meaning when they handle the key event, which may
// be later than it was sent; so a spare keycode keeps its binding until the
// typing has been idle for kIdleRestore, and a binding is only replaced when
// its last press is kRebindAfter old.
constexpr auto kIdleRestore = std::chrono::milliseconds(1000);
constexpr auto kRebindAfter = std::chrono::milliseconds(200);
constexpr auto kAfterBind = std::chrono::milliseconds(5);

// The Portuguese letters (each with its capital) bound, where the layout
// lacks them, before the first key of a typing goes out. A client reads the
// keymap when it looks up its first key ever, and asks then to hear of
// changes: a binding made in between is never seen by it, and its letter is
// lost. Bound before any key, they are in whatever keymap a client reads.
constexpr KeySym kBoundAtStart[] = {XK_aacute, XK_eacute, XK_iacute, XK_oacute, XK_uacute, XK_atilde, XK_otilde,
                                    XK_acircumflex, XK_ecircumflex, XK_ocircumflex, XK_agrave, XK_ccedilla,
                                    XK_udiaeresis};

// What a dead key followed by a base letter composes, lower and upper case.
struct TComposition {
    KeySym dead, base, lower, upper;
};
constexpr TComposition kCompositions[] = {
    {XK_dead_acute, XK_a, XK_aacute, XK_Aacute},
    {XK_dead_acute, XK_e, XK_eacute, XK_Eacute},
    {XK_dead_acute, XK_i, XK_iacute, XK_Iacute},
    {XK_dead_acute, XK_o, XK_oacute, XK_Oacute},
    {XK_dead_acute, XK_u, XK_uacute, XK_Uacute},
    {XK_dead_acute, XK_y, XK_yacute, XK_Yacute},
    {XK_dead_acute, XK_c, XK_ccedilla, XK_Ccedilla},
    {XK_dead_tilde, XK_a, XK_atilde, XK_Atilde},
    {XK_dead_tilde, XK_o, XK_otilde, XK_Otilde},
    {XK_dead_tilde, XK_n, XK_ntilde, XK_Ntilde},
    {XK_dead_circumflex, XK_a, XK_acircumflex, XK_Acircumflex},
    {XK_dead_circumflex, XK_e, XK_ecircumflex, XK_Ecircumflex},
    {XK_dead_circumflex, XK_i, XK_icircumflex, XK_Icircumflex},
    {XK_dead_circumflex, XK_o, XK_ocircumflex, XK_Ocircumflex},
    {XK_dead_circumflex, XK_u, XK_ucircumflex, XK_Ucircumflex},
    {XK_dead_grave, XK_a, XK_agrave, XK_Agrave},
    {XK_dead_grave, XK_e, XK_egrave, XK_Egrave},
    {XK_dead_grave, XK_i, XK_igrave, XK_Igrave},
    {XK_dead_grave, XK_o, XK_ograve, XK_Ograve},
    {XK_dead_grave, XK_u, XK_ugrave, XK_Ugrave},
    {XK_dead_diaeresis, XK_a, XK_adiaeresis, XK_Adiaeresis},
    {XK_dead_diaeresis, XK_e, XK_ediaeresis, XK_Ediaeresis},
    {XK_dead_diaeresis, XK_i, XK_idiaeresis, XK_Idiaeresis},
    {XK_dead_diaeresis, XK_o, XK_odiaeresis, XK_Odiaeresis},
    {XK_dead_diaeresis, XK_u, XK_udiaeresis, XK_Udiaeresis},
    {XK_dead_diaeresis, XK_y, XK_ydiaeresis, XK_Ydiaeresis},
};

bool IsDead(KeySym ks) { return ks >= XK_dead_grave && ks <= XK_dead_greek; }

// The accent of a dead key on its own (what the dead key and the space bar type).
KeySym Spacing(KeySym dead) {
    switch (dead) {
        case XK_dead_acute: return XK_acute;
        case XK_dead_grave: return XK_grave;
        case XK_dead_tilde: return XK_asciitilde;
        case XK_dead_circumflex: return XK_asciicircum;
        case XK_dead_diaeresis: return XK_diaeresis;
        default: return NoSymbol;
    }
}

// What the dead key and the next key type; NoSymbol when they compose nothing.
KeySym Compose(KeySym dead, KeySym base) {
    if (base == XK_space) return Spacing(dead);
    KeySym lower = NoSymbol, upper = NoSymbol;
    XConvertCase(base, &lower, &upper);
    for (const TComposition& c : kCompositions) {
        if (c.dead == dead && c.base == lower) return base == lower ? c.lower : c.upper;
    }
    return NoSymbol;
}

bool IsShiftVk(uint8_t vk) { return vk == 0x10 || vk == 0xA0 || vk == 0xA1; }
bool IsModifierVk(uint8_t vk) {
    return IsShiftVk(vk) || vk == 0x11 || vk == 0x12 || (vk >= 0xA2 && vk <= 0xA5) || vk == 0x5B || vk == 0x5C;
}

}  // namespace

struct TX11Desktop::Impl {
    using Clock = std::chrono::steady_clock;

    // A key that types a keysym: the keycode, and whether Shift must be down
    // (`either`: the key types it with or without Shift).
    struct TPlace {
        unsigned keycode = 0;
        bool shifted = false;
        bool either = false;
    };

    Display* display = nullptr;
    std::mutex mutex;  // the connection and everything below; the restorer thread shares them

    // The user's keymap as it was when the typing began.
    bool haveKeymap = false;
    bool boundAtStart = false;
    bool capsLocked = false;  // Caps Lock on: a bound letter's cases swap levels
    std::unordered_map<KeySym, TPlace> plainKeys, shiftedKeys;
    std::vector<unsigned> spare;                 // keycodes the keymap leaves empty
    std::array<unsigned, 256> keycodeByName{};  // the ABNT2 key names' keycodes
    // Spare keycodes bound now: what each keysym is on, and each one's last press.
    std::unordered_map<KeySym, TPlace> bound;
    std::map<unsigned, Clock::time_point> boundKeys;

    // The keys the core holds down: what was pressed for each code (0 for
    // nothing, as for a dead key, which waits for its letter).
    std::array<unsigned, 256> pressedFor{};
    std::bitset<256> vkDown;
    std::vector<unsigned> shiftKeys;  // the Shift keycodes down for the core
    KeySym pendingDead = NoSymbol;

    std::function<void()> pump;
    std::function<void(const std::string&)> sound = DefaultSound;

    std::thread restorer;
    std::condition_variable wake;
    bool quitting = false;
    std::optional<Clock::time_point> idleDue;

    void Fake(unsigned kc, bool down) {
        XTestFakeKeyEvent(display, kc, down ? True : False, CurrentTime);
        XFlush(display);
    }

    void ReadKeymap() {
        plainKeys.clear();
        shiftedKeys.clear();
        spare.clear();
        keycodeByName.fill(0);
        XkbStateRec state{};
        XkbGetState(display, XkbUseCoreKbd, &state);
        capsLocked = (state.locked_mods & LockMask) != 0;
        XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
        if (!xkb) return;
        if (XkbGetNames(display, XkbKeyNamesMask | XkbKeyAliasesMask, xkb) == Success) keycodeByName = Abnt2Keycodes(xkb);
        for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
            const int groups = XkbKeyNumGroups(xkb, kc);
            if (groups == 0) {
                if (kc > 8 && (!xkb->map->modmap || xkb->map->modmap[kc] == 0)) spare.push_back(static_cast<unsigned>(kc));
                continue;
            }
            const int group = state.group % groups;
            const XkbKeyTypePtr type = XkbKeyKeyType(xkb, kc, group);
            // The level each key gives without and with Shift, the locks (Caps,
            // Num) as they stand.
            for (bool shift : {false, true}) {
                const unsigned mods = (state.locked_mods | (shift ? ShiftMask : 0)) & type->mods.mask;
                int level = 0;
                for (int i = 0; i < type->map_count; ++i) {
                    if (type->map[i].active && type->map[i].mods.mask == mods) {
                        level = type->map[i].level;
                        break;
                    }
                }
                const KeySym ks = XkbKeySymEntry(xkb, kc, level, group);
                if (ks != NoSymbol) (shift ? shiftedKeys : plainKeys).try_emplace(ks, TPlace{static_cast<unsigned>(kc), shift, false});
            }
        }
        XkbFreeKeyboard(xkb, 0, True);
        haveKeymap = true;
        boundAtStart = false;
    }

    // Before the first text key of a typing (a key combination alone binds
    // nothing it does not need).
    void BindAtStart() {
        boundAtStart = true;
        bool any = false;
        for (KeySym ks : kBoundAtStart) {
            if (!Find(ks) && Bind(ks, false)) any = true;
        }
        if (any) {
            XSync(display, False);
            std::this_thread::sleep_for(kAfterBind);
        }
    }

    bool ShiftDown() const { return !shiftKeys.empty(); }

    std::optional<TPlace> Find(KeySym ks) const {
        const auto& first = ShiftDown() ? shiftedKeys : plainKeys;
        const auto& second = ShiftDown() ? plainKeys : shiftedKeys;
        if (auto it = first.find(ks); it != first.end()) return it->second;
        if (auto it = second.find(ks); it != second.end()) return it->second;
        if (auto it = bound.find(ks); it != bound.end()) return it->second;
        return std::nullopt;
    }

    bool KeycodeDown(unsigned kc) const {
        return std::find(pressedFor.begin(), pressedFor.end(), kc) != pressedFor.end();
    }

    // Binds the keysym (with its other case, if it has one) to a spare keycode.
    std::optional<TPlace> Bind(KeySym ks, bool settle = true) {
        unsigned kc = 0;
        for (unsigned candidate : spare) {
            if (!boundKeys.count(candidate)) {
                kc = candidate;
                break;
            }
        }
        if (kc == 0) {
            // All taken: the one pressed longest ago, once clients are done with it.
            Clock::time_point oldest = Clock::time_point::max();
            for (const auto& [candidate, used] : boundKeys) {
                if (used < oldest && !KeycodeDown(candidate)) {
                    oldest = used;
                    kc = candidate;
                }
            }
            if (kc == 0) return std::nullopt;
            XSync(display, False);
            const auto due = oldest + kRebindAfter;
            if (Clock::now() < due) std::this_thread::sleep_until(due);
            std::erase_if(bound, [kc](const auto& entry) { return entry.second.keycode == kc; });
        }
        KeySym lower = NoSymbol, upper = NoSymbol;
        XConvertCase(ks, &lower, &upper);
        if (lower != upper) {
            KeySym syms[2] = {lower, upper};
            XChangeKeyboardMapping(display, static_cast<int>(kc), 2, syms, 1);
            bound[lower] = TPlace{kc, capsLocked, false};
            bound[upper] = TPlace{kc, !capsLocked, false};
        } else {
            XChangeKeyboardMapping(display, static_cast<int>(kc), 1, &ks, 1);
            bound[ks] = TPlace{kc, false, true};
        }
        boundKeys[kc] = Clock::now();
        if (settle) {
            // Clients take in the binding before its key comes.
            XSync(display, False);
            std::this_thread::sleep_for(kAfterBind);
        }
        return bound[ks];
    }

    // Gives every spare keycode back its emptiness.
    void RestoreSpares() {
        for (const auto& entry : boundKeys) {
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(display, static_cast<int>(entry.first), 1, &none, 1);
        }
        bound.clear();
        boundKeys.clear();
        XSync(display, False);
    }

    // Presses the key that types `ks`, with Shift set as that key wants it
    // for the press alone; returns the keycode pressed (0 for none).
    unsigned Press(KeySym ks) {
        std::optional<TPlace> place = Find(ks);
        if (!place) place = Bind(ks);
        if (!place) return 0;
        const unsigned kc = place->keycode;
        if (boundKeys.count(kc)) boundKeys[kc] = Clock::now();
        if (place->either || place->shifted == ShiftDown()) {
            Fake(kc, true);
        } else if (place->shifted) {
            const unsigned shift = ShiftKeycode();
            if (shift) Fake(shift, true);
            Fake(kc, true);
            if (shift) Fake(shift, false);
        } else {
            for (unsigned k : shiftKeys) Fake(k, false);
            Fake(kc, true);
            for (unsigned k : shiftKeys) Fake(k, true);
        }
        return kc;
    }

    unsigned ShiftKeycode() const {
        if (auto it = plainKeys.find(XK_Shift_L); it != plainKeys.end()) return it->second.keycode;
        return keycodeByName[0x10];
    }

    unsigned ModifierKeycode(uint8_t vk) const {
        const KeySym ks = Abnt2Symbols(vk).plain;
        if (auto it = plainKeys.find(ks); it != plainKeys.end()) return it->second.keycode;
        return keycodeByName[vk];
    }

    // Ctrl, Alt, AltGr or the Windows key down: the keys are a combination
    // (Ctrl+C is the key that types c), and a dead key is just a key.
    bool Combination() const {
        for (uint8_t vk : {0x11, 0x12, 0x5B, 0x5C, 0xA2, 0xA3, 0xA4, 0xA5})
            if (vkDown[vk]) return true;
        return false;
    }

    void KeyDown(uint8_t vk) {
        idleDue.reset();
        if (!haveKeymap) ReadKeymap();
        if (pressedFor[vk] != 0) return;  // held already
        if (IsModifierVk(vk)) {
            const unsigned kc = ModifierKeycode(vk);
            vkDown.set(vk);
            if (kc == 0) return;
            Fake(kc, true);
            pressedFor[vk] = kc;
            if (IsShiftVk(vk)) shiftKeys.push_back(kc);
            return;
        }
        const TAbnt2Symbols symbols = Abnt2Symbols(vk);
        KeySym ks = ShiftDown() ? symbols.shifted : symbols.plain;
        if (ks == NoSymbol) return;
        vkDown.set(vk);
        if (!Combination()) {
            if (!boundAtStart) BindAtStart();
            if (IsDead(ks)) {
                if (pendingDead != NoSymbol) TypeAlone(Spacing(pendingDead));
                pendingDead = ks;
                return;
            }
            if (pendingDead != NoSymbol) {
                const KeySym composed = Compose(pendingDead, ks);
                if (composed == NoSymbol) TypeAlone(Spacing(pendingDead));
                else ks = composed;
                pendingDead = NoSymbol;
            }
        }
        pressedFor[vk] = Press(ks);
    }

    // A character of its own, pressed and released at once.
    void TypeAlone(KeySym ks) {
        if (ks == NoSymbol) return;
        if (const unsigned kc = Press(ks)) Fake(kc, false);
    }

    void KeyUp(uint8_t vk) {
        vkDown.reset(vk);
        const unsigned kc = pressedFor[vk];
        if (kc == 0) return;
        pressedFor[vk] = 0;
        Fake(kc, false);
        if (IsShiftVk(vk)) std::erase(shiftKeys, kc);
        if (std::all_of(pressedFor.begin(), pressedFor.end(), [](unsigned k) { return k == 0; })) {
            idleDue = Clock::now() + kIdleRestore;
            wake.notify_all();
        }
    }

    // The idle typing gives its spare keycodes back, and reads the keymap
    // anew next time (the user may change layouts meanwhile).
    void RestoreWhenIdle() {
        std::unique_lock lock(mutex);
        while (!quitting) {
            if (!idleDue) {
                wake.wait(lock);
            } else if (Clock::now() < *idleDue) {
                wake.wait_until(lock, *idleDue);
            } else {
                idleDue.reset();
                if (pendingDead == NoSymbol) {
                    RestoreSpares();
                    haveKeymap = false;
                }
            }
        }
    }
};

namespace {

std::atomic<bool> programEnding{false};

// Xlib's own handler ends the program at once when the server goes away. Ours
// returns, and each display's exit handler decides: this one ends the program
// with exit(1), as Qt does for its own connection, so that the program's exit
// handler goes through the quit path; while the program is already ending, a
// lost display is left alone, so that the quit path is not cut short.
int OnIoError(Display*) { return 0; }
void OnDisplayLost(Display*, void*) {
    if (!programEnding.exchange(true)) std::exit(1);
}

}  // namespace

void TX11Desktop::SetProgramEnding() { programEnding = true; }

TX11Desktop::TX11Desktop(const std::string& displayName) : impl_(std::make_unique<Impl>()) {
    XSetIOErrorHandler(&OnIoError);
    const char* name = displayName.empty() ? nullptr : displayName.c_str();
    std::string shown = name ? displayName : (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0, event = 0, error = 0;
    impl_->display = XkbOpenDisplay(const_cast<char*>(name), &event, &error, &major, &minor, &reason);
    if (!impl_->display) {
        if (reason == XkbOD_ConnectionRefused)
            throw TError("N\xE3o foi poss\xEDvel conectar ao servidor X (DISPLAY=\"" + shown + "\")");
        throw TError("O servidor X (DISPLAY=\"" + shown + "\") n\xE3o oferece a extens\xE3o XKB");
    }
    XSetIOErrorExitHandler(impl_->display, &OnDisplayLost, nullptr);
    int ev = 0, er = 0, maj = 0, min = 0;
    if (!XTestQueryExtension(impl_->display, &ev, &er, &maj, &min)) {
        XCloseDisplay(impl_->display);
        throw TError("O servidor X (DISPLAY=\"" + shown + "\") n\xE3o oferece a extens\xE3o XTEST");
    }
    impl_->restorer = std::thread([impl = impl_.get()] { impl->RestoreWhenIdle(); });
}

TX11Desktop::~TX11Desktop() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->quitting = true;
    }
    impl_->wake.notify_all();
    impl_->restorer.join();
    // Nothing stays held or bound after the program.
    for (uint8_t vk = 255; vk > 0; --vk) impl_->KeyUp(vk);
    impl_->RestoreSpares();
    XCloseDisplay(impl_->display);
}

void TX11Desktop::KeyDown(uint8_t vk) {
    std::lock_guard lock(impl_->mutex);
    impl_->KeyDown(vk);
}

void TX11Desktop::KeyUp(uint8_t vk) {
    std::lock_guard lock(impl_->mutex);
    impl_->KeyUp(vk);
}

void TX11Desktop::Sleep(int32_t milliseconds) {
    {
        std::lock_guard lock(impl_->mutex);
        XSync(impl_->display, False);
    }
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TX11Desktop::ProcessMessages() {
    {
        std::lock_guard lock(impl_->mutex);
        XSync(impl_->display, False);
    }
    if (impl_->pump) impl_->pump();
}

bool TX11Desktop::Reachable(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

std::string TX11Desktop::Opener() {
    std::string opener = FindExecutable("xdg-open");
    if (opener.empty()) opener = FindExecutable("gio");
    return opener;
}

bool TX11Desktop::ShellOpen(const std::string& file, const std::string& parameters, const std::string& workFolder) {
    const std::string& path = file;
    const std::string& folder = workFolder;
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
    if (impl_->sound) impl_->sound(wavFile);
}

void TX11Desktop::SetMessagePump(std::function<void()> pump) { impl_->pump = std::move(pump); }

void TX11Desktop::SetSoundPlayer(std::function<void(const std::string&)> player) { impl_->sound = std::move(player); }

size_t TX11Desktop::SpareKeysBound() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->boundKeys.size();
}

}  // namespace zel
