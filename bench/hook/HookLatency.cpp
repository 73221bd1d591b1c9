// How fast the hook library answers, on a private Xvfb: the time from a key
// event on the server to its report at the window, the time HookOn and
// HookOff take, and the indicator's show and hide (each a server round trip).
#include "recognition/hook/HookLibrary.h"
#include "tests/integration/hook/HookTestSupport.h"
#include "tests/integration/hook/XvfbServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double Micro(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

void Print(const char* what, std::vector<double> us) {
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[static_cast<size_t>(q * static_cast<double>(us.size() - 1))]; };
    std::printf("%-28s n=%-5zu median %8.1f us   p95 %8.1f us   max %8.1f us\n", what, us.size(), at(0.5), at(0.95),
                us.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 500;
    zeltest::TXvfbServer server;
    zel::THookLibrary& library = zeltest::Library();
    zeltest::TReceiver receiver;

    std::vector<double> onOff, latency, show, hide;
    for (int i = 0; i < 50; ++i) {
        const auto t0 = Clock::now();
        library.OpenKeyHook(receiver.Window());
        library.CloseKeyHook();
        onOff.push_back(Micro(Clock::now() - t0));
    }

    library.OpenKeyHook(receiver.Window());
    int lost = 0;
    for (int i = 0; i < rounds; ++i) {
        for (const bool press : {true, false}) {
            const auto t0 = Clock::now();
            if (press)
                receiver.Press(zeltest::XK_F12);
            else
                receiver.Release(zeltest::XK_F12);
            if (receiver.Wait(1, 2s).size() == 1)
                latency.push_back(Micro(Clock::now() - t0));
            else
                ++lost;
        }
    }
    library.CloseKeyHook();

    for (int i = 0; i < 200; ++i) {
        auto t0 = Clock::now();
        library.IndicadorMostrar();
        show.push_back(Micro(Clock::now() - t0));
        t0 = Clock::now();
        library.IndicadorEsconder();
        hide.push_back(Micro(Clock::now() - t0));
    }

    Print("HookOn + HookOff (with shm)", onOff);
    Print("key event -> report", latency);
    Print("frmIndicadorMostrar", show);
    Print("frmIndicadorEsconder", hide);
    std::printf("reports lost: %d of %d\n", lost, 2 * rounds);
    return lost == 0 ? 0 : 1;
}
