// Key names of key commands and of the activation key.
#include <gtest/gtest.h>

#include "commands/KeyNames.h"
#include "commands/ParseString.h"

using namespace zel;

TEST(KeyNames, CodeToName) {
    EXPECT_EQ(KeyCodeToName(0x11), "CTRL");
    EXPECT_EQ(KeyCodeToName(0x41), "A");
    EXPECT_EQ(KeyCodeToName(0x79), "F10");
    EXPECT_EQ(KeyCodeToName(0x70), "F1");
    EXPECT_EQ(KeyCodeToName(0x7B), "F12");
    EXPECT_EQ(KeyCodeToName(0x0D), "ENTER");
    EXPECT_EQ(KeyCodeToName(0x21), "PRIOR");
    EXPECT_EQ(KeyCodeToName(0x22), "NEXT");
    EXPECT_EQ(KeyCodeToName(0x90), "NUMLOCK");
    EXPECT_EQ(KeyCodeToName(0x91), "SCROLL");
    EXPECT_EQ(KeyCodeToName(0x30), "0");
    EXPECT_EQ(KeyCodeToName(0x3A), ":");  // no key, yet a character between 9 and A
    EXPECT_EQ(KeyCodeToName(0x40), "@");
    EXPECT_EQ(KeyCodeToName(0x20), "");   // Space has no name
    EXPECT_EQ(KeyCodeToName(0x09), "");   // nor Tab
    EXPECT_EQ(KeyCodeToName(0x08), "");
    EXPECT_EQ(KeyCodeToName(0x5B), "");   // the Windows key
    EXPECT_EQ(KeyCodeToName(0xDB), "");
    EXPECT_EQ(KeyCodeToName(0x0), "");
    EXPECT_EQ(KeyCodeToName(0x141), "");  // 16-bit codes are not truncated
}

TEST(KeyNames, NameToCode) {
    EXPECT_EQ(KeyNameToCode("CTRL"), 0x11);
    EXPECT_EQ(KeyNameToCode("ctrl"), 0x63);
    EXPECT_EQ(KeyNameToCode("F10"), 0x79);
    EXPECT_EQ(KeyNameToCode("F1"), 0x70);
    EXPECT_EQ(KeyNameToCode("F12"), 0x7B);
    EXPECT_EQ(KeyNameToCode("A"), 0x41);
    EXPECT_EQ(KeyNameToCode("7"), 0x37);
    EXPECT_EQ(KeyNameToCode("TAB"), 0x54);
    EXPECT_EQ(KeyNameToCode("a"), 0x61);
    EXPECT_EQ(KeyNameToCode(" CTRL"), 0x20);  // no trimming
    EXPECT_EQ(KeyNameToCode("\xC7"), 0xC7);    // 8 bits of the first character
}

TEST(KeyNames, EmptyNamePressesNothing) {
    EXPECT_EQ(KeyNameToCode(""), kNoKey);
}

TEST(KeyNames, RoundTrip) {
    for (int code = 0; code < 0x100; ++code) {
        std::string name = KeyCodeToName(static_cast<uint16_t>(code));
        if (name.empty()) continue;
        EXPECT_EQ(KeyNameToCode(name), code) << name;
    }
    int named = 0;
    for (int code = 0; code < 0x100; ++code) named += !KeyCodeToName(static_cast<uint16_t>(code)).empty();
    EXPECT_EQ(named, 30 + (0x5A - 0x30 + 1));
}

TEST(KeyNames, CombinationPieces) {
    TParsedString p = ParseString("CTRL+ALT+DELETE", '+');
    ASSERT_EQ(p.Count, 3);
    EXPECT_EQ(KeyNameToCode(p.Items[0]), 0x11);
    EXPECT_EQ(KeyNameToCode(p.Items[1]), 0x12);
    EXPECT_EQ(KeyNameToCode(p.Items[2]), 0x2E);
}
