// Text conversions, trimming, integers, the locale comparison and line files.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <fstream>
#include <iterator>

#include "commands/Cp1252.h"
#include "commands/LocaleCollator.h"
#include "commands/Profile.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "tests/support/TempDir.h"

using namespace zel;

TEST(Cp1252, RoundTripsEveryByteThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
}

TEST(Cp1252, ConvertsPortugueseAndTheHighPunctuation) {
    EXPECT_EQ(Cp1252ToUtf8("a\xE7\xE3o"), "ação");
    EXPECT_EQ(Utf8ToCp1252("você Água"), "voc\xEA \xC1gua");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Utf8ToCp1252("“€”"), "\x93\x80\x94");
    // Outside the code page, and broken UTF-8, become question marks.
    EXPECT_EQ(Utf8ToCp1252("日本"), "??");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");
}

TEST(Trim, RemovesBlanksAndControlCharactersOnly) {
    EXPECT_EQ(Trim(" \t\r\n abc def \x01\x1F "), "abc def");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is no control
}

TEST(StrToInt, AcceptsDecimalAndHexAsTheToolkitDoes) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("  12"), 12);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("0XfF"), 255);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
}

TEST(StrToInt, RefusesWithTheToolkitMessage) {
    for (const char* bad : {"", "abc", "12 ", "1.5", "2147483648", "0x", "$", "-", "CASA", "99999999999999999999"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const TError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(LocaleCollator, IgnoresCaseButNotAccents) {
    EXPECT_TRUE(LocaleEqual("ABRIR", "abrir"));
    EXPECT_TRUE(LocaleEqual("\xC1gua", "\xE1gua"));          // Água = água
    EXPECT_TRUE(LocaleEqual("A\xE7\xE3O", "A\xC7\xC3O"));     // AçãO = AÇÃO
    EXPECT_FALSE(LocaleEqual("agua", "\xE1gua"));
    EXPECT_FALSE(LocaleEqual("e", "\xE9"));
    EXPECT_FALSE(LocaleEqual("<s>", "</s>"));
    EXPECT_LT(LocaleCompare("Alfa", "beta"), 0);
    EXPECT_GT(LocaleCompare("gama", "Beta"), 0);
}

TEST(LocaleCollator, SortKeysAgreeWithTheComparison) {
    const char* words[] = {"abrir", "ABRIR", "\xE1gua", "agua", "Zebra", "zebra", "casa", "<s>", "</s>", "a\xE7\xE3o", ""};
    for (const char* a : words)
        for (const char* b : words) {
            int cmp = LocaleCompare(a, b);
            int keyCmp = LocaleSortKey(a).compare(LocaleSortKey(b));
            EXPECT_EQ(cmp < 0, keyCmp < 0) << a << " / " << b;
            EXPECT_EQ(cmp == 0, keyCmp == 0) << a << " / " << b;
        }
}

TEST(TextFile, ReadsEveryKindOfLineEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("\n"), std::vector<std::string>{""});
    EXPECT_EQ(SplitLines(std::string("x\0y", 3)), std::vector<std::string>{std::string("x\0y", 3)});
}

TEST(TextFile, WritesCrLfAndReplacesWholly) {
    zeltest::TTempDir dir;
    std::string file = dir.File("out.txt");
    WriteLines(file, {"um", "", "tr\xEAs"});
    EXPECT_EQ(dir.Read("out.txt"), "um\r\n\r\ntr\xEAs\r\n");
    WriteLines(file, {"x"});
    EXPECT_EQ(dir.Read("out.txt"), "x\r\n");
    // Nothing but the file itself is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(TextFile, ReportsTheToolkitMessages) {
    zeltest::TTempDir dir;
    std::string missing = dir.File("nada.txt");
    try {
        ReadLines(missing);
        FAIL();
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    std::string inMissingFolder = dir.File("nao/existe.txt");
    try {
        WriteLines(inMissingFolder, {"a"});
        FAIL();
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + inMissingFolder);
    }
}

#ifndef _WIN32
// Links, FIFOs and small disks of one's own are Linux's.
TEST(TextFile, ALinkedFileIsWrittenThroughItsLinkWhichStays) {
    namespace fs = std::filesystem;
    zeltest::TTempDir dir;
    fs::create_directories(dir.Path() / "real");
    dir.Write("real/perfil.zpr", "velho\r\n");
    fs::create_symlink("real/perfil.zpr", dir.Path() / "perfil.zpr");
    WriteLines(dir.File("perfil.zpr"), {"novo"});
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.Path() / "perfil.zpr")));
    EXPECT_EQ(dir.Read("real/perfil.zpr"), "novo\r\n");
    // A link to a file not there yet creates the file it names.
    fs::create_symlink("real/novo.txt", dir.Path() / "novo.txt");
    WriteLines(dir.File("novo.txt"), {"a"});
    EXPECT_EQ(dir.Read("real/novo.txt"), "a\r\n");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.Path() / "novo.txt")));
}

TEST(TextFile, AFifoIsRefusedInsteadOfBlockingTheReader) {
    zeltest::TTempDir dir;
    std::string fifo = dir.File("perfil.zpr");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    try {
        ReadLines(fifo);
        FAIL();
    } catch (const TError& e) {
        EXPECT_EQ(Cp1252ToUtf8(e.what()), "Cannot open file " + fifo + ": não é um arquivo comum");
    }
}

#endif

namespace {
std::vector<std::string> synced;
std::string syncedBytes;
bool RecordSync(const std::filesystem::path& path) {
    synced.push_back(path.filename().string());
    if (std::filesystem::is_regular_file(path)) {
        std::ifstream in(path, std::ios::binary);
        syncedBytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    return true;
}
bool FailSync(const std::filesystem::path&) {
    errno = EIO;
    return false;
}
}  // namespace

TEST(TextFile, TheNewFileReachesTheDiskBeforeItReplacesTheOld) {
    zeltest::TTempDir dir;
    dir.Write("a.txt", "velho\r\n");
    synced.clear();
    SetFileSync(&RecordSync);
    WriteLines(dir.File("a.txt"), {"novo"});
    ASSERT_EQ(synced.size(), 2u);
    EXPECT_EQ(synced[0].rfind(".a.txt.tmp", 0), 0u) << synced[0];
    EXPECT_EQ(syncedBytes, "novo\r\n");
    EXPECT_EQ(synced[1], dir.Path().filename().string());
    // A file that cannot be made durable does not replace the old one.
    SetFileSync(&FailSync);
    EXPECT_THROW(WriteLines(dir.File("a.txt"), {"perdido"}), TError);
    SetFileSync(nullptr);
    EXPECT_EQ(dir.Read("a.txt"), "novo\r\n");
}

#ifndef _WIN32
TEST(TextFile, AFullDiskSaysSo) {
    namespace fs = std::filesystem;
    zeltest::TTempDir dir;
    std::string mnt = dir.File("disco");
    fs::create_directories(mnt);
    // A small disk of its own, in a mount namespace of a child process.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0)
            _exit(2);
        {
            std::ofstream fill(mnt + "/cheio", std::ios::binary);
            std::string block(4096, 'x');
            while (fill.write(block.data(), static_cast<std::streamsize>(block.size()))) {
            }
        }
        std::string message;
        try {
            WriteLines(mnt + "/a.txt", {std::string(8192, 'y')});
        } catch (const TError& e) {
            message = e.what();
        }
        _exit(message == "Cannot create file " + mnt + "/a.txt: disco cheio" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the message does not say the disk is full";
}
#endif

// A folder name Windows-1252 cannot write is used as the system spells it;
// only the message shows it with '?' in place of what it lacks.
TEST(TextFile, FileNamesAreTheSystemsBytesAndOnlyMessagesReplace) {
    zeltest::TTempDir dir;
    std::filesystem::create_directory(NativePath(dir.File("Łódź дмитрий")));
    const std::string name = dir.File("Łódź дмитрий/日本.txt");
    WriteLines(name, {"ok"});
    EXPECT_EQ(dir.Read("Łódź дмитрий/日本.txt"), "ok\r\n");
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(ReadLines(name), std::vector<std::string>{"ok"});
    try {
        ReadFileBytes(dir.File("Łódź дмитрий/nada.txt"));
        FAIL() << "read a missing file";
    } catch (const TError& e) {
#ifdef _WIN32
        const std::string separator = "\\";
#else
        const std::string separator = "/";
#endif
        EXPECT_EQ(Cp1252ToUtf8(e.what()), "Cannot open file " + dir.File("") + "?ód? ???????" + separator + "nada.txt");
    }
    EXPECT_EQ(Cp1252ToUtf8(ProfileCaption(dir.File("日本.zpr"))), "Profile atual: ??");
}

// What a file says, whichever way it was written: Windows-1252 as the
// program writes it, UTF-8 as Linux editors do, with or without a BOM.
TEST(FileText, Utf8AndBomAreReadAsWindows1252AndPlainWindows1252Stays) {
    TDecodedText utf8 = DecodeFileText("OLÁ\r\nATENÇÃO “já” €5\r\n");
    EXPECT_EQ(utf8.Text, "OL\xC1\r\nATEN\xC7\xC3O \x93j\xE1\x94 \x80" "5\r\n");
    EXPECT_EQ(utf8.Format, TTextFormat::Utf8);
    EXPECT_TRUE(utf8.Ignored.empty());

    TDecodedText bom = DecodeFileText("\xEF\xBB\xBF[geral]\r\ncmd=ação\r\n");
    EXPECT_EQ(bom.Text, "[geral]\r\ncmd=a\xE7\xE3o\r\n");
    EXPECT_EQ(bom.Format, TTextFormat::Utf8Bom);

    // Accented Windows-1252 is not well-formed UTF-8: it stays as it is.
    TDecodedText cp = DecodeFileText("a\xE7\xE3o \xE9 voc\xEA\r\n");
    EXPECT_EQ(cp.Text, "a\xE7\xE3o \xE9 voc\xEA\r\n");
    EXPECT_EQ(cp.Format, TTextFormat::Cp1252);
    // So is ASCII, which both read alike.
    EXPECT_EQ(DecodeFileText("abc").Format, TTextFormat::Cp1252);

    // Decomposed accents (e + combining acute) become their letter.
    EXPECT_EQ(DecodeFileText("cafe\xCC\x81").Text, "caf\xE9");
}

// Windows-1252 text that happens to be well-formed UTF-8 ("Ã©") is saved so
// that it reads back as written: with a BOM, in UTF-8.
TEST(FileText, Windows1252ThatLooksLikeUtf8ReadsBackAsWritten) {
    for (const std::string& text : {std::string("N AA\xDE\xA9 EH\r\n"), std::string("a\xE7\xE3o\r\n"), std::string("abc")}) {
        const std::string bytes = EncodeFileText(text, TTextFormat::Cp1252);
        EXPECT_EQ(DecodeFileText(bytes).Text, text);
    }
    EXPECT_EQ(EncodeFileText("a\xE7\xE3o", TTextFormat::Cp1252), "a\xE7\xE3o");
}

TEST(FileText, CharactersWindows1252LacksAreLeftOutAndListedOnce) {
    TDecodedText d = DecodeFileText("Łódź дом Łódź 日本\r\n");
    EXPECT_EQ(d.Text, "\xF3" "d  \xF3" "d \r\n");
    EXPECT_EQ(d.Ignored, U"Łźдом日本");
}
