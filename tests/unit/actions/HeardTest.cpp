// What the panel, the terminal and the history file say a sentence did:
// the texts come from the interpretation's own records, next to the keys it
// really sent.
#include "tests/unit/actions/ActionsFixture.h"

#include "actions/Heard.h"
#include "actions/Interpretation.h"

using namespace zel;
using zeltest::ActionsTest;

class HeardTest : public ActionsTest {
protected:
    void SetUp() override {
        Modifier("tr\xEAs", "3");
        Command("copiar", tcTecla, "CTRL+C");
        Command("baixo", tcTecla, "DOWN");
        Command("ativar", tcAtivacao, "");
        Command("editor", tcExecucao, "/usr/bin/gedit notas.txt");
        Command("assinar", tcDigitacao, "10Abra\xE7os");
        ctx.Ativo = true;
        ctx.Prefs.ModoAdv = false;
    }
    std::string Said(const std::string& sentence) { return DescribeActions(HandleSentence(ctx, sentence)); }
};

TEST_F(HeardTest, CommandsSayTheirKeysAndRepeats) {
    EXPECT_EQ(Said("copiar"), "CTRL+C");
    EXPECT_EQ(Keys(), "+11 +43 w10 -11 -43");
    log.Clear();
    EXPECT_EQ(Said("tr\xEAs baixo"), "DOWN \xD7" "3");
    EXPECT_EQ(Keys(), "+28 w10 -28 +28 w10 -28 +28 w10 -28");
    EXPECT_EQ(Said("copiar baixo"), "CTRL+C, DOWN");
    EXPECT_EQ(Said("editor"), "executa gedit");
    EXPECT_EQ(Said("assinar"), "digita \"Abra\xE7os\"");
    EXPECT_EQ(Said("tr\xEAs"), "nenhuma a\xE7\xE3o");
}

TEST_F(HeardTest, TypedWordsAreOneTyping) {
    EXPECT_EQ(Said("bom dia"), "digitado");
    // A command word inside dictated text is a word of the text; at its end
    // it is a command said in the same breath.
    EXPECT_EQ(Said("bom copiar dia"), "digitado");
    EXPECT_EQ(Said("bom dia copiar"), "digitado, CTRL+C");
    ctx.Prefs.ModoAdv = true;
    EXPECT_EQ(Said("bom dia"), "digitado, ENTER");
}

TEST_F(HeardTest, InactiveCommandsAndWordsAreIgnored) {
    ctx.Ativo = false;
    EXPECT_EQ(Said("copiar bom dia"), "ignorado: comandos desativados");
    EXPECT_EQ(All(), "");
    // The activation command acts whatever the state, and says the new one.
    ctx.Prefs.AtivaToggle = true;
    EXPECT_EQ(Said("ativar copiar"), "comandos ativados, CTRL+C");
    EXPECT_EQ(Said("ativar copiar"), "comandos desativados, ignorado: comandos desativados");
}

TEST(HeardLineTest, AcceptedRejectedAndHistory) {
    THeardEntry ok{"2026-12-08 18:40:12", "tr\xEAs baixo", 80, true, "DOWN \xD7" "3"};
    EXPECT_EQ(HeardLine(ok), "três baixo → DOWN ×3 (80)");
    EXPECT_EQ(HistoryLine(ok), "2026-12-08 18:40:12\ttrês baixo\t80\taceito\tDOWN ×3");
    THeardEntry no{"2026-12-08 18:40:15", "trinta baixo", 26, false, RejectedOutcome(26)};
    EXPECT_EQ(HeardLine(no), "trinta baixo → rejeitado (26)");
    EXPECT_EQ(HistoryLine(no), "2026-12-08 18:40:15\ttrinta baixo\t26\trejeitado\t");
}

TEST(HeardListTest, NewestFirstAndAtMostFifty) {
    THeardList list;
    for (int i = 0; i < 60; ++i) list.Add(THeardEntry{"", "frase " + std::to_string(i), i, true, "ENTER"});
    ASSERT_EQ(list.Entries().size(), 50u);
    EXPECT_EQ(list.Entries().front().Sentence, "frase 59");
    EXPECT_EQ(list.Entries().back().Sentence, "frase 10");
}
