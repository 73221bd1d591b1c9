// The hook library and its client under a private X server: keys pressed with
// XTest anywhere on the display arrive as reports at the window named in the
// shared memory, the indicator appears and disappears on the server, and
// nothing is left behind.
#include "HookTestSupport.h"

#include "commands/ZelError.h"
#include "recognition/hook/ActivationMessage.h"
#include "recognition/hook/HookLibrary.h"
#include "platform/x11/Abnt2Keys.h"
#include "platform/x11/X11Desktop.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

// After gtest: Xlib's macros (None, Bool) would break its templates.
#include <X11/Xlib.h>

using namespace std::chrono_literals;
using zeltest::TKeyReport;
using zeltest::TReceiver;
using zeltest::XK_F12;

namespace {

std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const zel::TError& e) {
        return e.what();
    }
    return "";
}

constexpr uint32_t kVkF12 = 0x7B;

// An application's window with the keyboard focus, counting the focus it
// loses to grabs.
class TFocusedWindow {
public:
    TFocusedWindow() : display_(XOpenDisplay(nullptr)) {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 50, 50, 0, 0, 0);
        XSelectInput(display_, window_, FocusChangeMask | StructureNotifyMask);
        XMapWindow(display_, window_);
        for (XEvent e;;) {
            XNextEvent(display_, &e);
            if (e.type == MapNotify) break;
        }
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
        FocusLost();
    }
    ~TFocusedWindow() { XCloseDisplay(display_); }
    // Whether the server repeats the key held down.
    bool Repeats(unsigned long keysym) {
        const unsigned kc = XKeysymToKeycode(display_, keysym);
        XKeyboardState state{};
        XGetKeyboardControl(display_, &state);
        return (state.auto_repeats[kc / 8] & (1 << (kc % 8))) != 0;
    }
    // The focus-outs since the last call.
    int FocusLost() {
        XSync(display_, False);
        int lost = 0;
        while (XPending(display_)) {
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type == FocusOut) ++lost;
        }
        return lost;
    }

private:
    Display* display_;
    Window window_ = 0;
};

}  // namespace

TEST(HookLibrary, ExportsExactlyTheFourEntryPoints) {
    const std::string command = "nm -D --defined-only '" + zeltest::ProgramFolder() + "zeldll.so'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        names.insert(text.substr(text.rfind(' ') + 1));
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(names, (std::set<std::string>{"HookOn", "HookOff", "frmIndicadorMostrar", "frmIndicadorEsconder"}));
}

TEST(HookLibrary, MissingLibraryGivesTheMessageAndSkipsEveryCall) {
    zeltest::TTempDir dir;
    zel::THookLibrary library;
    EXPECT_EQ(ErrorOf([&] { library.LoadHookLibrary(dir.Path().string() + "/"); }),
              "DLL zeldll.dll n\xE3o encontrada");
    EXPECT_FALSE(library.Loaded());
    // The calls are skipped; the shared memory still comes and goes.
    library.HookOn();
    library.IndicadorMostrar();
    library.IndicadorEsconder();
    library.OpenKeyHook(1234);
    EXPECT_TRUE(zeltest::ShmExists());
    library.CloseKeyHook();
    EXPECT_FALSE(zeltest::ShmExists());
}

// Beside the program in a folder whose name Windows-1252 cannot write.
TEST(HookLibrary, IsFoundInAFolderOfAnyName) {
    zeltest::TTempDir dir;
    std::filesystem::create_directory(dir.Path() / "Łódź");
    std::filesystem::copy_file(zeltest::ProgramFolder() + "zeldll.so", dir.Path() / "Łódź/zeldll.so");
    zel::THookLibrary library;
    EXPECT_EQ(ErrorOf([&] { library.LoadHookLibrary(dir.File("Łódź/")); }), "");
    EXPECT_TRUE(library.Loaded());
}

TEST(HookLibrary, BrokenLibraryGivesTheLoadMessage) {
    zeltest::TTempDir dir;
    dir.Write("zeldll.so", "\x7F" "ELF this is not a library");
    zel::THookLibrary library;
    EXPECT_EQ(ErrorOf([&] { library.LoadHookLibrary(dir.Path().string() + "/"); }),
              "DLL zeldll.dll n\xE3o encontrada");
    EXPECT_FALSE(library.Loaded());
}

TEST(HookLibrary, LibraryWithoutAllExportsGivesTheFunctionsMessage) {
    zeltest::TTempDir dir;
    std::filesystem::copy_file(ZEL_INCOMPLETE_LIBRARY, dir.Path() / "zeldll.so");
    zel::THookLibrary library;
    EXPECT_EQ(ErrorOf([&] { library.LoadHookLibrary(dir.Path().string() + "/"); }),
              "Fun\xE7\xF5" "es da DLL n\xE3o encontradas");
    EXPECT_FALSE(library.Loaded());
    library.HookOn();  // skipped: the incomplete library's HookOn would abort
    library.CloseKeyHook();
}

TEST(HookLibrary, SharedMemoryHoldsTheWindowIdAndIsRemovedOnClose) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.OpenKeyHook(receiver.Window(), kVkF12);
    ASSERT_TRUE(zeltest::ShmExists());
    // This user's and this display's own name.
    const std::string display = std::getenv("DISPLAY");
    EXPECT_EQ(zel::THookLibrary::ShmName(), "/ElReceptor-" + std::to_string(getuid()) + "-" + display);
    struct stat st {};
    ASSERT_EQ(stat(("/dev/shm" + zel::THookLibrary::ShmName()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_size, 12);
    const int fd = shm_open(zel::THookLibrary::ShmName().c_str(), O_RDONLY, 0);
    ASSERT_GE(fd, 0);
    uint32_t stored[3] = {};
    ASSERT_EQ(pread(fd, stored, sizeof stored, 0), 12);
    close(fd);
    EXPECT_EQ(stored[0], receiver.Window());
    EXPECT_EQ(stored[1], kVkF12);
    EXPECT_EQ(stored[2], static_cast<uint32_t>(getpid()));
    library.CloseKeyHook();
    EXPECT_FALSE(zeltest::ShmExists());
    EXPECT_FALSE(library.KeyHookOpen());
}

// A name as another process left it: wider open and larger than it should
// be, naming `pid` as its owner.
static void LeaveSharedMemory(pid_t pid) {
    const int stale = shm_open(zel::THookLibrary::ShmName().c_str(), O_CREAT | O_RDWR, 0644);
    ASSERT_GE(stale, 0);
    ASSERT_EQ(fchmod(stale, 0644), 0);
    ASSERT_EQ(ftruncate(stale, 4096), 0);
    const uint32_t words[3] = {0x00400001u, 0, static_cast<uint32_t>(pid)};
    ASSERT_EQ(pwrite(stale, words, sizeof words, 0), 12);
    close(stale);
}

TEST(HookLibrary, LeftoverSharedMemoryOfAnEndedProgramIsReplacedAndRemoved) {
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    waitpid(ended, nullptr, 0);
    LeaveSharedMemory(ended);
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.OpenKeyHook(receiver.Window());
    struct stat st {};
    ASSERT_EQ(stat(("/dev/shm" + zel::THookLibrary::ShmName()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_size, 12);
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    EXPECT_EQ(receiver.Wait(2, 3s).size(), 2u);
    library.CloseKeyHook();
    EXPECT_FALSE(zeltest::ShmExists());
}

TEST(HookLibrary, SharedMemoryOfARunningCopyIsLeftToIt) {
    const pid_t running = fork();
    if (running == 0) {
        pause();
        _exit(0);
    }
    LeaveSharedMemory(running);
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    EXPECT_EQ(ErrorOf([&] { library.OpenKeyHook(receiver.Window()); }),
              "Outra c\xF3pia do programa j\xE1 recebe a tecla de ativa\xE7\xE3o nesta tela");
    EXPECT_FALSE(library.KeyHookOpen());
    EXPECT_TRUE(zeltest::ShmExists());  // still the other copy's
    kill(running, SIGKILL);
    waitpid(running, nullptr, 0);
    shm_unlink(zel::THookLibrary::ShmName().c_str());
}

// The activation key held while the hook is on: every press (auto-repeat
// too) and the release are reported, the focused application receives none
// of them, and what the program types meanwhile reaches it. Once the hook is
// off, the key is the application's again.
TEST(HookLibrary, ActivationKeyHeldDuringTheHookNeverReachesTheApplication) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    receiver.SetAutoRepeat(150, 40);
    FILE* echo = popen("LC_ALL=C.UTF-8 XMODIFIERS= exec '" ZEL_XIM_ECHO "'", "r");
    ASSERT_NE(echo, nullptr);
    char ready[16] = {};
    ASSERT_NE(fgets(ready, sizeof ready, echo), nullptr);
    ASSERT_STREQ(ready, "READY\n");
    library.OpenKeyHook(receiver.Window(), kVkF12);
    receiver.Press(XK_F12);
    std::this_thread::sleep_for(500ms);  // auto-repeat
    {
        // (A key pressed ends the auto-repeat of the one held before.)
        zel::TX11Desktop desktop;
        desktop.KeyDown('A');
        desktop.KeyUp('A');
        desktop.ProcessMessages();
    }
    receiver.Release(XK_F12);
    std::vector<TKeyReport> reports;
    for (const TKeyReport& r : receiver.Wait(SIZE_MAX, 1s)) reports.push_back(r);
    library.CloseKeyHook();
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    receiver.Press(zeltest::XK_Escape);
    receiver.Release(zeltest::XK_Escape);
    std::string received;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, echo)) received.append(buf, n);
    pclose(echo);
    receiver.SetAutoRepeat(660, 40);

    EXPECT_EQ(received, "a<F12>");
    std::erase_if(reports, [](const TKeyReport& r) { return r.key != kVkF12; });
    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(std::count_if(reports.begin(), reports.end(), [](const TKeyReport& r) { return r.released(); }), 1);
    EXPECT_TRUE(reports.back().released());
}

// Each press of the grabbed key takes the focus from the application for a
// moment; a held key must not do so at every repeat (menus close, games
// pause), and its repeats are reported all the same.
TEST(HookLibrary, HoldingTheActivationKeyTakesTheFocusOnlyOnce) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    receiver.SetAutoRepeat(150, 40);
    TFocusedWindow application;
    ASSERT_TRUE(application.Repeats(XK_F12));
    library.OpenKeyHook(receiver.Window(), kVkF12);
    receiver.Press(XK_F12);
    std::this_thread::sleep_for(600ms);
    receiver.Release(XK_F12);
    auto reports = receiver.Wait(SIZE_MAX, 1s);
    const int lost = application.FocusLost();
    library.CloseKeyHook();
    receiver.SetAutoRepeat(660, 40);
    EXPECT_LE(lost, 1);
    // Once the hook is off the server repeats the key again.
    EXPECT_TRUE(application.Repeats(XK_F12));
    std::erase_if(reports, [](const TKeyReport& r) { return r.key != kVkF12; });
    ASSERT_GE(reports.size(), 6u) << "repeats not reported";
    for (size_t i = 1; i + 1 < reports.size(); ++i) {
        EXPECT_FALSE(reports[i].released()) << i;
        EXPECT_NE(reports[i].lParam & zel::kKeyWasDownBit, 0u) << i;
    }
    EXPECT_TRUE(reports.back().released());
}

TEST(HookLibrary, ReportsPressAndReleaseToTheWindowInTheSharedMemory) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.OpenKeyHook(receiver.Window());
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    const auto reports = receiver.Wait(2, 3s);
    library.CloseKeyHook();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].message, zel::kWmActivationKey);
    EXPECT_EQ(reports[0].key, kVkF12);
    EXPECT_FALSE(reports[0].released());
    EXPECT_EQ(reports[1].message, zel::kWmActivationKey);
    EXPECT_EQ(reports[1].key, kVkF12);
    EXPECT_TRUE(reports[1].released());
    const auto decoded = zel::DecodeActivationKey(reports[1].key, reports[1].lParam);
    EXPECT_EQ(decoded.key, kVkF12);
    EXPECT_TRUE(decoded.released);
}

TEST(HookLibrary, BothShiftKeysReportShift) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.OpenKeyHook(receiver.Window());
    for (const unsigned long keysym : {zeltest::XK_Shift_L, zeltest::XK_Shift_R}) {
        receiver.Press(keysym);
        receiver.Release(keysym);
    }
    const auto reports = receiver.Wait(4, 3s);
    library.CloseKeyHook();
    ASSERT_EQ(reports.size(), 4u);
    for (const TKeyReport& r : reports) EXPECT_EQ(r.key, 0x10u);  // SHIFT, as the key names know it
}

TEST(HookLibrary, EveryKeyIsReportedByItsOwnCode) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.OpenKeyHook(receiver.Window());
    const std::array<unsigned, 256> keycodes = receiver.Abnt2Keycodes();
    std::vector<uint32_t> typed;
    for (const zel::TVkKey& key : zel::Abnt2Keys()) {
        if (keycodes[key.vk] == 0) continue;
        receiver.Key(keycodes[key.vk], true);
        receiver.Key(keycodes[key.vk], false);
        // Left and right modifiers come back as SHIFT, CTRL, ALT.
        const uint32_t generic = key.vk >= 0xA0 && key.vk <= 0xA5 ? 0x10u + (key.vk - 0xA0u) / 2 : key.vk;
        typed.push_back(generic);
        typed.push_back(generic | 0x100u);  // the release
    }
    ASSERT_GT(typed.size(), 200u);
    const auto reports = receiver.Wait(typed.size(), 5s);
    library.CloseKeyHook();
    std::vector<uint32_t> reported;
    for (const TKeyReport& r : reports) reported.push_back(r.key | (r.released() ? 0x100u : 0u));
    EXPECT_EQ(reported, typed);
}

TEST(HookLibrary, HeldKeyIsReportedAgainByAutoRepeatAndReleasedOnce) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    receiver.SetAutoRepeat(150, 40);
    library.OpenKeyHook(receiver.Window());
    receiver.Press(XK_F12);
    std::this_thread::sleep_for(500ms);
    receiver.Release(XK_F12);
    auto reports = receiver.Wait(SIZE_MAX, 1s);
    library.CloseKeyHook();
    receiver.SetAutoRepeat(660, 40);
    ASSERT_GE(reports.size(), 4u);
    for (size_t i = 0; i + 1 < reports.size(); ++i) {
        EXPECT_EQ(reports[i].key, kVkF12);
        EXPECT_FALSE(reports[i].released()) << i;
        // Bit 30: the key was already down (every press after the first).
        EXPECT_EQ((reports[i].lParam & zel::kKeyWasDownBit) != 0, i > 0) << i;
    }
    EXPECT_TRUE(reports.back().released());
}

TEST(HookLibrary, HookOffStopsTheReports) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.OpenKeyHook(receiver.Window());
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    ASSERT_EQ(receiver.Wait(2, 3s).size(), 2u);
    library.CloseKeyHook();
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    EXPECT_TRUE(receiver.Drain(400ms).empty());
    EXPECT_FALSE(zeltest::ShmExists());
}

TEST(HookLibrary, SecondHookOnStartsNoSecondWatcher) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.OpenKeyHook(receiver.Window());
    library.HookOn();
    library.OpenKeyHook(receiver.Window());
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    const auto reports = receiver.Drain(600ms);
    library.CloseKeyHook();
    ASSERT_EQ(reports.size(), 2u);  // one press, one release: one watcher
    EXPECT_FALSE(reports[0].released());
    EXPECT_TRUE(reports[1].released());
    // And one HookOff stops it all.
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    EXPECT_TRUE(receiver.Drain(300ms).empty());
}

TEST(HookLibrary, WindowThatIsGoneDoesNotStopTheWatcher) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.OpenKeyHook(0x7FFFFFF0u);  // no such window
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    std::this_thread::sleep_for(200ms);
    library.OpenKeyHook(receiver.Window());  // the id changes in place
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    const auto reports = receiver.Wait(2, 3s);
    library.CloseKeyHook();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].key, kVkF12);
}

TEST(HookLibrary, NoDisplayMeansNoWatcherAndNoHang) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;  // on the real display
    const std::string display = getenv("DISPLAY");
    setenv("DISPLAY", ":4093", 1);  // no server there
    const auto start = std::chrono::steady_clock::now();
    library.OpenKeyHook(receiver.Window());
    setenv("DISPLAY", display.c_str(), 1);
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    EXPECT_TRUE(receiver.Drain(300ms).empty());
    library.CloseKeyHook();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_FALSE(zeltest::ShmExists());
    // With the display back, the hook works again.
    library.OpenKeyHook(receiver.Window());
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    EXPECT_EQ(receiver.Wait(2, 3s).size(), 2u);
    library.CloseKeyHook();
}

TEST(HookLibrary, NoSharedMemoryMeansNoWatcher) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver receiver;
    library.HookOn();  // "ElReceptor" does not exist: nothing to report to
    receiver.Press(XK_F12);
    receiver.Release(XK_F12);
    EXPECT_TRUE(receiver.Drain(300ms).empty());
    library.HookOff();
}

TEST(HookLibrary, IndicatorIsMappedAndUnmappedOnTheServer) {
    zel::THookLibrary& library = zeltest::Library();
    TReceiver observer;
    library.IndicadorMostrar();
    EXPECT_EQ(zeltest::IndicatorMapState(observer.Dpy()), zeltest::kViewable);
    int x = -1, y = -1, w = 0, h = 0;
    bool overrideRedirect = false;
    ASSERT_TRUE(zeltest::IndicatorGeometry(observer.Dpy(), x, y, w, h, overrideRedirect));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    EXPECT_TRUE(overrideRedirect);
    library.IndicadorEsconder();
    EXPECT_EQ(zeltest::IndicatorMapState(observer.Dpy()), zeltest::kUnmapped);
    library.IndicadorMostrar();
    library.IndicadorMostrar();
    EXPECT_EQ(zeltest::IndicatorMapState(observer.Dpy()), zeltest::kViewable);
    library.IndicadorEsconder();
    EXPECT_EQ(zeltest::IndicatorMapState(observer.Dpy()), zeltest::kUnmapped);
}
