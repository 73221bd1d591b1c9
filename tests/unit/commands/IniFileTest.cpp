// The INI rules that profiles, config.ini and modnum.ini rely on.
#include <gtest/gtest.h>

#include "commands/IniFile.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "tests/support/TempDir.h"

using namespace zel;

TEST(IniDocument, ReadsNamesWithoutCaseAndTrimsValues) {
    TIniDocument ini({"[Geral]", "  NumComandos = 3  ", "texto=  \"  entre aspas  \"  ", "outro='x'", "meio=a\"b\"",
                      "vazio=", "sem sinal"});
    EXPECT_EQ(ini.ReadString("geral", "numcomandos", "?"), "3");
    EXPECT_EQ(ini.ReadString("GERAL", "texto", "?"), "  entre aspas  ");
    EXPECT_EQ(ini.ReadString("geral", "outro", "?"), "x");
    EXPECT_EQ(ini.ReadString("geral", "meio", "?"), "a\"b\"");
    EXPECT_EQ(ini.ReadString("geral", "vazio", "?"), "");
    EXPECT_EQ(ini.ReadString("geral", "falta", "padrao"), "padrao");
    EXPECT_EQ(ini.ReadString("outra", "texto", "padrao"), "padrao");
    EXPECT_FALSE(ini.HasKey("geral", "sem sinal"));
}

TEST(IniDocument, FirstSectionAndFirstKeyWin) {
    TIniDocument ini({"[a]", "k=1", "k=2", "[b]", "k=3", "[A]", "k=4", "j=5"});
    EXPECT_EQ(ini.ReadInteger("a", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("b", "k", 0), 3);
    EXPECT_EQ(ini.ReadInteger("a", "j", 0), 0);
}

TEST(IniDocument, ReadingOnlyKeepsWhatIsReadAndReadsTheSame) {
    const std::string text = "; nota\r\n[a]\r\nk=1\r\n\r\nk=2\n[b]\rk=3\r\n[A]\r\nk=4\r\nj=5\r\n [ c ] \r\n v = x \r\nsem sinal";
    TIniDocument ini = TIniDocument::ForReading(text);
    EXPECT_EQ(ini.ReadInteger("a", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("b", "k", 0), 3);
    EXPECT_EQ(ini.ReadInteger("a", "j", 0), 0);
    EXPECT_EQ(ini.ReadString("C", "V", "?"), "x");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"a", "b", "c"}));
    // Blank lines, comments and repeats are not kept.
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[a]", "k=1", "[b]", "k=3", " [ c ] ", " v = x "}));
    // Only the sections asked for, by their folded names.
    TIniDocument some = TIniDocument::ForReading(text, [](std::string_view name) { return name != "b"; });
    EXPECT_EQ(some.ReadInteger("b", "k", 0), 0);
    EXPECT_EQ(some.ReadInteger("a", "k", 0), 1);
    EXPECT_EQ(some.SectionNames(), (std::vector<std::string>{"a", "c"}));
}

TEST(IniDocument, CutsLongValuesAt2047Characters) {
    TIniDocument ini({"[s]", "v=" + std::string(5000, 'x')});
    EXPECT_EQ(ini.ReadString("s", "v", "").size(), 2047u);
}

TEST(IniDocument, IntegersAreDecimalOrHexElseTheDefault) {
    TIniDocument ini({"[s]", "d=12", "h=0x1F", "dl=$10", "neg=-3", "txt=doze", "half=12abc", "hexbad=0x"});
    EXPECT_EQ(ini.ReadInteger("s", "d", 7), 12);
    EXPECT_EQ(ini.ReadInteger("s", "h", 7), 31);
    EXPECT_EQ(ini.ReadInteger("s", "dl", 7), 16);
    EXPECT_EQ(ini.ReadInteger("s", "neg", 7), -3);
    EXPECT_EQ(ini.ReadInteger("s", "txt", 7), 7);
    EXPECT_EQ(ini.ReadInteger("s", "half", 7), 7);
    EXPECT_EQ(ini.ReadInteger("s", "hexbad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("s", "falta", 7), 7);
    EXPECT_TRUE(ini.ReadBool("s", "d", false));
    EXPECT_FALSE(ini.ReadBool("s", "txt", false));
}

TEST(IniDocument, WritesReplaceInPlaceAndAppendWhereTheyBelong) {
    TIniDocument ini({"; comentario", "[a]", "x=1", "y=2", "", "[b]", "z=3"});
    ini.WriteString("A", "X", "10");
    ini.WriteString("a", "novo", "n");
    ini.WriteString("c", "k", "v");
    ini.WriteInteger("b", "z", -4);
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"; comentario", "[a]", "X=10", "y=2", "novo=n", "", "[b]", "z=-4",
                                                     "[c]", "k=v"}));
    EXPECT_EQ(ini.ReadString("a", "novo", ""), "n");
}

TEST(IniDocument, WrittenValuesNeverBreakTheLine) {
    TIniDocument ini;
    ini.WriteString("s", "v", "um\r\n[cmd0]\ncmd=x");
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[s]", "v=um  [cmd0] cmd=x"}));
}

TEST(IniDocument, SavesWithCrLfAndReportsUnwritableFiles) {
    zeltest::TTempDir dir;
    TIniDocument ini;
    ini.WriteString("geral", "tempotecla", "10");
    ini.Save(dir.File("config.ini"));
    EXPECT_EQ(dir.Read("config.ini"), "[geral]\r\ntempotecla=10\r\n");
    auto reread = TIniDocument::LoadOrEmpty(dir.File("config.ini"));
    EXPECT_EQ(reread.ReadInteger("geral", "tempotecla", 0), 10);
    EXPECT_EQ(TIniDocument::LoadOrEmpty(dir.File("nada.ini")).Lines().size(), 0u);
    std::string bad = dir.File("nao/ha/pasta.ini");
    try {
        ini.Save(bad);
        FAIL();
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + bad);
    }
}

TEST(IniDocument, SmallAndLargeSectionsFindTheFirstKeyAlike) {
    // A section searched line by line and one past the size of its index give
    // the same answers, before and after keys are written into them.
    for (size_t keys : {3u, 30u}) {
        std::vector<std::string> lines{"[s]"};
        for (size_t i = 0; i < keys; ++i) lines.push_back("k" + std::to_string(i) + "=" + std::to_string(i));
        lines.push_back("K1=repetida");
        std::string file;
        for (const auto& l : lines) file += l + "\r\n";
        for (bool reading : {false, true}) {
            SCOPED_TRACE(keys);
            TIniDocument ini = reading ? TIniDocument::ForReading(file) : TIniDocument(lines);
            EXPECT_EQ(ini.ReadString("s", "k1", "?"), "1");
            EXPECT_EQ(ini.ReadInteger("s", "K2", -1), 2);
            EXPECT_FALSE(ini.HasKey("s", "nova"));
            ini.WriteString("s", "nova", "n");
            ini.WriteString("s", "k0", "zero");
            for (size_t i = 0; i < 12; ++i) ini.WriteString("s", "mais" + std::to_string(i), "m");
            EXPECT_EQ(ini.ReadString("s", "nova", "?"), "n");
            EXPECT_EQ(ini.ReadString("s", "k0", "?"), "zero");
            EXPECT_EQ(ini.ReadString("s", "MAIS11", "?"), "m");
            EXPECT_EQ(ini.ReadString("s", "k1", "?"), "1");
        }
    }
}
