// The activation key's handler over the recording desktop: what the user
// hears (sound), sees (indicator) and gets (Ativo) for each key report.
#include "recognition/hook/ActivationKey.h"

#include "actions/Activation.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/hook/ActivationMessage.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

constexpr uint32_t kF12 = 0x7B;
constexpr uint32_t kPress = 0x00000001u;
constexpr uint32_t kRepeat = 0x40000001u;
constexpr uint32_t kRelease = 0xC0000001u;

class ActivationKey : public ::testing::Test {
protected:
    ActivationKey() : desktop(log), timer(log), indicator(log), ctx(comandos, desktop, timer, &indicator) {
        ctx.Prefs.TeclaAtivacao = "F12";
        ctx.Prefs.SomAtivacao = "/som/beep.wav";
        ctx.Prefs.MostrarIndicador = true;
        ctx.Ativo = false;
    }
    // What one report did, as tokens ("sound(...)", "show", "hide", timer changes).
    std::string Report(uint32_t key, uint32_t lParam) {
        log.Clear();
        ActivationKeyMessage(ctx, key, lParam);
        return log.Trace();
    }

    TListaComandos comandos;
    TEventLog log;
    TFakeDesktop desktop;
    TFakeTimer timer;
    TFakeIndicator indicator;
    TActionContext ctx;
};

TEST_F(ActivationKey, HoldModeActivatesWhileTheKeyIsHeld) {
    EXPECT_EQ(Report(kF12, kPress), "sound(/som/beep.wav) show");
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_TRUE(ctx.TeclaPressionada);
    // Auto-repeated presses change nothing.
    EXPECT_EQ(Report(kF12, kRepeat), "");
    EXPECT_EQ(Report(kF12, kPress), "");
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(Report(kF12, kRelease), "hide");
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_FALSE(ctx.TeclaPressionada);
    EXPECT_FALSE(indicator.Visible());
}

TEST_F(ActivationKey, ToggleModeFlipsOnEveryPress) {
    ctx.Prefs.AtivaToggle = true;
    EXPECT_EQ(Report(kF12, kPress), "sound(/som/beep.wav) show");
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(Report(kF12, kRepeat), "");
    // The release keeps the state, and plays and shows again.
    EXPECT_EQ(Report(kF12, kRelease), "sound(/som/beep.wav) show");
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(Report(kF12, kPress), "hide");
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_EQ(Report(kF12, kRelease), "hide");
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_FALSE(indicator.Visible());
}

TEST_F(ActivationKey, OtherKeysAreIgnoredCompletely) {
    EXPECT_EQ(Report(0x41, kPress), "");
    EXPECT_FALSE(ctx.TeclaPressionada);
    EXPECT_EQ(Report(kF12, kPress), "sound(/som/beep.wav) show");
    EXPECT_EQ(Report(0x41, kRelease), "");
    EXPECT_TRUE(ctx.TeclaPressionada);
    EXPECT_TRUE(ctx.Ativo);
}

TEST_F(ActivationKey, OnlyTheLowSixteenBitsNameTheKey) {
    EXPECT_EQ(Report(0x5A0000u | kF12, kPress), "sound(/som/beep.wav) show");
    EXPECT_TRUE(ctx.Ativo);
    // Bit 31 alone makes a release, whatever the other bits say.
    EXPECT_EQ(Report(kF12, 0x80000000u), "hide");
    EXPECT_FALSE(ctx.Ativo);
}

TEST_F(ActivationKey, BlankSoundPathPlaysNothing) {
    ctx.Prefs.SomAtivacao = " \t ";
    EXPECT_EQ(Report(kF12, kPress), "show");
    ctx.Prefs.SomAtivacao = "";
    EXPECT_EQ(Report(kF12, kRelease), "hide");
}

TEST_F(ActivationKey, SoundPathIsPlayedAsItStands) {
    ctx.Prefs.SomAtivacao = " /som/beep.wav ";
    EXPECT_EQ(Report(kF12, kPress), "sound( /som/beep.wav ) show");
}

TEST_F(ActivationKey, WithoutIndicatorTheKeyAlwaysHidesIt) {
    ctx.Prefs.MostrarIndicador = false;
    EXPECT_EQ(Report(kF12, kPress), "sound(/som/beep.wav) hide");
    EXPECT_TRUE(ctx.Ativo);
    ctx.Prefs.AtivaToggle = true;
    EXPECT_EQ(Report(kF12, kRelease), "sound(/som/beep.wav) hide");
}

TEST_F(ActivationKey, WithoutIndicatorObjectNothingIsCalled) {
    TActionContext bare(comandos, desktop, timer, nullptr);
    bare.Prefs.TeclaAtivacao = "F12";
    bare.Prefs.SomAtivacao = "b.wav";
    log.Clear();
    ActivationKeyMessage(bare, kF12, kPress);
    EXPECT_EQ(log.Trace(), "sound(b.wav)");
    EXPECT_TRUE(bare.Ativo);
}

TEST_F(ActivationKey, NoActivationKeyMatchesNothing) {
    ctx.Prefs.TeclaAtivacao = "";
    EXPECT_EQ(Report(0, kPress), "");
    EXPECT_EQ(Report(kF12, kPress), "");
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_FALSE(ctx.TeclaPressionada);
}

TEST_F(ActivationKey, KeyNameIsConvertedUntrimmed) {
    // "F12 " is no key name: its first letter's code stands for it.
    ctx.Prefs.TeclaAtivacao = "F12 ";
    EXPECT_EQ(Report(kF12, kPress), "");
    EXPECT_EQ(Report('F', kPress), "sound(/som/beep.wav) show");
    ctx.Prefs.TeclaAtivacao = "SHIFT";
    EXPECT_EQ(Report(0x10, kRelease), "hide");
    EXPECT_FALSE(ctx.Ativo);
}

TEST_F(ActivationKey, TheTimerIsNotTouchedByTheKey) {
    timer.SetEnabled(true);
    EXPECT_EQ(Report(kF12, kPress), "sound(/som/beep.wav) show");
    EXPECT_EQ(Report(kF12, kRelease), "hide");
    EXPECT_TRUE(timer.Enabled());
}

TEST_F(ActivationKey, HoldModeReleaseAfterActivationCommandClearsAndTheTickClearsAgain) {
    ctx.TempoAtivacao = 5;
    RunActivationCommand(ctx);
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_TRUE(timer.Enabled());
    Report(kF12, kPress);
    EXPECT_EQ(Report(kF12, kRelease), "hide");
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_TRUE(timer.Enabled());  // still running
    // Held again when the tick comes: the tick clears Ativo all the same.
    Report(kF12, kPress);
    EXPECT_TRUE(ctx.Ativo);
    log.Clear();
    ActivationTimerTick(ctx);
    EXPECT_EQ(log.Trace(), "timer:off hide");
    EXPECT_FALSE(ctx.Ativo);
    // The held key's repeats do not bring it back; only a new press does.
    EXPECT_EQ(Report(kF12, kRepeat), "");
    EXPECT_FALSE(ctx.Ativo);
}

TEST_F(ActivationKey, DecodingTheMessage) {
    const TActivationKeyMessage press = DecodeActivationKey(0x1234007Bu, 0x7FFFFFFFu);
    EXPECT_EQ(press.key, 0x007Bu);
    EXPECT_FALSE(press.released);
    EXPECT_TRUE(DecodeActivationKey(0x7B, kKeyReleasedBit).released);
    EXPECT_TRUE(IsActivationKeyMessage(0x1400));
    EXPECT_FALSE(IsActivationKeyMessage(0x0400));
}

}  // namespace
}  // namespace zel

// The shared memory's name: one per user and display, the screen left out,
// never a second slash.
TEST(ReceptorShmName, OnePerUserAndDisplay) {
    EXPECT_EQ(zel::ReceptorShmName(1000, ":0"), "/ElReceptor-1000-:0");
    EXPECT_EQ(zel::ReceptorShmName(1000, ":0.1"), "/ElReceptor-1000-:0");
    EXPECT_EQ(zel::ReceptorShmName(1001, ":0"), "/ElReceptor-1001-:0");
    EXPECT_EQ(zel::ReceptorShmName(1000, "host.example:12.0"), "/ElReceptor-1000-host.example:12");
    EXPECT_EQ(zel::ReceptorShmName(1000, "/tmp/launch-x/org.x:0"), "/ElReceptor-1000-_tmp_launch-x_org.x:0");
    EXPECT_EQ(zel::ReceptorShmName(1000, ""), "/ElReceptor-1000");
}
