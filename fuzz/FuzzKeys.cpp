// Key names and typed text as the desktop receives them. A key combination
// presses the key of every name and releases each one; typed text, read back
// by a model of the ABNT2 keyboard (Shift, the dead keys, the composed
// letters), is the text asked for: ASCII letters in lower case, characters
// the layout has no key for left out; no key is left held.
#include <set>

#include "actions/ActionContext.h"
#include "actions/Actions.h"
#include "commands/KeyNames.h"
#include "commands/ParseString.h"
#include "fuzz/FuzzSupport.h"
#include "platform/fake/FakeDesktop.h"

namespace {

constexpr uint8_t kShift = 0x10;

// The letter a dead key and a base letter make on the layout; 0 when they
// make none (the accent then comes out alone, followed by the key's own).
unsigned char Compose(unsigned char accent, unsigned char base) {
    static const struct {
        unsigned char accent;
        const char* bases;
        const char* composed;
    } table[] = {
        {0xB4, "aeiouyAEIOUY", "\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD"},
        {'~', "aonAON", "\xE3\xF5\xF1\xC3\xD5\xD1"},
        {'^', "aeiouAEIOU", "\xE2\xEA\xEE\xF4\xFB\xC2\xCA\xCE\xD4\xDB"},
        {0xA8, "aeiouyAEIOU", "\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC"},
        {'`', "aeiouAEIOU", "\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9"},
    };
    for (const auto& row : table) {
        if (row.accent != accent) continue;
        for (size_t i = 0; row.bases[i]; ++i)
            if (static_cast<unsigned char>(row.bases[i]) == base) return static_cast<unsigned char>(row.composed[i]);
    }
    return 0;
}

// What a key gives on ABNT2 without and with Shift; dead keys give their accent.
struct TKeyChars {
    unsigned char plain, shifted;
    bool dead, deadShifted;
};
bool KeyChars(uint8_t vk, TKeyChars& k) {
    if (vk >= 'A' && vk <= 'Z') { k = {static_cast<unsigned char>(vk - 'A' + 'a'), vk, false, false}; return true; }
    static const char* shiftedDigits = ")!@#$%\xA8&*(";
    if (vk >= '0' && vk <= '9') {
        k = {vk, static_cast<unsigned char>(shiftedDigits[vk - '0']), false, vk == '6'};
        return true;
    }
    switch (vk) {
        case 0x20: k = {' ', ' ', false, false}; return true;
        case 0x09: k = {'\t', '\t', false, false}; return true;
        case 0xDB: k = {0xB4, '`', true, true}; return true;
        case 0xDE: k = {'~', '^', true, true}; return true;
        case 0xBA: k = {0xE7, 0xC7, false, false}; return true;
        case 0xC0: k = {'\'', '"', false, false}; return true;
        case 0xBD: k = {'-', '_', false, false}; return true;
        case 0xBB: k = {'=', '+', false, false}; return true;
        case 0xDD: k = {'[', '{', false, false}; return true;
        case 0xDC: k = {']', '}', false, false}; return true;
        case 0xBC: k = {',', '<', false, false}; return true;
        case 0xBE: k = {'.', '>', false, false}; return true;
        case 0xBF: k = {';', ':', false, false}; return true;
        case 0xC1: k = {'/', '?', false, false}; return true;
        case 0xE2: k = {'\\', '|', false, false}; return true;
    }
    return false;
}

// The text a window receives from the key events, and whether every pressed
// key was released and none was pressed twice.
std::string TextThatArrives(const zel::TEventLog& log, bool& balanced) {
    std::string text;
    std::set<int32_t> held;
    unsigned char pendingAccent = 0;
    balanced = true;
    for (const zel::TDesktopEvent& e : log.Events()) {
        if (e.Kind == zel::TDesktopEvent::KeyUp) {
            balanced = balanced && held.erase(e.Value) == 1;
            continue;
        }
        if (e.Kind != zel::TDesktopEvent::KeyDown) continue;
        balanced = balanced && held.insert(e.Value).second;
        const auto vk = static_cast<uint8_t>(e.Value);
        TKeyChars k{};
        if (vk == kShift || !KeyChars(vk, k)) continue;
        const bool shift = held.count(kShift) != 0;
        const unsigned char c = shift ? k.shifted : k.plain;
        const bool dead = shift ? k.deadShifted : k.dead;
        if (pendingAccent) {
            const unsigned char accent = pendingAccent;
            pendingAccent = 0;
            if (c == ' ' && !dead) { text += static_cast<char>(accent); continue; }
            if (unsigned char composed = dead ? 0 : Compose(accent, c)) { text += static_cast<char>(composed); continue; }
            text += static_cast<char>(accent);
        }
        if (dead) pendingAccent = c;
        else text += static_cast<char>(c);
    }
    if (pendingAccent) text += static_cast<char>(pendingAccent);
    balanced = balanced && held.empty();
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    zel::TEventLog log;
    zel::TFakeDesktop desktop(log);
    zel::TFakeTimer timer(log);
    zel::TListaComandos comandos;
    zel::TActionContext ctx(comandos, desktop, timer, nullptr);
    ctx.TempoTecla = 0;
    bool balanced = false;

    // The input as key names joined by "+".
    zel::PressKeyCombination(ctx, zel::TComando{"x", "", zel::tcTecla, input});
    std::vector<int32_t> expected;
    for (const std::string& name : zel::ParseString(input, '+').Items)
        if (uint8_t vk = zel::KeyNameToCode(name); vk != zel::kNoKey) expected.push_back(vk);
    std::vector<int32_t> pressed, released;
    for (const zel::TDesktopEvent& e : log.Events()) {
        if (e.Kind == zel::TDesktopEvent::KeyDown) pressed.push_back(e.Value);
        if (e.Kind == zel::TDesktopEvent::KeyUp) released.push_back(e.Value);
    }
    ZELFUZZ_CHECK(pressed == expected);
    ZELFUZZ_CHECK(released == expected);
    ZELFUZZ_CHECK(log.Count(zel::TDesktopEvent::Sleep) == 1);
    // A key's name names that key again.
    for (const std::string& name : zel::ParseString(input, '+').Items) {
        const uint8_t vk = zel::KeyNameToCode(name);
        const std::string back = zel::KeyCodeToName(vk);
        if (!back.empty()) ZELFUZZ_CHECK(zel::KeyNameToCode(back) == vk);
    }

    // The input as text to type.
    log.Clear();
    zel::TypeText(ctx, input);
    std::string want;
    for (unsigned char c : input) {
        if (zel::KeysOfCharacter(c).empty()) continue;
        want += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    ZELFUZZ_CHECK(TextThatArrives(log, balanced) == want);
    ZELFUZZ_CHECK(balanced);
    return 0;
}
