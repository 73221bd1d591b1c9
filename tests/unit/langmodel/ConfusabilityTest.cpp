#include "langmodel/Confusability.h"

#include <gtest/gtest.h>

#include "langmodel/ParserPortugues.h"

namespace zel {
namespace {

TListaComandos List(std::vector<std::string> phrases) {
    TListaComandos out;
    for (const auto& p : phrases) {
        TComando c;
        c.Cmd = p;
        c.Fonemas = TParserPortugues::TextToPhonemes(p);
        out.Append(c);
    }
    return out;
}

TEST(Confusability, KindredPhonemesCostHalf) {
    EXPECT_EQ(PhoneDistance("P AA R AA R", "P AW Z AA R"), 1.5);  // parar / pausar
    EXPECT_EQ(PhoneDistance("S EH M", "S Y M"), 0.5);              // cem / sim: two vowels
    EXPECT_EQ(PhoneDistance("K OW L AA R", "K OW P Y AA R"), 2.0);  // colar / copiar
    EXPECT_EQ(PhoneDistance("", "AA B"), 2.0);
    EXPECT_TRUE(SoundAlike("P AA R AA R", "P AW Z AA R"));
    EXPECT_FALSE(SoundAlike("K OW L AA R", "K OW P Y AA R"));
}

TEST(Confusability, EditorWarningNamesCommandsAndNumberWords) {
    TListaComandos comandos = List({"parar", "pausar", "copiar", "sim", "", "parar"});
    TListaComandos numeros = List({"cem", "dois", "tr\xEAs"});
    // Nearest first; the phrase itself is left out, a second "parar" is not.
    EXPECT_EQ(SoundAlikeWarning(comandos, 0, numeros), "Parecido com: parar, pausar");
    EXPECT_EQ(SoundAlikeWarning(comandos, 3, numeros), "Parecido com: cem");
    EXPECT_EQ(SoundAlikeWarning(comandos, 2, numeros), "");
    EXPECT_EQ(SoundAlikeWarning(comandos, 4, numeros), "");  // an empty phrase
    EXPECT_EQ(SoundAlikeWarning(comandos, 9, numeros), "");
    std::vector<std::string> pairs;
    for (const auto& p : SoundAlikePairs(comandos, numeros)) pairs.push_back(p.A + "~" + p.B);
    EXPECT_EQ(pairs, (std::vector<std::string>{"parar~parar", "parar~pausar", "pausar~parar", "sim~cem"}));
}

}  // namespace
}  // namespace zel
