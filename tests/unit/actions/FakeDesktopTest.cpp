// The recording desktop itself: what it logs and how it describes it.
#include <gtest/gtest.h>

#include "platform/fake/FakeDesktop.h"

using namespace zel;

TEST(FakeDesktop, RecordsEveryCallInOrder) {
    TEventLog log;
    TFakeDesktop desktop(log);
    TFakeTimer timer(log);
    TFakeIndicator indicator(log);
    int pumps = 0;
    desktop.OnProcessMessages = [&] { ++pumps; };
    desktop.KeyDown(0x11);
    desktop.Sleep(7);
    desktop.KeyUp(0x11);
    EXPECT_TRUE(desktop.ShellOpen("/bin/prog", " a", "/bin/"));
    desktop.ShellOpenResult = false;
    EXPECT_FALSE(desktop.ShellOpen("x", "", ""));
    desktop.PlaySoundAsync("s.wav");
    desktop.ProcessMessages();
    timer.SetInterval(300);
    timer.SetEnabled(true);
    indicator.Show();
    indicator.Hide();
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(log.Trace(),
              "+11 w7 -11 open(/bin/prog| a|/bin/) open(x||) sound(s.wav) pump interval:300 timer:on show hide");
    EXPECT_EQ(log.Trace(TDesktopEvent::kKeys), "+11 w7 -11");
    EXPECT_EQ(log.Count(TDesktopEvent::ShellOpen), 2u);
    EXPECT_EQ(DescribeEvent(log.Events()[0]), "key down 0x11");
    EXPECT_EQ(DescribeEvent(log.Events()[3]), "launch \"/bin/prog\" parameters \" a\" folder \"/bin/\"");
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 300);
    EXPECT_FALSE(indicator.Visible());
}
