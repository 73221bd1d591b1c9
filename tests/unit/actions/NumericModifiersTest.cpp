// The number-word table read from modnum.ini.
#include "tests/unit/actions/ActionsFixture.h"

#include "actions/NumericModifiers.h"
#include "commands/ZelError.h"
#include "tests/support/TempDir.h"

using namespace zel;
using zeltest::ActionsTest;

class ModnumTest : public ActionsTest {
protected:
    zeltest::TTempDir dir;
    std::string Folder() const { return dir.File(""); }
};

TEST_F(ModnumTest, TwoEntries) {
    dir.Write("modnum.ini",
              "[modnum]\r\nnum=2\r\n[num0]\r\ncmd=dois\r\nnum=2\r\nfonemas=D OW IY S\r\n"
              "[num1]\r\ncmd=tr\xEAs\r\nnum=3\r\nfonemas=T R EH IY S\r\n");
    LoadNumericModifiers(ctx, Folder());
    ASSERT_EQ(ctx.Modificadores.Count(), 2);
    EXPECT_EQ(ctx.Modificadores[0].Cmd, "dois");
    EXPECT_EQ(ctx.Modificadores[0].Args, "2");
    EXPECT_EQ(ctx.Modificadores[0].Fonemas, "D OW IY S");
    EXPECT_EQ(ctx.Modificadores[1].Cmd, "tr\xEAs");
    EXPECT_EQ(FindNumericModifier(ctx, "dois"), 2);
    EXPECT_EQ(FindNumericModifier(ctx, "DOIS"), 2);
    EXPECT_EQ(FindNumericModifier(ctx, "TR\xCAS"), 3);
    EXPECT_EQ(FindNumericModifier(ctx, "tres"), -1);
    EXPECT_EQ(FindNumericModifier(ctx, "baixo"), -1);
    ctx.Prefs.ModNum = false;
    EXPECT_EQ(FindNumericModifier(ctx, "dois"), -1);
}

// The same table saved in UTF-8 by a Linux editor.
TEST_F(ModnumTest, AUtf8TableReadsAsTheWindows1252One) {
    dir.Write("modnum.ini", "[modnum]\r\nnum=1\r\n[num0]\r\ncmd=três\r\nnum=3\r\nfonemas=T R EH IY S\r\n");
    LoadNumericModifiers(ctx, Folder());
    ASSERT_EQ(ctx.Modificadores.Count(), 1);
    EXPECT_EQ(ctx.Modificadores[0].Cmd, "tr\xEAs");
    EXPECT_EQ(FindNumericModifier(ctx, "TR\xCAS"), 3);
}

TEST_F(ModnumTest, MissingFileIsAnEmptyTable) {
    Modifier("velho", "1");
    LoadNumericModifiers(ctx, Folder());
    EXPECT_EQ(ctx.Modificadores.Count(), 0);
    EXPECT_EQ(FindNumericModifier(ctx, "velho"), -1);
}

TEST_F(ModnumTest, NegativeCountIsARangeError) {
    dir.Write("modnum.ini", "[modnum]\r\nnum=-1\r\n");
    EXPECT_THROW(
        {
            try {
                LoadNumericModifiers(ctx, Folder());
            } catch (const TError& e) {
                EXPECT_STREQ(e.what(), "Range check error");
                throw;
            }
        },
        TError);
}

TEST_F(ModnumTest, MissingNumberIsZeroAndFirstOfEqualWordsWins) {
    dir.Write("modnum.ini",
              "[MODNUM]\r\nNUM=0x3\r\n[num0]\r\ncmd=nada\r\n[num1]\r\ncmd=par\r\nnum=2\r\n[num2]\r\ncmd=par\r\nnum=4\r\n"
              "[num3]\r\ncmd=fora\r\nnum=9\r\n");
    LoadNumericModifiers(ctx, Folder());
    ASSERT_EQ(ctx.Modificadores.Count(), 3);
    EXPECT_EQ(FindNumericModifier(ctx, "nada"), 0);
    EXPECT_EQ(FindNumericModifier(ctx, "par"), 2);
    EXPECT_EQ(FindNumericModifier(ctx, "fora"), -1);  // beyond the count
}

TEST_F(ModnumTest, BadNumberRaisesOnlyWhenHeard) {
    dir.Write("modnum.ini", "[modnum]\r\nnum=2\r\n[num0]\r\ncmd=dez\r\nnum=dez\r\n[num1]\r\ncmd=um\r\nnum=1\r\n");
    LoadNumericModifiers(ctx, Folder());
    EXPECT_EQ(FindNumericModifier(ctx, "um"), 1);
    EXPECT_THROW(FindNumericModifier(ctx, "dez"), TError);
}

TEST_F(ModnumTest, EntriesWithoutSectionsMatchOnlyAnEmptyPiece) {
    dir.Write("modnum.ini", "[modnum]\r\nnum=3\r\n[num0]\r\ncmd=um\r\nnum=1\r\n");
    LoadNumericModifiers(ctx, Folder());
    ASSERT_EQ(ctx.Modificadores.Count(), 2);  // [num1] and [num2] alike: one stands for both
    EXPECT_EQ(ctx.Modificadores[1].Cmd, "");
    EXPECT_EQ(FindNumericModifier(ctx, ""), 0);
}

TEST_F(ModnumTest, HugeCountsAndSectionNumbersDoNotExhaustTheMemory) {
    // Entries without a section are all alike; one of them stands for all.
    dir.Write("modnum.ini", "[modnum]\r\nnum=2000000000\r\n[num0]\r\ncmd=um\r\nnum=1\r\n[num5]\r\ncmd=seis\r\nnum=6\r\n");
    LoadNumericModifiers(ctx, Folder());
    EXPECT_EQ(ctx.Modificadores.Count(), 3);
    EXPECT_EQ(FindNumericModifier(ctx, "seis"), 6);
    EXPECT_EQ(FindNumericModifier(ctx, "um"), 1);
    EXPECT_EQ(FindNumericModifier(ctx, ""), 0);
    // A ten-digit section number below the count: three lines, three entries.
    dir.Write("modnum.ini", "[modnum]\r\nnum=2147483647\r\n[num2147483646]\r\ncmd=muitos\r\nnum=9\r\n");
    LoadNumericModifiers(ctx, Folder());
    EXPECT_EQ(ctx.Modificadores.Count(), 2);
    EXPECT_EQ(FindNumericModifier(ctx, "muitos"), 9);
    EXPECT_EQ(FindNumericModifier(ctx, ""), 0);
    // A section beyond the count stays out; a section whose number has a
    // leading zero is no entry.
    dir.Write("modnum.ini", "[modnum]\r\nnum=2\r\n[num01]\r\ncmd=zero\r\n[num1]\r\ncmd=um\r\nnum=1\r\n[num2]\r\ncmd=dois\r\n");
    LoadNumericModifiers(ctx, Folder());
    ASSERT_EQ(ctx.Modificadores.Count(), 2);
    EXPECT_EQ(ctx.Modificadores[0].Cmd, "");
    EXPECT_EQ(FindNumericModifier(ctx, "um"), 1);
    EXPECT_EQ(FindNumericModifier(ctx, "dois"), -1);
    EXPECT_EQ(FindNumericModifier(ctx, "zero"), -1);
}
