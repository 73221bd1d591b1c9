// The activation command, the timer's tick and the starting value of a run.
#include "tests/unit/actions/ActionsFixture.h"

#include "actions/Activation.h"
#include "actions/Interpretation.h"

using namespace zel;
using zeltest::ActionsTest;

TEST_F(ActionsTest, HoldModeActivationSetsAndRestartsTheTimer) {
    ctx.TempoAtivacao = 5;
    ctx.Prefs.SomAtivacao = "/som/beep.wav";
    RunActivationCommand(ctx);
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(All(), "timer:off interval:5000 timer:on sound(/som/beep.wav) show");
    log.Clear();
    RunActivationCommand(ctx);  // already set: set again, countdown over again
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(All(), "timer:off interval:5000 timer:on sound(/som/beep.wav) show");
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 5000);
}

TEST_F(ActionsTest, ToggleModeTwiceLeavesTheStateAndTheTimer) {
    ctx.Prefs.AtivaToggle = true;
    ctx.Prefs.SomAtivacao = "b.wav";
    RunActivationCommand(ctx);
    EXPECT_TRUE(ctx.Ativo);
    RunActivationCommand(ctx);
    EXPECT_FALSE(ctx.Ativo);
    // Shown when set; untouched when cleared; the sound both times.
    EXPECT_EQ(All(), "sound(b.wav) show sound(b.wav)");
    EXPECT_FALSE(timer.Enabled());
}

TEST_F(ActionsTest, ActivationPlaysEvenAnEmptySoundAndHonoursTheIndicatorBox) {
    ctx.Prefs.MostrarIndicador = false;
    RunActivationCommand(ctx);
    EXPECT_EQ(log.Trace(TDesktopEvent::PlaySound | TDesktopEvent::IndicatorShow | TDesktopEvent::IndicatorHide),
              "sound()");
}

TEST_F(ActionsTest, WithoutTheHookLibraryTheIndicatorIsSkipped) {
    TActionContext bare(comandos, desktop, timer, nullptr);
    RunActivationCommand(bare);
    ActivationTimerTick(bare);
    ActivationSwitchOff(bare);
    EXPECT_EQ(All(), "timer:off interval:5000 timer:on sound() timer:off");
}

TEST_F(ActionsTest, HugeActivationTimeIsTheLongestInterval) {
    ctx.TempoAtivacao = 3000000;
    RunActivationCommand(ctx);
    EXPECT_EQ(timer.Interval(), 2147483647);
}

TEST_F(ActionsTest, ActivationTimeOfZeroOrLessStaysActiveUntilTheNextActivationCommand) {
    for (int32_t tempo : {0, -4}) {
        ctx.TempoAtivacao = tempo;
        ctx.Ativo = false;
        log.Clear();
        RunActivationCommand(ctx);
        EXPECT_TRUE(ctx.Ativo);
        EXPECT_FALSE(timer.Enabled());  // nothing counts down
        EXPECT_TRUE(indicator.Visible());
        RunActivationCommand(ctx);
        EXPECT_FALSE(ctx.Ativo);
        EXPECT_FALSE(indicator.Visible());
        EXPECT_EQ(All(), "timer:off sound() show timer:off hide sound()");
    }
}

TEST_F(ActionsTest, TimerTickClearsStopsAndHides) {
    RunActivationCommand(ctx);
    log.Clear();
    ActivationTimerTick(ctx);
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(indicator.Visible());
    EXPECT_EQ(All(), "timer:off hide");
}

TEST_F(ActionsTest, RestartOnlyARunningTimer) {
    RestartActivationTimer(ctx);
    EXPECT_EQ(All(), "");
    timer.SetEnabled(true);
    log.Clear();
    RestartActivationTimer(ctx);
    EXPECT_EQ(All(), "timer:off pump timer:on");
}

TEST_F(ActionsTest, StartingValueOfARun) {
    Command("abrir", tcExecucao, "gedit");
    EXPECT_TRUE(StartingAtivo(ctx));
    ctx.Prefs.TeclaAtivacao = " \t";
    EXPECT_TRUE(StartingAtivo(ctx));
    ctx.Prefs.TeclaAtivacao = "F5";
    EXPECT_FALSE(StartingAtivo(ctx));
    ctx.Prefs.TeclaAtivacao = "";
    Command("ativar", tcAtivacao, "");
    EXPECT_FALSE(StartingAtivo(ctx));
}

TEST_F(ActionsTest, SwitchOnStopsTheTimerAndSetsTheStartingValue) {
    RunActivationCommand(ctx);
    Command("ativar", tcAtivacao, "");
    indicator.Show();
    log.Clear();
    ActivationSwitchOn(ctx);
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(All(), "timer:off");  // indicator untouched, no sound
    ActivationSwitchOff(ctx);
    EXPECT_EQ(All(), "timer:off hide");
}

// A long dictated sentence begun while commands were active is typed whole,
// though the activation time runs out while it is spoken; the activation
// ends once the sentence is done.
TEST_F(ActionsTest, ASentenceBegunActiveIsHandledActiveAndTheActivationEndsAfterIt) {
    ctx.Prefs.ModoAdv = false;
    ctx.TempoAtivacao = 5;
    RunActivationCommand(ctx);
    UtteranceBegan(ctx);
    ActivationTimerTick(ctx);  // the five seconds end mid-sentence
    EXPECT_TRUE(ctx.Ativo);
    log.Clear();
    HandleSentence(ctx, "ok");
    EXPECT_EQ(Keys(), "+4F w10 -4F +4B w10 -4B +20 w10 -20");
    EXPECT_TRUE(UtteranceDone(ctx));
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_NE(All().find("hide"), std::string::npos) << All();
    // The next sentence began inactive: nothing is typed.
    log.Clear();
    UtteranceBegan(ctx);
    HandleSentence(ctx, "ok");
    EXPECT_FALSE(UtteranceDone(ctx));
    EXPECT_EQ(Keys(), "");
}

// A command in that sentence keeps commands active, as any command does:
// the countdown starts over instead of ending.
TEST_F(ActionsTest, ACommandInTheLateSentenceStartsTheCountdownOver) {
    Command("baixo", tcTecla, "DOWN");
    ctx.TempoAtivacao = 5;
    RunActivationCommand(ctx);
    UtteranceBegan(ctx);
    ActivationTimerTick(ctx);
    log.Clear();
    HandleSentence(ctx, "baixo");
    EXPECT_EQ(Keys(), "+28 w10 -28");
    EXPECT_FALSE(UtteranceDone(ctx));
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_TRUE(timer.Enabled());
    // A sentence begun inactive is not made active by the rule.
    ActivationTimerTick(ctx);
    EXPECT_FALSE(ctx.Ativo);
    UtteranceBegan(ctx);
    ActivationTimerTick(ctx);
    EXPECT_FALSE(UtteranceDone(ctx));
    EXPECT_FALSE(ctx.Ativo);
}
