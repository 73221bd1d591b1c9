#include "platform/Abnt2Typing.h"

namespace zel {

namespace {

constexpr char32_t kGrave = 0x300, kAcute = 0x301, kCircumflex = 0x302, kTilde = 0x303, kDiaeresis = 0x308;

bool IsAccent(char32_t c) { return c >= 0x300 && c <= 0x308; }

struct TVkCharacters {
    uint8_t vk;
    char32_t plain, shifted;
};

// br(abnt2): the keys that type characters.
constexpr TVkCharacters kAbnt2[] = {
    {0x20, U' ', U' '},
    {0x30, U'0', U')'}, {0x31, U'1', U'!'}, {0x32, U'2', U'@'}, {0x33, U'3', U'#'}, {0x34, U'4', U'$'},
    {0x35, U'5', U'%'}, {0x36, U'6', kDiaeresis}, {0x37, U'7', U'&'}, {0x38, U'8', U'*'}, {0x39, U'9', U'('},
    {0xBA, U'\u00E7', U'\u00C7'}, {0xBB, U'=', U'+'}, {0xBC, U',', U'<'}, {0xBD, U'-', U'_'}, {0xBE, U'.', U'>'},
    {0xBF, U';', U':'}, {0xC0, U'\'', U'"'}, {0xC1, U'/', U'?'}, {0xDB, kAcute, kGrave}, {0xDC, U']', U'}'},
    {0xDD, U'[', U'{'}, {0xDE, kTilde, kCircumflex}, {0xE2, U'\\', U'|'},
};

struct TComposition {
    char32_t accent, base, composed;
};
// Lower-case letters; a capital composes to the capital of the same row.
constexpr TComposition kCompositions[] = {
    {kAcute, U'a', U'\u00E1'}, {kAcute, U'e', U'\u00E9'}, {kAcute, U'i', U'\u00ED'}, {kAcute, U'o', U'\u00F3'},
    {kAcute, U'u', U'\u00FA'}, {kAcute, U'y', U'\u00FD'}, {kAcute, U'c', U'\u00E7'},
    {kTilde, U'a', U'\u00E3'}, {kTilde, U'o', U'\u00F5'}, {kTilde, U'n', U'\u00F1'},
    {kCircumflex, U'a', U'\u00E2'}, {kCircumflex, U'e', U'\u00EA'}, {kCircumflex, U'i', U'\u00EE'},
    {kCircumflex, U'o', U'\u00F4'}, {kCircumflex, U'u', U'\u00FB'},
    {kGrave, U'a', U'\u00E0'}, {kGrave, U'e', U'\u00E8'}, {kGrave, U'i', U'\u00EC'}, {kGrave, U'o', U'\u00F2'},
    {kGrave, U'u', U'\u00F9'},
    {kDiaeresis, U'a', U'\u00E4'}, {kDiaeresis, U'e', U'\u00EB'}, {kDiaeresis, U'i', U'\u00EF'},
    {kDiaeresis, U'o', U'\u00F6'}, {kDiaeresis, U'u', U'\u00FC'}, {kDiaeresis, U'y', U'\u00FF'},
};

bool IsShiftVk(uint8_t vk) { return vk == 0x10 || vk == 0xA0 || vk == 0xA1; }

}  // namespace

TAbnt2Characters Abnt2Characters(uint8_t vk) {
    if (vk >= 'A' && vk <= 'Z') return {static_cast<char32_t>(vk - 'A' + 'a'), static_cast<char32_t>(vk)};
    for (const TVkCharacters& k : kAbnt2)
        if (k.vk == vk) return {k.plain, k.shifted};
    return {};
}

char32_t ComposeAccent(char32_t accent, char32_t base) {
    if (base == U' ') return SpacingAccent(accent);
    const bool upper = base >= U'A' && base <= U'Z';
    const char32_t lower = upper ? base - U'A' + U'a' : base;
    for (const TComposition& c : kCompositions) {
        if (c.accent != accent || c.base != lower) continue;
        if (!upper) return c.composed;
        // Latin-1's capitals lie 0x20 below their small letters (ÿ's is elsewhere).
        return c.composed == U'\u00FF' ? U'\u0178' : c.composed - 0x20;
    }
    return 0;
}

char32_t SpacingAccent(char32_t accent) {
    switch (accent) {
        case kAcute: return U'\u00B4';
        case kGrave: return U'`';
        case kTilde: return U'~';
        case kCircumflex: return U'^';
        case kDiaeresis: return U'\u00A8';
        default: return 0;
    }
}

bool TAbnt2Reader::ShiftDown() const { return down_[0x10] || down_[0xA0] || down_[0xA1]; }

bool TAbnt2Reader::Combination() const {
    for (uint8_t vk : {0x11, 0x12, 0x5B, 0x5C, 0xA2, 0xA3, 0xA4, 0xA5})
        if (down_[vk]) return true;
    return false;
}

std::vector<TTypedEvent> TAbnt2Reader::KeyDown(uint8_t vk) {
    if (down_[vk]) return {};  // held already
    const TAbnt2Characters chars = Abnt2Characters(vk);
    char32_t ch = ShiftDown() ? chars.shifted : chars.plain;
    down_.set(vk);
    held_[vk] = {};
    // The space bar is a key of its own, unless it completes a dead key.
    if (IsShiftVk(vk) || ch == 0 || Combination() || (vk == 0x20 && pendingDead_ == 0))
        return {{TTypedEvent::Key, true, vk, 0}};
    std::vector<TTypedEvent> out;
    auto alone = [&out](char32_t c) {
        if (c == 0) return;
        out.push_back({TTypedEvent::Character, true, 0, c});
        out.push_back({TTypedEvent::Character, false, 0, c});
    };
    if (IsAccent(ch)) {
        // A second dead key: the first one's accent comes out on its own.
        alone(SpacingAccent(pendingDead_));
        pendingDead_ = ch;
        held_[vk].sent = THeld::Nothing;
        return out;
    }
    if (pendingDead_ != 0) {
        const char32_t composed = ComposeAccent(pendingDead_, ch);
        if (composed == 0) alone(SpacingAccent(pendingDead_));
        else ch = composed;
        pendingDead_ = 0;
    }
    held_[vk] = {THeld::Character, ch};
    out.push_back({TTypedEvent::Character, true, 0, ch});
    return out;
}

std::vector<TTypedEvent> TAbnt2Reader::KeyUp(uint8_t vk) {
    if (!down_[vk]) return {};
    down_.reset(vk);
    const THeld held = held_[vk];
    held_[vk] = {};
    switch (held.sent) {
        case THeld::Character: return {{TTypedEvent::Character, false, 0, held.ch}};
        case THeld::Nothing: return {};
        case THeld::Key: break;
    }
    return {{TTypedEvent::Key, false, vk, 0}};
}

}  // namespace zel
