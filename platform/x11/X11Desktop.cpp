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
#include <map>
#include <vector>
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
// overtake the plain ones ("áol" for "olá"). A round trip with the server says
// nothing of what a client has handled, and not even a round trip with the
// client itself does (Qt answers a ping before delivering its queued keys).
// So the composing is done here: loading the layout also puts the letters
// that the dead keys compose (á, Á, ã, ê, ü, à...) on the keycodes that the
// layout leaves empty, two to a key (plain and with Shift), and a dead key
// followed by a letter goes out as that one key. Every character then takes
// the client's plain road, in order, at any hold time.
//
// A server has only some sixteen empty keycodes: the Portuguese letters come
// first. A letter left without one (è, ö, ÿ...), or every letter when the
// layout was not loaded here, goes out as dead key and letter; where typing
// passes from plain characters to such composed ones or back, the next key
// waits until kSettleMs have passed since the last character began.
constexpr int kSettleMs = 10;

// What a dead key followed by a base key composes, lower and upper case.
struct TComposition {
    KeySym dead, base, lower, upper;
};
constexpr TComposition kCompositions[] = {
    {XK_dead_acute, XK_a, XK_aacute, XK_Aacute},
    {XK_dead_acute, XK_e, XK_eacute, XK_Eacute},
    {XK_dead_acute, XK_i, XK_iacute, XK_Iacute},
    {XK_dead_acute, XK_o, XK_oacute, XK_Oacute},
    {XK_dead_acute, XK_u, XK_uacute, XK_Uacute},
    {XK_dead_tilde, XK_a, XK_atilde, XK_Atilde},
    {XK_dead_tilde, XK_o, XK_otilde, XK_Otilde},
    {XK_dead_circumflex, XK_a, XK_acircumflex, XK_Acircumflex},
    {XK_dead_circumflex, XK_e, XK_ecircumflex, XK_Ecircumflex},
    {XK_dead_circumflex, XK_o, XK_ocircumflex, XK_Ocircumflex},
    {XK_dead_grave, XK_a, XK_agrave, XK_Agrave},
    {XK_dead_diaeresis, XK_u, XK_udiaeresis, XK_Udiaeresis},
    {XK_dead_tilde, XK_space, XK_asciitilde, XK_asciitilde},
    {XK_dead_circumflex, XK_space, XK_asciicircum, XK_asciicircum},
    {XK_dead_acute, XK_space, XK_acute, XK_acute},
    {XK_dead_grave, XK_space, XK_grave, XK_grave},
    {XK_dead_diaeresis, XK_space, XK_diaeresis, XK_diaeresis},
    {XK_dead_tilde, XK_n, XK_ntilde, XK_Ntilde},
    {XK_dead_circumflex, XK_i, XK_icircumflex, XK_Icircumflex},
    {XK_dead_circumflex, XK_u, XK_ucircumflex, XK_Ucircumflex},
    {XK_dead_grave, XK_e, XK_egrave, XK_Egrave},
    {XK_dead_grave, XK_i, XK_igrave, XK_Igrave},
    {XK_dead_grave, XK_o, XK_ograve, XK_Ograve},
    {XK_dead_grave, XK_u, XK_ugrave, XK_Ugrave},
    {XK_dead_acute, XK_y, XK_yacute, XK_Yacute},
    {XK_dead_diaeresis, XK_a, XK_adiaeresis, XK_Adiaeresis},
    {XK_dead_diaeresis, XK_e, XK_ediaeresis, XK_Ediaeresis},
    {XK_dead_diaeresis, XK_i, XK_idiaeresis, XK_Idiaeresis},
    {XK_dead_diaeresis, XK_o, XK_odiaeresis, XK_Odiaeresis},
    {XK_dead_diaeresis, XK_y, XK_ydiaeresis, XK_Ydiaeresis},
};

// The composed keysyms in the order they get a place on a spare key.
constexpr KeySym kPlacedFirst[] = {
    XK_aacute, XK_eacute, XK_iacute, XK_oacute, XK_uacute, XK_atilde, XK_otilde, XK_acircumflex,
    XK_ecircumflex, XK_ocircumflex, XK_agrave, XK_udiaeresis,
    XK_Aacute, XK_Eacute, XK_Iacute, XK_Oacute, XK_Uacute, XK_Atilde, XK_Otilde, XK_Acircumflex,
    XK_Ecircumflex, XK_Ocircumflex, XK_Agrave, XK_Udiaeresis,
    XK_asciitilde, XK_asciicircum, XK_acute, XK_grave, XK_diaeresis,
    XK_ntilde, XK_icircumflex, XK_ucircumflex, XK_Ntilde, XK_Icircumflex, XK_Ucircumflex,
    XK_egrave, XK_igrave, XK_ograve, XK_ugrave, XK_adiaeresis, XK_ediaeresis, XK_idiaeresis, XK_odiaeresis,
    XK_yacute, XK_ydiaeresis, XK_Egrave, XK_Igrave, XK_Ograve, XK_Ugrave, XK_Adiaeresis, XK_Ediaeresis,
    XK_Idiaeresis, XK_Odiaeresis, XK_Yacute, XK_Ydiaeresis,
};

const TComposition* FindComposition(KeySym dead, KeySym base) {
    for (const TComposition& c : kCompositions) {
        if (c.dead == dead && c.base == base) return &c;
    }
    return nullptr;
}

struct TX11Desktop::Impl {
    Display* display = nullptr;
    std::array<unsigned, 256> keycodes{};
    std::array<std::array<KeySym, 2>, 256> keysyms{};  // without and with Shift
    enum TKind { kNone, kPlain, kComposed } lastKind = kNone;
    bool deadInProgress = false;  // the dead-key road: a dead key sent, its letter not yet
    bool shiftDown = false;
    std::chrono::steady_clock::time_point lastText{};
    // Composing here (see above): the spare keycode of each composition, the
    // dead key waiting for its letter, and what each key's release must undo.
    struct TPlace {
        unsigned keycode;
        bool shifted;
    };
    std::map<KeySym, TPlace> placeOf;
    KeySym pendingDead = NoSymbol;
    uint8_t pendingDeadVk = 0;
    bool pendingDeadShift = false;
    std::array<unsigned, 256> pressedInstead{};  // vk → spare keycode pressed for it
    std::array<bool, 256> swallowRelease{};

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
            if (deadInProgress) return;  // a second dead key belongs to the same letter
            deadInProgress = true;
            kind = kComposed;
        } else if (deadInProgress) {
            deadInProgress = false;  // the letter after the dead key: composed with it
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

    void Fake(unsigned kc, bool down) {
        XTestFakeKeyEvent(display, kc, down ? True : False, CurrentTime);
        XFlush(display);
    }

    // The spare key of what the dead key and the base compose, at the case
    // that Shift gives now; null when it has none.
    const TPlace* PlaceOf(KeySym dead, KeySym base) const {
        const TComposition* c = FindComposition(dead, base);
        if (!c) return nullptr;
        auto it = placeOf.find(shiftDown ? c->upper : c->lower);
        return it == placeOf.end() ? nullptr : &it->second;
    }

    // Presses a spare key at its level: Shift is set as the place wants it
    // for the press alone (the letter is chosen then), and put back.
    void PressPlace(const TPlace& place) {
        const unsigned shiftKc = keycodes[0x10];
        const bool flip = shiftKc && place.shifted != shiftDown;
        if (flip) Fake(shiftKc, place.shifted);
        Fake(place.keycode, true);
        if (flip) Fake(shiftKc, shiftDown);
    }

    void Send(uint8_t vk, bool down) {
        unsigned kc = keycodes[vk];
        if (kc == 0) return;
        const bool isShift = vk == 0x10 || vk == 0xA0 || vk == 0xA1;
        if (!placeOf.empty() && !isShift) {
            if (down) {
                KeySym ks = keysyms[vk][shiftDown ? 1 : 0];
                if (IsDead(ks)) {
                    if (pendingDead != NoSymbol) FlushPendingDead();
                    pendingDead = ks;
                    pendingDeadVk = vk;
                    pendingDeadShift = shiftDown;
                    swallowRelease[vk] = true;
                    return;
                }
                if (pendingDead != NoSymbol && ks != NoSymbol && !IsModifierKey(ks)) {
                    const TPlace* place = PlaceOf(pendingDead, keysyms[vk][0]);
                    if (!place) {
                        FlushPendingDead();
                    } else {
                        pendingDead = NoSymbol;
                        pressedInstead[vk] = place->keycode;
                        PressPlace(*place);
                        if (lastKind == kComposed) lastKind = kPlain;  // this road keeps the order
                        return;
                    }
                }
            } else {
                if (pressedInstead[vk] != 0) {
                    Fake(pressedInstead[vk], false);
                    pressedInstead[vk] = 0;
                    return;
                }
                if (swallowRelease[vk]) {
                    swallowRelease[vk] = false;
                    return;
                }
            }
        }
        if (down) BeforePress(vk);
        if (isShift) shiftDown = down;
        Fake(kc, down);
    }

    // A dead key whose composition has no keycode of its own: it goes out
    // itself, at the level it was pressed with, and the client composes.
    void FlushPendingDead() {
        const uint8_t vk = pendingDeadVk;
        const unsigned shiftKc = keycodes[0x10];
        const bool wasShift = shiftDown;
        const bool shiftNeeded = pendingDeadShift;
        pendingDead = NoSymbol;
        if (shiftKc && shiftNeeded != wasShift) Fake(shiftKc, shiftNeeded);
        shiftDown = shiftNeeded;
        BeforePress(vk);
        Fake(keycodes[vk], true);
        Fake(keycodes[vk], false);
        if (shiftKc && shiftNeeded != wasShift) Fake(shiftKc, wasShift);
        shiftDown = wasShift;
    }

    // Puts the composed letters on the keycodes that the layout leaves
    // empty, two to a key.
    void InstallCompositions() {
        placeOf.clear();
        pendingDead = NoSymbol;
        XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        if (!xkb) return;
        std::vector<unsigned> spare;
        for (int kc = xkb->max_key_code; kc > xkb->min_key_code && kc > 8; --kc) {
            if (XkbKeyNumGroups(xkb, kc) == 0) spare.push_back(static_cast<unsigned>(kc));
        }
        XkbFreeKeyboard(xkb, 0, True);
        constexpr size_t n = sizeof kPlacedFirst / sizeof kPlacedFirst[0];
        for (size_t i = 0, key = 0; i < n && key < spare.size(); i += 2, ++key) {
            KeySym syms[2] = {kPlacedFirst[i], i + 1 < n ? kPlacedFirst[i + 1] : NoSymbol};
            XChangeKeyboardMapping(display, static_cast<int>(spare[key]), 2, syms, 1);
            placeOf[syms[0]] = TPlace{spare[key], false};
            if (syms[1] != NoSymbol) placeOf[syms[1]] = TPlace{spare[key], true};
        }
        XSync(display, False);
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
    impl_->InstallCompositions();
}

void TX11Desktop::SetMessagePump(std::function<void()> pump) { impl_->pump = std::move(pump); }

void TX11Desktop::SetSoundPlayer(std::function<void(const std::string&)> player) { impl_->sound = std::move(player); }

unsigned TX11Desktop::KeycodeOf(uint8_t vk) const { return impl_->keycodes[vk]; }

}  // namespace zel
