// Sentences as the recognizer delivers them, and what the desktop receives.
#include "tests/unit/actions/ActionsFixture.h"

#include "actions/Activation.h"
#include "actions/Interpretation.h"
#include "commands/ZelError.h"

using namespace zel;
using zeltest::ActionsTest;

namespace {
const std::string kDown = "+28 w10 -28";
const std::string kLeft = "+25 w10 -25";
const std::string kEnter = "+0D w10 -0D";
std::string Times(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += (out.empty() ? "" : " ") + s;
    return out;
}
}  // namespace

class SentenceTest : public ActionsTest {
protected:
    void SetUp() override {
        Modifier("dois", "2");
        Modifier("tr\xEAs", "3");
        Command("baixo", tcTecla, "DOWN");
        Command("esquerda", tcTecla, "LEFT");
        ctx.Ativo = true;
    }
};

TEST_F(SentenceTest, ModifierRepeatsEveryFollowingCommand) {
    HandleSentence(ctx, "tr\xEAs baixo esquerda");
    EXPECT_EQ(Keys(), Times(kDown, 3) + " " + Times(kLeft, 3));
}

TEST_F(SentenceTest, ModifierInTheMiddle) {
    HandleSentence(ctx, "baixo dois esquerda");
    EXPECT_EQ(Keys(), kDown + " " + Times(kLeft, 2));
}

TEST_F(SentenceTest, ModifierAtTheEndDoesNothing) {
    HandleSentence(ctx, "baixo tr\xEAs");
    EXPECT_EQ(Keys(), kDown);
}

TEST_F(SentenceTest, ZeroModifierMatchesWithoutRunningOrTyping) {
    Modifier("zero", "0");
    HandleSentence(ctx, "zero baixo");
    EXPECT_EQ(Keys(), "");  // no typing, no Enter: the last word was a command
}

TEST_F(SentenceTest, NegativeModifierIsAnOrdinaryWord) {
    Modifier("menos", "-1");
    ctx.Prefs.ModoAdv = false;
    HandleSentence(ctx, "menos baixo");
    EXPECT_EQ(Keys(),
              "+4D w10 -4D +45 w10 -45 +4E w10 -4E +4F w10 -4F +53 w10 -53 +20 w10 -20 " + kDown);
}

TEST_F(SentenceTest, SingleCommandModeTakesTheWholeSentence) {
    ctx.Prefs.MultiCmd = false;
    ctx.Prefs.ModoAdv = false;
    HandleSentence(ctx, "tr\xEAs baixo");
    // No command "três baixo": the whole sentence typed once, with a blank.
    EXPECT_EQ(Keys(),
              "+54 w10 -54 +52 w10 -52 +10 +DE w10 -10 -DE +45 w10 -45 +53 w10 -53 +20 w10 -20 "
              "+42 w10 -42 +41 w10 -41 +49 w10 -49 +58 w10 -58 +4F w10 -4F +20 w10 -20");
    log.Clear();
    Command("tr\xEAs baixo", tcTecla, "PRIOR");
    HandleSentence(ctx, "TR\xCAS BAIXO");
    EXPECT_EQ(Keys(), "+21 w10 -21");
}

TEST_F(SentenceTest, EmptySentence) {
    HandleSentence(ctx, "");
    EXPECT_EQ(All(), "");
    ctx.Prefs.MultiCmd = false;
    HandleSentence(ctx, "");
    EXPECT_EQ(Keys(), "+20 w10 -20 " + kEnter);  // a blank, then Enter in adventure mode
    log.Clear();
    Command("", tcTecla, "HOME");
    HandleSentence(ctx, "");
    EXPECT_EQ(Keys(), "+24 w10 -24");
}

TEST_F(SentenceTest, InactiveCommandStillRestartsTheTimer) {
    ctx.Ativo = false;
    timer.SetEnabled(true);
    log.Clear();
    HandleSentence(ctx, "baixo");
    EXPECT_EQ(All(), "timer:off pump timer:on");
}

TEST_F(SentenceTest, ActivationThenCommandsInOneSentence) {
    ctx.Ativo = false;
    Command("ativar", tcAtivacao, "");
    HandleSentence(ctx, "baixo ativar baixo");
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(All(), "timer:off interval:5000 timer:on sound() show timer:off pump timer:on " + kDown +
                         " timer:off pump timer:on");
}

TEST_F(SentenceTest, RepeatCountAppliesToTheActivationCommand) {
    ctx.Prefs.AtivaToggle = true;
    Command("ativar", tcAtivacao, "");
    HandleSentence(ctx, "dois ativar");
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(log.Count(TDesktopEvent::PlaySound), 2u);
}

TEST_F(SentenceTest, AdventureModeSendsEnterAfterTypedText) {
    HandleSentence(ctx, "abrir porta");
    EXPECT_EQ(Keys(),
              "+41 w10 -41 +42 w10 -42 +52 w10 -52 +49 w10 -49 +52 w10 -52 +20 w10 -20 "
              "+50 w10 -50 +4F w10 -4F +52 w10 -52 +54 w10 -54 +41 w10 -41 +20 w10 -20 " + kEnter);
    log.Clear();
    HandleSentence(ctx, "abrir baixo");
    EXPECT_EQ(Keys(), "+41 w10 -41 +42 w10 -42 +52 w10 -52 +49 w10 -49 +52 w10 -52 +20 w10 -20 " + kDown);
    log.Clear();
    ctx.Ativo = false;
    HandleSentence(ctx, "abrir porta");
    EXPECT_EQ(All(), "");
}

TEST_F(SentenceTest, PhrasesIgnoreCaseButNotAccents) {
    Command("abrir", tcTecla, "END");
    Command("\xE1gua", tcTecla, "INSERT");  // água
    ctx.Prefs.ModoAdv = false;
    HandleSentence(ctx, "ABRIR \xC1gua");
    EXPECT_EQ(Keys(), "+23 w10 -23 +2D w10 -2D");
    log.Clear();
    HandleSentence(ctx, "agua");
    EXPECT_EQ(Keys(), "+41 w10 -41 +47 w10 -47 +55 w10 -55 +41 w10 -41 +20 w10 -20");
}

TEST_F(SentenceTest, OnlyTheFirstOfEqualPhrasesRuns) {
    Command("baixo", tcTecla, "UP");
    HandleSentence(ctx, "dois baixo");
    EXPECT_EQ(Keys(), Times(kDown, 2));
}

TEST_F(SentenceTest, UnknownCommandTypeIsFoundButDoesNothing) {
    Command("estranho", 7, "CTRL");
    HandleSentence(ctx, "estranho");
    EXPECT_EQ(All(), "");
}

TEST_F(SentenceTest, LaunchAndTypingCommandsRunOnlyWhileActive) {
    Command("editor", tcExecucao, "/usr/bin/editor arquivo.txt");
    Command("ok", tcDigitacao, "01ok");
    HandleSentence(ctx, "editor ok");
    EXPECT_EQ(log.Trace(TDesktopEvent::ShellOpen), "open(/usr/bin/editor| arquivo.txt|/usr/bin/)");
    EXPECT_EQ(Keys(), "+4F w10 -4F +4B w10 -4B " + kEnter);
    log.Clear();
    ctx.Ativo = false;
    HandleSentence(ctx, "editor ok");
    EXPECT_EQ(All(), "");
}

TEST_F(SentenceTest, InvalidModifierEndsOnlyThatSentence) {
    Modifier("muitos", "x9");
    try {
        HandleSentence(ctx, "baixo muitos esquerda");
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_STREQ(e.what(), "'x9' is not a valid integer value");
    }
    EXPECT_EQ(Keys(), kDown);  // done before the error stays done; the rest is dropped
    log.Clear();
    HandleSentence(ctx, "esquerda");
    EXPECT_EQ(Keys(), kLeft);
}

TEST_F(SentenceTest, ModifiersOffMeansEveryWordIsAWord) {
    ctx.Prefs.ModNum = false;
    ctx.Prefs.ModoAdv = false;
    HandleSentence(ctx, "dois baixo");
    EXPECT_EQ(Keys(), "+44 w10 -44 +4F w10 -4F +49 w10 -49 +53 w10 -53 +20 w10 -20 " + kDown);
}

TEST_F(SentenceTest, ATimerTickWhileTypingStopsTheRestOfTheSentence) {
    ctx.Prefs.ModoAdv = false;
    bool ticked = false;
    desktop.OnProcessMessages = [&] {
        if (!ticked) {
            ticked = true;
            ActivationTimerTick(ctx);
        }
    };
    HandleSentence(ctx, "a b baixo");
    // "a" finished its character, then the tick cleared Ativo: "b" is not
    // typed and "baixo" does not run.
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_EQ(Keys(), "+41 w10 -41 +20 w10 -20");
}

TEST_F(SentenceTest, EmptyCommandListTypesEverything) {
    comandos.Clear();
    ctx.Prefs.ModoAdv = false;
    EXPECT_EQ(ExecuteCommandWord(ctx, "baixo", 1), mrTyped);
    ctx.Ativo = false;
    EXPECT_EQ(ExecuteCommandWord(ctx, "baixo", 1), mrIgnored);
}

namespace {
std::string Kinds(const TActionRecords& done) {
    std::string out;
    for (const TActionRecord& r : done)
        out += (out.empty() ? "" : " ") + std::string(r.Kind == TActionKind::Typed ? "T:" : r.Kind == TActionKind::Command ? "C:" : "I:") + r.Word;
    return out;
}
}  // namespace

// In a dictated sentence (a word that is no command and no number word) the
// words are typed as said: a number word is no count, a command word inside
// the text is a word of it. A command at the end, said in the same breath
// after the text, acts; so does the activation command anywhere.
TEST_F(SentenceTest, InDictatedTextNumberAndCommandWordsAreTyped) {
    ctx.Prefs.ModoAdv = false;
    EXPECT_EQ(Kinds(HandleSentence(ctx, "arrume dois cachorro")), "T:arrume T:dois T:cachorro");
    EXPECT_EQ(Kinds(HandleSentence(ctx, "vire baixo agora")), "T:vire T:baixo T:agora");
    EXPECT_EQ(Keys().find(kDown), std::string::npos) << Keys();
    log.Clear();
    EXPECT_EQ(Kinds(HandleSentence(ctx, "vire agora baixo")), "T:vire T:agora C:baixo");
    EXPECT_NE(Keys().find(kDown), std::string::npos) << Keys();
    // Commands and number words alone keep their rule: three times down.
    log.Clear();
    HandleSentence(ctx, "tr\xEAs baixo");
    EXPECT_EQ(Keys(), Times(kDown, 3));
    Command("computador", tcAtivacao, "");
    ctx.Ativo = false;
    ctx.Prefs.AtivaToggle = true;
    EXPECT_EQ(Kinds(HandleSentence(ctx, "computador bom dia")), "C:computador T:bom T:dia");
    EXPECT_TRUE(ctx.Ativo);
}
