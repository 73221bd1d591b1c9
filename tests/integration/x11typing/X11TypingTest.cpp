// Typing into a real X client under Xvfb through the X11 desktop, and
// starting a real program without a shell.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "actions/Actions.h"
#include "commands/Comandos.h"
#include "commands/Cp1252.h"
#include "commands/ZelError.h"
#include "platform/x11/Launch.h"
#include "platform/x11/X11Desktop.h"
#include "tests/support/TempDir.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

using namespace zel;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// No activation timer runs in these tests.
struct TIdleTimer : ITimer {
    void SetEnabled(bool) override {}
    bool Enabled() const override { return false; }
    void SetInterval(int32_t) override {}
    int32_t Interval() const override { return 0; }
};

// A child process with its stdout on a pipe.
struct TChild {
    pid_t pid = -1;
    int out = -1;

    static TChild Start(const std::vector<std::string>& argv, const std::vector<std::string>& env, int outFd = 1) {
        int p[2];
        if (pipe2(p, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        TChild c;
        c.pid = fork();
        if (c.pid == 0) {
            dup2(p[1], outFd);
            for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
        close(p[1]);
        c.out = p[0];
        return c;
    }

    // Reads until the text contains `until` (or EOF when empty), or the time is up.
    std::string Read(const std::string& until, std::chrono::seconds limit) {
        std::string text;
        auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            if (!until.empty() && text.find(until) != std::string::npos) break;
            pollfd pfd{out, POLLIN, 0};
            int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
            if (poll(&pfd, 1, ms < 0 ? 0 : ms) <= 0) break;
            char buf[256];
            ssize_t n = read(out, buf, sizeof buf);
            if (n <= 0) break;
            text.append(buf, static_cast<size_t>(n));
        }
        return text;
    }

    void Stop() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
        if (out >= 0) close(out);
        out = -1;
    }
    // Waits for the end; false if it did not end in time.
    bool Wait(std::chrono::seconds limit, int* status) {
        auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            pid_t r = waitpid(pid, status, WNOHANG);
            if (r == pid) {
                pid = -1;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

class X11Typing : public ::testing::Test {
protected:
    static inline TChild xvfb;
    static inline std::string display;

    static void SetUpTestSuite() {
        // -noreset: a layout set by setxkbmap must survive the last client's leaving.
        xvfb = TChild::Start({"Xvfb", "-displayfd", "3", "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset"},
                             {}, 3);
        std::string number = xvfb.Read("\n", std::chrono::seconds(20));
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display = ":" + number.substr(0, number.find('\n'));
    }
    static void TearDownTestSuite() { xvfb.Stop(); }

    // Runs a program on the display to its end and returns its output.
    static std::string Run(std::vector<std::string> argv) {
        TChild child = TChild::Start(argv, {"DISPLAY=" + display});
        std::string out = child.Read("", std::chrono::seconds(20));
        int status = 0;
        EXPECT_TRUE(child.Wait(std::chrono::seconds(10), &status));
        child.Stop();
        return out;
    }

    // The user's layout, as setxkbmap takes it ("us", "us intl").
    static void SetLayout(const std::string& layout, const std::string& variant) {
        std::vector<std::string> argv{"setxkbmap", "-layout", layout};
        if (!variant.empty()) argv.insert(argv.end(), {"-variant", variant});
        Run(argv);
    }

    // Every keycode's keysyms, as clients read them.
    static std::vector<KeySym> Keysyms() {
        Display* d = XOpenDisplay(display.c_str());
        int min = 0, max = 0, per = 0;
        XDisplayKeycodes(d, &min, &max);
        KeySym* syms = XGetKeyboardMapping(d, static_cast<KeyCode>(min), max - min + 1, &per);
        std::vector<KeySym> all(syms, syms + (max - min + 1) * per);
        XFree(syms);
        XCloseDisplay(d);
        return all;
    }

    // Starts an echo client and waits until it has the focus.
    TChild StartEcho(const std::string& program) {
        TChild echo = TChild::Start({program}, {"DISPLAY=" + display, "LC_ALL=C.UTF-8", "XMODIFIERS=",
                                                 "QT_QPA_PLATFORM=xcb", "QT_IM_MODULE=compose"});
        std::string ready = echo.Read("READY\n", std::chrono::seconds(20));
        EXPECT_EQ(ready, "READY\n");
        return echo;
    }

    // Types the text and a key combination, ends the client with Escape and
    // returns what it received.
    std::string TypeInto(int32_t holdTime, const std::string& cp1252Text, const std::string& client = ZEL_XIM_ECHO) {
        TX11Desktop desktop(display);
        TChild echo = StartEcho(client);
        TListaComandos none;
        TIdleTimer timer;
        TActionContext ctx(none, desktop, timer, nullptr);
        ctx.TempoTecla = holdTime;
        TypeText(ctx, cp1252Text);
        PressKeyCombination(ctx, TComando{"copiar", "", tcTecla, "CTRL+C"});
        PressKeyCombination(ctx, TComando{"sair", "", tcTecla, "ESC"});
        std::string received = echo.Read("", std::chrono::seconds(20));
        int status = 0;
        EXPECT_TRUE(echo.Wait(std::chrono::seconds(10), &status)) << "the client did not end";
        echo.Stop();
        return received;
    }
};

// olá ação pão você ü ç Água, Ângulo: É À PRAÇA 1+1=2? "sim" ~/x [a] {b} |Ü! 'não';
const std::string kText = "ol\xE1 a\xE7\xE3o p\xE3o voc\xEA \xFC \xE7 \xC1gua, \xC2ngulo: \xC9 \xC0 PRA\xC7" "A 1+1=2? "
                          "\"sim\" ~/x [a] {b} |\xDC! 'n\xE3o';";
// ASCII letters always arrive in lower case; accented capitals keep theirs.
const std::string kArrives = Cp1252ToUtf8("ol\xE1 a\xE7\xE3o p\xE3o voc\xEA \xFC \xE7 \xC1gua, \xC2ngulo: \xC9 \xC0 pra\xC7"
                                          "a 1+1=2? \"sim\" ~/x [a] {b} |\xDC! 'n\xE3o';") + "<CTRL+c>";

struct TLayout {
    const char* layout;
    const char* variant;
};

class X11TypingOnLayout : public X11Typing, public ::testing::WithParamInterface<TLayout> {};

}  // namespace

// The text arrives exactly on the user's layout, whatever it is, in a plain
// Xlib client with an input method and in a Qt line edit, held or not; the
// layout is the user's before and after, and so is every key of it.
TEST_P(X11TypingOnLayout, TextArrivesExactlyAndTheLayoutStays) {
    SetLayout(GetParam().layout, GetParam().variant);
    const std::string layoutBefore = Run({"setxkbmap", "-query"});
    ASSERT_NE(layoutBefore.find(std::string("layout:     ") + GetParam().layout), std::string::npos) << layoutBefore;
    const std::vector<KeySym> keysBefore = Keysyms();
    for (int32_t hold : {0, 10}) {
        EXPECT_EQ(TypeInto(hold, kText), kArrives) << "Xlib client, hold " << hold;
#ifdef ZEL_QT_ECHO
        EXPECT_EQ(TypeInto(hold, kText, ZEL_QT_ECHO), kArrives) << "Qt line edit, hold " << hold;
#endif
    }
    EXPECT_EQ(Run({"setxkbmap", "-query"}), layoutBefore);
    EXPECT_EQ(Keysyms(), keysBefore);
}

INSTANTIATE_TEST_SUITE_P(Layouts, X11TypingOnLayout,
                         ::testing::Values(TLayout{"us", ""}, TLayout{"us", "intl"}, TLayout{"br", "abnt2"},
                                           TLayout{"pt", ""}, TLayout{"de", ""}, TLayout{"us", "dvorak"}),
                         [](const auto& info) {
                             std::string name = std::string(info.param.layout) + info.param.variant;
                             return name;
                         });

// Caps Lock on: the text arrives as it would without it.
TEST_F(X11Typing, CapsLockChangesNothing) {
    SetLayout("us", "");
    Display* d = XOpenDisplay(display.c_str());
    XkbLockModifiers(d, XkbUseCoreKbd, LockMask, LockMask);
    XSync(d, False);
    EXPECT_EQ(TypeInto(0, kText), kArrives);
    XkbLockModifiers(d, XkbUseCoreKbd, LockMask, 0);
    XCloseDisplay(d);
}

// Two layouts, the second one in use: the keys of that one type.
TEST_F(X11Typing, SecondLayoutOfTwoInUse) {
    for (const char* variant : {",abnt2", "dvorak,"}) {
        Run({"setxkbmap", "-layout", variant[0] == ',' ? "us,br" : "us,de", "-variant", variant});
        Display* d = XOpenDisplay(display.c_str());
        XkbLockGroup(d, XkbUseCoreKbd, 1);
        XSync(d, False);
        EXPECT_EQ(TypeInto(0, kText), kArrives) << variant;
        XkbLockGroup(d, XkbUseCoreKbd, 0);
        XCloseDisplay(d);
    }
}

// More letters than a keymap has spare keycodes: bindings are reused, and
// the text still arrives in order.
const std::string kRare = "a\xF1o \xE8\xEC\xF2\xF9 x\xE4\xEB\xEF\xF6\xFFy \xEE\xFB \xD1\xC8\xD6 ok \xE1\xE9\xED\xF3\xFA\xE3\xF5\xE2\xEA\xF4\xE0\xE7";

TEST_F(X11Typing, RareAccentsInAnXlibClientAndAQtLineEdit) {
    SetLayout("us", "");
    EXPECT_EQ(TypeInto(0, kRare), Cp1252ToUtf8(kRare) + "<CTRL+c>");
#ifdef ZEL_QT_ECHO
    EXPECT_EQ(TypeInto(0, kRare, ZEL_QT_ECHO), Cp1252ToUtf8(kRare) + "<CTRL+c>");
#endif
}

// Spare keycodes are taken for text only and given back once the typing has
// been idle a moment, while the program still runs.
TEST_F(X11Typing, SpareKeysAreGivenBackWhenTheTypingStops) {
    SetLayout("us", "");
    const std::vector<KeySym> keysBefore = Keysyms();
    TX11Desktop desktop(display);
    TListaComandos none;
    TIdleTimer timer;
    TActionContext ctx(none, desktop, timer, nullptr);
    ctx.TempoTecla = 0;
    // A key combination alone changes nothing in the keymap.
    PressKeyCombination(ctx, TComando{"copiar", "", tcTecla, "CTRL+C"});
    EXPECT_EQ(desktop.SpareKeysBound(), 0u);
    TypeText(ctx, "a\xE7\xE3o");
    EXPECT_GT(desktop.SpareKeysBound(), 0u);
    auto end = Clock::now() + std::chrono::seconds(10);
    while (desktop.SpareKeysBound() > 0 && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(desktop.SpareKeysBound(), 0u);
    EXPECT_EQ(Keysyms(), keysBefore);
}

TEST_F(X11Typing, ZelcmdSayTypesIntoTheFocusedWindow) {
    zeltest::TTempDir dir;
    dir.Write("p.zpr", "[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=sair\r\nacao=1\r\nargs=ESC\r\n[ditado]\r\n");
    TChild echo = StartEcho(ZEL_XIM_ECHO);
    TChild say = TChild::Start({ZEL_ZELCMD, "say", "--profile", dir.File("p.zpr"), "--modnum", dir.File("none.ini"),
                                "Olá MUNDO", "sair"},
                               {"DISPLAY=" + display});
    int status = -1;
    EXPECT_TRUE(say.Wait(std::chrono::seconds(20), &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    say.Stop();
    // Typed in lower case with a blank after each word, Enter after the
    // sentence (adventure mode); "sair" pressed Escape, which ends the client.
    EXPECT_EQ(echo.Read("", std::chrono::seconds(20)), "olá mundo \r");
    EXPECT_TRUE(echo.Wait(std::chrono::seconds(10), &status));
    echo.Stop();
}

// Documents, folders and addresses go to the desktop's opener; the sound to
// the player, with the file's name as the file system spells it.
TEST_F(X11Typing, DocumentsGoToTheOpenerAndSoundsToThePlayer) {
    zeltest::TTempDir dir;
    fs::create_directories(dir.Path() / "bin");
    fs::create_directories(dir.Path() / "docs");
    dir.Write("bin/xdg-open", "#!/bin/sh\nPATH=/usr/bin:/bin\nprintf '%s\\n' \"$(pwd)\" \"$@\" > \"$(dirname \"$0\")/opened.part\"\n"
                              "mv \"$(dirname \"$0\")/opened.part\" \"$(dirname \"$0\")/opened.txt\"\n");
    fs::permissions(dir.Path() / "bin/xdg-open", fs::perms::owner_all);
    dir.Write("docs/leia-me ção.txt", "texto");
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (dir.Path() / "bin").c_str(), 1);
    TX11Desktop desktop(display);
    const std::string document = dir.File("docs/leia-me ção.txt");  // a file name: the system's bytes
    bool opened = desktop.ShellOpen(document, " -x", dir.File("docs/"));
    setenv("PATH", oldPath.c_str(), 1);
    ASSERT_TRUE(opened);
    fs::path out = dir.Path() / "bin/opened.txt";
    auto end = Clock::now() + std::chrono::seconds(10);
    while (!fs::exists(out) && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(dir.Read("bin/opened.txt"),
              fs::canonical(dir.Path() / "docs").string() + "\n" + (dir.Path() / "docs/leia-me ção.txt").string() + "\n");

    std::string played;
    desktop.SetSoundPlayer([&](const std::string& file) { played = file; });
    desktop.PlaySoundAsync(dir.File("som ç.wav"));
    EXPECT_EQ(played, (dir.Path() / "som ç.wav").string());
}

TEST(X11Desktop, NoServerIsAClearError) {
    try {
        TX11Desktop desktop(":987");
        FAIL() << "connected to nothing";
    } catch (const TError& e) {
        EXPECT_EQ(Cp1252ToUtf8(e.what()), "Não foi possível conectar ao servidor X (DISPLAY=\":987\")");
    }
}

// A real program, started through the desktop in its own folder; the
// parameter text reaches it as arguments, never read by a shell.
TEST_F(X11Typing, LaunchGivesTheProgramItsFolderAndVerbatimArguments) {
    zeltest::TTempDir dir;
    fs::path folder = dir.Path() / "prog";
    fs::create_directories(folder);
    fs::copy_file(ZEL_ARG_DUMP, folder / "argdump");
    fs::permissions(folder / "argdump", fs::perms::owner_all);
    dir.Write("prog/x", "keep");

    TX11Desktop desktop(display);
    TListaComandos comandos;
    TIdleTimer timer;
    TActionContext ctx(comandos, desktop, timer, nullptr);
    ctx.Ativo = true;
    LaunchProgram(ctx, TComando{"jogo", "", tcExecucao, dir.File("prog/argdump") + " ; rm -rf x \"a b\" $HOME `id` |"});

    fs::path out = folder / "args.txt";
    auto end = Clock::now() + std::chrono::seconds(10);
    while (!fs::exists(out) && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(out));
    EXPECT_EQ(dir.Read("prog/args.txt"), fs::canonical(folder).string() + "\n;\nrm\n-rf\nx\na b\n$HOME\n`id`\n|\n");
    EXPECT_EQ(dir.Read("prog/x"), "keep");

    // A program on PATH, without a folder of its own.
    EXPECT_TRUE(desktop.ShellOpen("true", "", ""));
    // Nothing to start or open.
    EXPECT_FALSE(desktop.ShellOpen(dir.File("nao-existe.txt"), "", ""));
    EXPECT_FALSE(desktop.ShellOpen(dir.File("prog/argdump"), "", dir.File("nao-existe/")));
}

TEST(Launch, MissingProgramOrFolderFailsAtOnce) {
    zeltest::TTempDir dir;
    EXPECT_FALSE(SpawnDetached("/nao/existe", {}, ""));
    EXPECT_FALSE(SpawnDetached(FindExecutable("true"), {}, dir.File("nao-existe")));
    EXPECT_TRUE(SpawnDetached(FindExecutable("true"), {}, dir.File("")));
    EXPECT_EQ(FindExecutable("programa-que-nao-existe"), "");
    EXPECT_EQ(SplitParameters(" -w 1"), (std::vector<std::string>{"-w", "1"}));
    EXPECT_EQ(SplitParameters(""), std::vector<std::string>{});
    EXPECT_EQ(SplitParameters("\"\" a\"b c\"d"), (std::vector<std::string>{"", "ab cd"}));
}

TEST(Launch, ARelativePathWithAFolderStartsInAnotherWorkFolder) {
    namespace fs = std::filesystem;
    zeltest::TTempDir dir;
    fs::create_directories(dir.File("sub"));
    fs::create_directories(dir.File("pasta"));
    fs::copy_file(ZEL_ARG_DUMP, dir.File("sub/argdump"));
    fs::path before = fs::current_path();
    fs::current_path(dir.File(""));
    std::string found = FindExecutable("sub/argdump");
    bool started = SpawnDetached(found, {"ok"}, dir.File("pasta"));
    fs::current_path(before);
    EXPECT_EQ(found, fs::canonical(dir.File("sub/argdump")).string());
    ASSERT_TRUE(started);
    auto end = Clock::now() + std::chrono::seconds(10);
    while (!fs::exists(dir.File("pasta/args.txt")) && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(dir.File("pasta/args.txt")));
}
