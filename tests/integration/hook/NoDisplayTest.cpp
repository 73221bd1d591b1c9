// The hook library in a program that has no X display at all (DISPLAY
// empty): every export returns at once and does nothing, and the client
// still creates and removes its shared memory.
#include "recognition/hook/HookLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

TEST(HookLibraryWithoutDisplay, EveryCallReturnsAtOnceAndNothingIsLeft) {
    const char* display = std::getenv("DISPLAY");
    ASSERT_TRUE(display == nullptr || *display == '\0') << "run with DISPLAY empty";
    const auto start = std::chrono::steady_clock::now();
    zel::THookLibrary library;
    library.LoadHookLibrary(std::string(ZEL_PROGRAM_FOLDER) + "/");
    ASSERT_TRUE(library.Loaded());
    library.OpenKeyHook(0x00400001u);
    EXPECT_TRUE(std::filesystem::exists("/dev/shm/ElReceptor"));
    library.HookOn();  // a second call: still nothing
    library.IndicadorMostrar();
    library.IndicadorEsconder();
    library.CloseKeyHook();
    library.HookOff();
    EXPECT_FALSE(std::filesystem::exists("/dev/shm/ElReceptor"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
