// The core's ABNT2 key sequences read back as what they type: what the
// Windows desktop sends as Unicode characters, and what stays a key.
#include "platform/Abnt2Typing.h"

#include <gtest/gtest.h>

#include <string>

#include "actions/Actions.h"
#include "platform/fake/FakeDesktop.h"

namespace zel {
namespace {

// Every key event the core sends for a text, through the reader: the
// characters pressed, in order ("+ã" for a press, "-ã" for a release), and
// the keys by code ("+0x11").
std::string Read(const std::vector<TDesktopEvent>& events) {
    TAbnt2Reader reader;
    std::u32string out;
    std::string keys;
    std::string trace;
    for (const TDesktopEvent& e : events) {
        if (e.Kind != TDesktopEvent::KeyDown && e.Kind != TDesktopEvent::KeyUp) continue;
        const auto vk = static_cast<uint8_t>(e.Value);
        for (const TTypedEvent& t : e.Kind == TDesktopEvent::KeyDown ? reader.KeyDown(vk) : reader.KeyUp(vk)) {
            trace += t.Down ? '+' : '-';
            if (t.Kind == TTypedEvent::Key) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X", t.Vk);
                trace += hex;
            } else {
                // Latin-1 is all the core types: one byte of UTF-8 or two.
                if (t.Char < 0x80) {
                    trace += static_cast<char>(t.Char);
                } else {
                    trace += static_cast<char>(0xC0 | (t.Char >> 6));
                    trace += static_cast<char>(0x80 | (t.Char & 0x3F));
                }
            }
            trace += ' ';
        }
    }
    if (!trace.empty()) trace.pop_back();
    return trace;
}

class Abnt2TypingTest : public ::testing::Test {
protected:
    std::string Typed(std::string_view cp1252) {
        log.Clear();
        TypeText(ctx, cp1252);
        return Read(log.Events());
    }
    TEventLog log;
    TFakeDesktop desktop{log};
    TFakeTimer timer{log};
    TListaComandos comandos;
    TActionContext ctx{comandos, desktop, timer, nullptr};
};

TEST_F(Abnt2TypingTest, AccentedLettersComeOutAsTheCharactersTheyAre) {
    // "ação é Ç": the dead tilde with a, the Ç key with Shift, the acute with
    // e. Keys pressed together are let go in the order they were pressed.
    EXPECT_EQ(Typed("a\xE7\xE3o \xE9 \xC7"),
              "+a -a +ç -ç +ã -ã +o -o +0x20 -0x20 +é -é +0x20 -0x20 +0x10 +Ç -0x10 -Ç");
    // Capitals and the other accents: Shift goes as a key (also the Shift of
    // a dead key, which sends nothing of its own), the letter as itself.
    EXPECT_EQ(Typed("\xC2\xE0\xFC"), "+0x10 -0x10 +0x10 +Â -0x10 -Â +0x10 -0x10 +à -à +0x10 -0x10 +ü -ü");
    EXPECT_EQ(Typed("@!\"?/;:|\\"), "+0x10 +@ -0x10 -@ +0x10 +! -0x10 -! +0x10 +\" -0x10 -\" +0x10 +? -0x10 -? "
                                    "+/ -/ +; -; +0x10 +: -0x10 -: +0x10 +| -0x10 -| +\\ -\\");
}

TEST(Abnt2Reader, ADeadKeyThatComposesNothingComesOutOnItsOwn) {
    TAbnt2Reader r;
    // The acute dead key, then b: ´ and b.
    EXPECT_TRUE(r.KeyDown(0xDB).empty());
    EXPECT_TRUE(r.KeyUp(0xDB).empty());
    const std::vector<TTypedEvent> b = r.KeyDown('B');
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].Char, U'\u00B4');
    EXPECT_EQ(b[1].Down, false);
    EXPECT_EQ(b[2].Char, U'b');
    // The tilde dead key and the space bar: the tilde itself, not a blank.
    r.KeyUp('B');
    r.KeyDown(0xDE);
    r.KeyUp(0xDE);
    const std::vector<TTypedEvent> space = r.KeyDown(0x20);
    ASSERT_EQ(space.size(), 1u);
    EXPECT_EQ(space[0].Kind, TTypedEvent::Character);
    EXPECT_EQ(space[0].Char, U'~');
    EXPECT_EQ(r.KeyUp(0x20), (std::vector<TTypedEvent>{{TTypedEvent::Character, false, 0, U'~'}}));
    // Two dead keys: the first comes out, the second waits.
    r.KeyDown(0xDB);
    r.KeyUp(0xDB);
    const std::vector<TTypedEvent> second = r.KeyDown(0xDE);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].Char, U'\u00B4');
    r.KeyUp(0xDE);
    EXPECT_EQ(r.KeyDown('O')[0].Char, U'\u00F5');
}

TEST(Abnt2Reader, CombinationsAndKeysWithoutACharacterGoAsKeys) {
    TAbnt2Reader r;
    // Ctrl+C: the key of c, whatever the layout puts there.
    EXPECT_EQ(r.KeyDown(0x11), (std::vector<TTypedEvent>{{TTypedEvent::Key, true, 0x11, 0}}));
    EXPECT_EQ(r.KeyDown('C'), (std::vector<TTypedEvent>{{TTypedEvent::Key, true, 'C', 0}}));
    // A dead key in a combination is just a key.
    EXPECT_EQ(r.KeyDown(0xDB), (std::vector<TTypedEvent>{{TTypedEvent::Key, true, 0xDB, 0}}));
    EXPECT_EQ(r.KeyUp(0xDB), (std::vector<TTypedEvent>{{TTypedEvent::Key, false, 0xDB, 0}}));
    EXPECT_EQ(r.KeyUp('C'), (std::vector<TTypedEvent>{{TTypedEvent::Key, false, 'C', 0}}));
    EXPECT_EQ(r.KeyUp(0x11), (std::vector<TTypedEvent>{{TTypedEvent::Key, false, 0x11, 0}}));
    // Arrows, Enter, F5, the keypad: keys.
    for (uint8_t vk : {0x25, 0x0D, 0x74, 0x61}) {
        EXPECT_EQ(r.KeyDown(vk), (std::vector<TTypedEvent>{{TTypedEvent::Key, true, vk, 0}})) << int(vk);
        EXPECT_EQ(r.KeyUp(vk), (std::vector<TTypedEvent>{{TTypedEvent::Key, false, vk, 0}})) << int(vk);
    }
    // A key pressed twice before its release sends one press; a release of
    // a key not down sends nothing.
    EXPECT_EQ(r.KeyDown('A').size(), 1u);
    EXPECT_TRUE(r.KeyDown('A').empty());
    EXPECT_EQ(r.KeyUp('A').size(), 1u);
    EXPECT_TRUE(r.KeyUp('A').empty());
}

}  // namespace
}  // namespace zel
