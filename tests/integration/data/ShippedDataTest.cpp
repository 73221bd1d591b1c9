// What a new user gets in the runtime folder must work as it stands: every
// pronunciation is the one the program's own letter rules give, every key
// name is one the program can press, every number word stands for a number.
#include <gtest/gtest.h>

#include <filesystem>

#include "commands/IniFile.h"
#include "commands/KeyNames.h"
#include "commands/ParseString.h"
#include "commands/Profile.h"
#include "commands/TextUtil.h"
#include "langmodel/ParserPortugues.h"

using namespace zel;

namespace {

std::vector<std::string> ShippedProfiles() {
    std::vector<std::string> files;
    for (auto& e : std::filesystem::directory_iterator(std::string(ZEL_DATA_DIR) + "/profiles"))
        if (e.path().extension() == ".zpr") files.push_back(e.path().string());
    return files;
}

}  // namespace

TEST(ShippedData, ThereAreExampleProfiles) { EXPECT_GE(ShippedProfiles().size(), 3u); }

TEST(ShippedData, ProfilesHaveRulePronunciationsAndPressableKeys) {
    for (const auto& file : ShippedProfiles()) {
        SCOPED_TRACE(file);
        TProfileState p;
        LoadProfile(p, file);
        ASSERT_GT(p.Comandos.Count(), 5);
        for (const auto& c : p.Comandos) {
            SCOPED_TRACE(c.Cmd);
            EXPECT_FALSE(c.Cmd.empty());
            EXPECT_EQ(c.Cmd.find(' '), std::string::npos) << "one word, so it works with several commands a sentence";
            EXPECT_EQ(c.Fonemas, Trim(TParserPortugues::TextToPhonemes(c.Cmd)));
            EXPECT_EQ(p.Comandos.FindPhrase(c.Cmd), &c - &p.Comandos[0]) << "the phrase is taken by an earlier command";
            if (c.Acao == tcTecla) {
                TParsedString keys = ParseString(c.Args, '+');
                ASSERT_GT(keys.Count, 0);
                for (const auto& k : keys.Items) EXPECT_EQ(KeyCodeToName(KeyNameToCode(k)), k) << "not a key name";
            }
            EXPECT_LE(c.Acao, tcDigitacao);
        }
    }
}

TEST(ShippedData, NumberWordsStandForTheirNumbers) {
    TIniDocument ini = TIniDocument::LoadOrEmpty(std::string(ZEL_DATA_DIR) + "/modnum.ini");
    int32_t n = ini.ReadInteger("modnum", "num", 0);
    ASSERT_GE(n, 20);
    std::vector<int32_t> numbers;
    for (int32_t i = 0; i < n; ++i) {
        std::string section = "num" + std::to_string(i);
        std::string word = ini.ReadString(section, "cmd", "");
        SCOPED_TRACE(word);
        EXPECT_EQ(ini.ReadString(section, "fonemas", ""), Trim(TParserPortugues::TextToPhonemes(word)));
        numbers.push_back(StrToInt(ini.ReadString(section, "num", "")));
    }
    EXPECT_EQ(numbers.front(), 1);
    EXPECT_EQ(numbers[19], 20);
    EXPECT_EQ(numbers.back(), 100);
    EXPECT_EQ(ini.ReadString("num2", "cmd", ""), "tr\xEAs");
}
