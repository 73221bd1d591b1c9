// The activation key end to end: keys held and tapped on the X server reach
// the handler through the hook library, and Ativo, the sound and the indicator
// window on the server follow.
#include "HookTestSupport.h"

#include "actions/Actions.h"
#include "actions/Activation.h"
#include "platform/x11/X11Desktop.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/hook/ActivationKey.h"
#include "recognition/hook/HookLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using zeltest::TKeyReport;
using zeltest::TReceiver;

namespace zel {
namespace {

class ActivationKeyOnX : public ::testing::Test {
protected:
    ActivationKeyOnX()
        : library(zeltest::Library()), desktop(log), timer(log), indicator(library),
          ctx(comandos, desktop, timer, &indicator) {
        ctx.Prefs.TeclaAtivacao = "F12";
        ctx.Prefs.SomAtivacao = "/som/beep.wav";
        ctx.Prefs.MostrarIndicador = true;
        ctx.Ativo = false;
        library.IndicadorEsconder();
        receiver.SetAutoRepeat(150, 40);
        library.OpenKeyHook(receiver.Window());
    }
    ~ActivationKeyOnX() override {
        library.CloseKeyHook();
        library.IndicadorEsconder();
        receiver.SetAutoRepeat(660, 40);
    }

    // Hands each report to the handler, as the window's event filter does.
    void Handle(const std::vector<TKeyReport>& reports) {
        for (const TKeyReport& r : reports) ActivationKeyMessage(ctx, r.key, r.lParam);
    }
    int Indicator() { return zeltest::IndicatorMapState(receiver.Dpy()); }

    THookLibrary& library;
    TReceiver receiver;
    TListaComandos comandos;
    TEventLog log;
    TFakeDesktop desktop;
    TFakeTimer timer;
    THookIndicator indicator;
    TActionContext ctx;
};

TEST_F(ActivationKeyOnX, HoldModeIsActiveWhileTheKeyIsHeld) {
    receiver.Press(zeltest::XK_F12);
    Handle(receiver.Wait(1, 3s));
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(Indicator(), zeltest::kViewable);

    // Held: the auto-repeat reports keep coming and change nothing.
    std::this_thread::sleep_for(450ms);
    const auto repeats = receiver.Drain(50ms);
    EXPECT_GE(repeats.size(), 3u);
    for (const TKeyReport& r : repeats) EXPECT_FALSE(r.released());
    Handle(repeats);
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(Indicator(), zeltest::kViewable);

    receiver.Release(zeltest::XK_F12);
    const auto rest = receiver.Wait(SIZE_MAX, 300ms);
    ASSERT_FALSE(rest.empty());
    EXPECT_TRUE(rest.back().released());
    Handle(rest);
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_EQ(Indicator(), zeltest::kUnmapped);
    // One sound, for the first press only.
    EXPECT_EQ(log.Count(TDesktopEvent::PlaySound), 1u);
}

TEST_F(ActivationKeyOnX, ToggleModeFlipsOnEachTap) {
    ctx.Prefs.AtivaToggle = true;
    receiver.Press(zeltest::XK_F12);
    receiver.Release(zeltest::XK_F12);
    Handle(receiver.Wait(2, 3s));
    EXPECT_TRUE(ctx.Ativo);
    EXPECT_EQ(Indicator(), zeltest::kViewable);
    EXPECT_EQ(log.Count(TDesktopEvent::PlaySound), 2u);  // on the press and again on the release

    receiver.Press(zeltest::XK_F12);
    receiver.Release(zeltest::XK_F12);
    Handle(receiver.Wait(2, 3s));
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_EQ(Indicator(), zeltest::kUnmapped);
    EXPECT_EQ(log.Count(TDesktopEvent::PlaySound), 2u);
}

TEST_F(ActivationKeyOnX, TimerTickHidesTheIndicator) {
    ctx.TempoAtivacao = 5;
    RunActivationCommand(ctx);
    EXPECT_EQ(Indicator(), zeltest::kViewable);
    ActivationTimerTick(ctx);
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_EQ(Indicator(), zeltest::kUnmapped);
}

TEST_F(ActivationKeyOnX, OtherKeysTypedOnTheDisplayAreNotTheActivationKey) {
    ctx.Prefs.AtivaToggle = true;
    receiver.Press(zeltest::XK_a);
    receiver.Release(zeltest::XK_a);
    const auto reports = receiver.Wait(2, 3s);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].key, 0x41u);
    Handle(reports);
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_FALSE(ctx.TeclaPressionada);
    EXPECT_EQ(Indicator(), zeltest::kUnmapped);
    EXPECT_EQ(log.Trace(), "");
}

TEST_F(ActivationKeyOnX, TheProgramsOwnTypingIsNotTheActivationKey) {
    // The program types a sentence through XTest while the hook listens; the
    // watcher sees every one of those keys, and none of them is F12.
    TX11Desktop x11;
    library.CloseKeyHook();
    library.OpenKeyHook(receiver.Window());
    TActionContext typing(comandos, x11, timer, &indicator);
    typing.TempoTecla = 0;
    typing.Prefs = ctx.Prefs;
    typing.Prefs.AtivaToggle = true;
    TypeText(typing, "Ol\xE1, cora\xE7\xE3o! ABC 123");
    x11.ProcessMessages();
    const auto reports = receiver.Drain(300ms);
    EXPECT_GT(reports.size(), 30u);
    for (const TKeyReport& r : reports) ActivationKeyMessage(typing, r.key, r.lParam);
    EXPECT_FALSE(typing.Ativo);
    EXPECT_FALSE(typing.TeclaPressionada);
    EXPECT_EQ(Indicator(), zeltest::kUnmapped);
    // The real key still works afterwards.
    receiver.Press(zeltest::XK_F12);
    receiver.Release(zeltest::XK_F12);
    for (const TKeyReport& r : receiver.Wait(2, 3s)) ActivationKeyMessage(typing, r.key, r.lParam);
    EXPECT_TRUE(typing.Ativo);
    EXPECT_EQ(Indicator(), zeltest::kViewable);
}

}  // namespace
}  // namespace zel
