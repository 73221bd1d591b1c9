// The hook library in a program that has no X display at all (DISPLAY
// empty): every export returns at once and does nothing, and the client
// still creates and removes its shared memory. And a display that goes away
// while the hook runs: the program goes on.
#include "HookTestSupport.h"
#include "XvfbServer.h"
#include "recognition/hook/HookLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

// Last: its macros clash with the test framework's names.
#include <X11/Xlib.h>

TEST(HookLibraryWithoutDisplay, EveryCallReturnsAtOnceAndNothingIsLeft) {
    unsetenv("DISPLAY");
    const auto start = std::chrono::steady_clock::now();
    zel::THookLibrary library;
    library.LoadHookLibrary(std::string(ZEL_PROGRAM_FOLDER) + "/");
    ASSERT_TRUE(library.Loaded());
    library.OpenKeyHook(0x00400001u);
    EXPECT_TRUE(std::filesystem::exists("/dev/shm" + zel::THookLibrary::ShmName()));
    library.HookOn();  // a second call: still nothing
    library.IndicadorMostrar();
    library.IndicadorEsconder();
    library.CloseKeyHook();
    library.HookOff();
    EXPECT_FALSE(std::filesystem::exists("/dev/shm" + zel::THookLibrary::ShmName()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(HookLibraryWithoutDisplay, ServerThatEndsWhileTheHookRunsDoesNotEndTheProgram) {
    // The program's desktop installs an I/O error handler that returns;
    // Xlib's own would end this test from the watcher's thread whenever the
    // watcher reads the dead connection before it sees the hang-up.
    XSetIOErrorHandler([](Display*) { return 0; });
    zel::THookLibrary library;
    library.LoadHookLibrary(std::string(ZEL_PROGRAM_FOLDER) + "/");
    {
        zeltest::TXvfbServer server;
        zeltest::TReceiver receiver;
        library.OpenKeyHook(receiver.Window());
        library.IndicadorMostrar();
        receiver.Press(zeltest::XK_F12);
        receiver.Release(zeltest::XK_F12);
        ASSERT_EQ(receiver.Wait(2, std::chrono::seconds(3)).size(), 2u);
        server.Stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto start = std::chrono::steady_clock::now();
        library.CloseKeyHook();
        library.IndicadorEsconder();
        library.IndicadorMostrar();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_FALSE(std::filesystem::exists("/dev/shm" + zel::THookLibrary::ShmName()));
        // The test's own connection dies with the server: leave it behind.
        (void)receiver.Abandon();
    }
    unsetenv("DISPLAY");
}
