// Profiles on disk: the worked example, the dictation block, sections kept
// and placed before the marker, bad hand-edited files, and safe saving.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>

#include "commands/Profile.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "tests/support/TempDir.h"

using namespace zel;

namespace {

const char* kExample =
    "[geral]\r\n"
    "numcomandos=3\r\n"
    "[cmd0]\r\n"
    "cmd=abrir bloco\r\n"
    "acao=0\r\n"
    "args=C:\\WINDOWS\\notepad.exe \r\n"
    "fonemas=AA B R Y R  B L OW K OW \r\n"
    "[cmd1]\r\n"
    "cmd=copiar\r\n"
    "acao=1\r\n"
    "args=CTRL+C\r\n"
    "fonemas=K OW P Y AA R \r\n"
    "[cmd2]\r\n"
    "cmd=computador\r\n"
    "acao=2\r\n"
    "args=\r\n"
    "fonemas=K OW M P W T AA D OW R \r\n"
    "[ditado]\r\n"
    "bom dia\r\n"
    "o sistema est\xE1 pronto\r\n";

TProfileState Loaded(const std::string& file) {
    TProfileState p;
    LoadProfile(p, file);
    return p;
}

std::string Lines(const std::vector<std::string>& v) { return JoinLinesCrLf(v); }

}  // namespace

TEST(Profile, LoadsTheWorkedExample) {
    zeltest::TTempDir dir;
    dir.Write("ex.zpr", kExample);
    TProfileState p = Loaded(dir.File("ex.zpr"));
    ASSERT_EQ(p.Comandos.Count(), 3);
    EXPECT_EQ(p.Comandos[0].Cmd, "abrir bloco");
    EXPECT_EQ(p.Comandos[0].Acao, tcExecucao);
    EXPECT_EQ(p.Comandos[0].Args, "C:\\WINDOWS\\notepad.exe");  // the INI rules drop the trailing blank
    EXPECT_EQ(p.Comandos[0].Fonemas, "AA B R Y R  B L OW K OW");
    EXPECT_EQ(p.Comandos[1].Args, "CTRL+C");
    EXPECT_EQ(p.Comandos[1].Acao, tcTecla);
    EXPECT_EQ(p.Comandos[2].Acao, tcAtivacao);
    EXPECT_EQ(p.Comandos[2].Args, "");
    EXPECT_EQ(p.Ditado, (std::vector<std::string>{"bom dia", "o sistema est\xE1 pronto"}));
}

TEST(Profile, SavingTheExampleIntoANewFileWritesItsLayout) {
    zeltest::TTempDir dir;
    TProfileState p;
    p.Comandos.Append({"abrir bloco", "AA B R Y R  B L OW K OW ", tcExecucao, "C:\\WINDOWS\\notepad.exe "});
    p.Comandos.Append({"copiar", "K OW P Y AA R ", tcTecla, "CTRL+C"});
    p.Comandos.Append({"computador", "K OW M P W T AA D OW R ", tcAtivacao, ""});
    p.Ditado = {"bom dia", "o sistema est\xE1 pronto"};
    SaveProfile(p, dir.File("novo.zpr"));
    EXPECT_EQ(dir.Read("novo.zpr"), kExample);
}

// A profile a Linux editor saved in UTF-8 with a byte-order mark loads like
// the Windows-1252 one, and saving it again keeps it UTF-8 with its mark.
TEST(Profile, AUtf8ProfileWithABomLoadsAndIsSavedBackInUtf8) {
    zeltest::TTempDir dir;
    std::string utf8 = "\xEF\xBB\xBF[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=próxima página\r\nacao=2\r\n"
                       "args=\r\nfonemas=P R OW SH Y M AA\r\n[ditado]\r\nação\r\n";
    dir.Write("u.zpr", utf8);
    TProfileState p = Loaded(dir.File("u.zpr"));
    ASSERT_EQ(p.Comandos.Count(), 1);
    EXPECT_EQ(p.Comandos[0].Cmd, "pr\xF3xima p\xE1gina");
    EXPECT_EQ(p.Ditado, std::vector<std::string>{"a\xE7\xE3o"});
    p.Comandos.At(0).Cmd = "voltar p\xE1gina";
    SaveProfile(p, dir.File("u.zpr"));
    EXPECT_EQ(dir.Read("u.zpr"), "\xEF\xBB\xBF[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=voltar página\r\nacao=2\r\n"
                                 "args=\r\nfonemas=P R OW SH Y M AA\r\n[ditado]\r\nação\r\n");
}

TEST(Profile, ResetRunsFirstAndTellsTheWindow) {
    zeltest::TTempDir dir;
    dir.Write("ex.zpr", kExample);
    TProfileState p;
    int resets = 0;
    p.OnReset = [&] { ++resets; };
    p.TempoTecla = 99;
    p.ComandoAtual = 2;
    LoadProfile(p, dir.File("ex.zpr"));
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(p.TempoTecla, 10);
    EXPECT_EQ(p.TempoAtivacao, 5);
    EXPECT_EQ(p.ComandoAtual, -1);
    // A missing file: the reset has run, the profile is empty, the message names the file.
    std::string missing = dir.File("falta.zpr");
    try {
        LoadProfile(p, missing);
        FAIL();
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(p.Comandos.Count(), 0);
    EXPECT_TRUE(p.Ditado.empty());
}

TEST(Profile, DictationBlockEdges) {
    zeltest::TTempDir dir;
    dir.Write("a.zpr", "[geral]\r\nnumcomandos=0\r\n");
    EXPECT_TRUE(Loaded(dir.File("a.zpr")).Ditado.empty());
    dir.Write("b.zpr", "[geral]\nnumcomandos=0\n[DITADO]");
    EXPECT_TRUE(Loaded(dir.File("b.zpr")).Ditado.empty());
    // Blanks around the marker prevent the match; the marker is found whatever its case.
    dir.Write("c.zpr", "[geral]\r\n [ditado]\r\nx\r\n[Ditado]\r\n[cmd0]\r\nnumcomandos=99\r\n");
    TProfileState c = Loaded(dir.File("c.zpr"));
    EXPECT_EQ(c.Ditado, (std::vector<std::string>{"[cmd0]", "numcomandos=99"}));
    EXPECT_EQ(c.Comandos.Count(), 0);
}

TEST(Profile, DictationLinesThatLookLikeSectionsNeverBecomeCommands) {
    zeltest::TTempDir dir;
    dir.Write("p.zpr", "[geral]\r\nnumcomandos=2\r\n[cmd0]\r\ncmd=um\r\n[ditado]\r\n[cmd1]\r\ncmd=intruso\r\nacao=0\r\n");
    TProfileState p = Loaded(dir.File("p.zpr"));
    ASSERT_EQ(p.Comandos.Count(), 2);
    EXPECT_EQ(p.Comandos[0].Cmd, "um");
    EXPECT_EQ(p.Comandos[1].Cmd, "");
    EXPECT_EQ(p.Ditado.size(), 3u);
}

TEST(Profile, SavingFewerCommandsKeepsOldSectionsThatTheCountHides) {
    zeltest::TTempDir dir;
    TProfileState p;
    for (int i = 0; i < 10; ++i) p.Comandos.Append({"c" + std::to_string(i), "", tcTecla, "F" + std::to_string(i + 1)});
    p.Ditado = {"linha"};
    std::string file = dir.File("p.zpr");
    SaveProfile(p, file);
    p.Comandos.SetLength(5);
    SaveProfile(p, file);
    std::string bytes = dir.Read("p.zpr");
    EXPECT_NE(bytes.find("[cmd9]\r\ncmd=c9\r\n"), std::string::npos);
    TProfileState back = Loaded(file);
    EXPECT_EQ(back.Comandos.Count(), 5);
    EXPECT_EQ(back.Ditado, std::vector<std::string>{"linha"});
}

TEST(Profile, SavingMoreCommandsPutsNewSectionsBeforeTheDictation) {
    zeltest::TTempDir dir;
    TProfileState p;
    for (int i = 0; i < 10; ++i) p.Comandos.Append({"c" + std::to_string(i), "", tcTecla, ""});
    p.Ditado = {"bom dia", "[cmd11]"};
    std::string file = dir.File("p.zpr");
    SaveProfile(p, file);
    p.Comandos.Append({"c10", "", tcTecla, ""});
    p.Comandos.Append({"c11", "", tcDigitacao, "01oi"});
    SaveProfile(p, file);
    std::string bytes = dir.Read("p.zpr");
    EXPECT_LT(bytes.find("[cmd11]\r\ncmd=c11"), bytes.find("[ditado]"));
    const std::string tail = "\r\n[ditado]\r\nbom dia\r\n[cmd11]\r\n";
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
    TProfileState back = Loaded(file);
    ASSERT_EQ(back.Comandos.Count(), 12);
    EXPECT_EQ(back.Comandos[11].Args, "01oi");
    EXPECT_EQ(back.Ditado, p.Ditado);
}

TEST(Profile, SavingKeepsForeignKeysAndAddsTheMarkerWhenMissing) {
    zeltest::TTempDir dir;
    dir.Write("p.zpr", "; meu perfil\r\n[geral]\r\nautor=eu\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=velho\r\nextra=1\r\n");
    TProfileState p;
    p.Comandos.Append({"novo", "N OW V OW ", tcTecla, "ENTER"});
    SaveProfile(p, dir.File("p.zpr"));
    EXPECT_EQ(dir.Read("p.zpr"),
              Lines({"; meu perfil", "[geral]", "autor=eu", "numcomandos=1", "[cmd0]", "cmd=novo", "extra=1",
                     "acao=1", "args=ENTER", "fonemas=N OW V OW ", "[ditado]"}));
}

TEST(Profile, HandEditedFilesNeverCrashOrAllocateWildly) {
    zeltest::TTempDir dir;
    dir.Write("huge.zpr", "[geral]\r\nnumcomandos=2147483647\r\n[cmd0]\r\ncmd=a\r\n[cmd2]\r\ncmd=c\r\n");
    TProfileState huge = Loaded(dir.File("huge.zpr"));
    ASSERT_EQ(huge.Comandos.Count(), 3);
    EXPECT_EQ(huge.Comandos[2].Cmd, "c");
    dir.Write("neg.zpr", "[geral]\r\nnumcomandos=-5\r\n[cmd0]\r\ncmd=a\r\n");
    EXPECT_EQ(Loaded(dir.File("neg.zpr")).Comandos.Count(), 0);
    dir.Write("hex.zpr", "[geral]\r\nnumcomandos=0x2\r\n");
    EXPECT_EQ(Loaded(dir.File("hex.zpr")).Comandos.Count(), 2);
    dir.Write("dup.zpr", "[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=primeiro\r\nacao=259\r\n[cmd0]\r\ncmd=segundo\r\n");
    TProfileState dup = Loaded(dir.File("dup.zpr"));
    EXPECT_EQ(dup.Comandos[0].Cmd, "primeiro");
    EXPECT_EQ(dup.Comandos[0].Acao, 3);  // low byte of 259
    using namespace std::string_literals;
    std::string ctl = "[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=a\x01\x1F\x7F" "b\r\nargs="s + std::string(100000, 'x') + "\r\n";
    dir.Write("ctl.zpr", ctl);
    TProfileState c = Loaded(dir.File("ctl.zpr"));
    EXPECT_EQ(c.Comandos[0].Cmd, std::string("a\x01\x1F\x7F" "b", 5));
    EXPECT_EQ(c.Comandos[0].Args.size(), 2047u);
}

// A file that is no profile (a picture, an empty file, a corpus, a profile
// saved in UTF-16) is refused by name and the profile in use stays whole.
TEST(Profile, AFileThatIsNoProfileIsRefusedAndTheOneInUseStays) {
    zeltest::TTempDir dir;
    dir.Write("ex.zpr", kExample);
    TProfileState p;
    int resets = 0;
    p.OnReset = [&] { ++resets; };
    LoadProfile(p, dir.File("ex.zpr"));
    using namespace std::string_literals;
    const std::pair<const char*, std::string> files[] = {
        {"foto.png", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\x01\0"s},
        {"vazio.zpr", ""},
        {"corpus.txt", "bom dia\r\no sistema est\xE1 pronto\r\n"},
        {"semgeral.zpr", "[cmd0]\r\ncmd=a\r\n"},
        {"utf16.zpr", "\xFF\xFE[\0g\0e\0r\0a\0l\0]\0"s},
    };
    for (const auto& [name, bytes] : files) {
        dir.Write(name, bytes);
        try {
            LoadProfile(p, dir.File(name));
            ADD_FAILURE() << name << " was loaded";
        } catch (const TError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("O arquivo " + dir.File(name) + " n\xE3o \xE9 um profile: ", 0), 0u)
                << e.what();
        }
    }
    EXPECT_EQ(resets, 1);
    ASSERT_EQ(p.Comandos.Count(), 3);
    EXPECT_EQ(p.Comandos[1].Cmd, "copiar");
    EXPECT_EQ(p.Ditado.size(), 2u);
    // What each says.
    try {
        LoadProfile(p, dir.File("utf16.zpr"));
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "O arquivo " + dir.File("utf16.zpr") +
                                             " n\xE3o \xE9 um profile: est\xE1 gravado em UTF-16: salve-o como UTF-8 ou ANSI.");
    }
    try {
        LoadProfile(p, dir.File("semgeral.zpr"));
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "O arquivo " + dir.File("semgeral.zpr") + " n\xE3o \xE9 um profile: falta a se\xE7\xE3o [geral].");
    }
}

TEST(Profile, ACountBeyondTheSectionsPresentGivesEmptyCommands) {
    zeltest::TTempDir dir;
    dir.Write("p.zpr", "[geral]\r\nnumcomandos=5\r\n[cmd0]\r\ncmd=abrir\r\nacao=1\r\n[ditado]\r\n");
    TProfileState p = Loaded(dir.File("p.zpr"));
    ASSERT_EQ(p.Comandos.Count(), 5);
    EXPECT_EQ(p.Comandos[0].Cmd, "abrir");
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(p.Comandos[i].Cmd, "");
        EXPECT_EQ(p.Comandos[i].Acao, 0);
    }
}

TEST(Profile, CountsOfBlankLinesAndFarSectionsAddNoHostOfEmptyCommands) {
    zeltest::TTempDir dir;
    // As many blank lines as the count: each used to become an empty command.
    const int lines = 200000;
    dir.Write("blank.zpr", "[geral]\nnumcomandos=" + std::to_string(lines) + "\n" + std::string(lines, '\n'));
    EXPECT_EQ(Loaded(dir.File("blank.zpr")).Comandos.Count(), 0);
    // A far section keeps its command; the gap before it is cut short.
    dir.Write("far.zpr", "[geral]\nnumcomandos=200000\n[cmd0]\ncmd=a\n[cmd199999]\ncmd=z\n" + std::string(lines, '\n'));
    TProfileState far = Loaded(dir.File("far.zpr"));
    ASSERT_LT(far.Comandos.Count(), 20000);
    EXPECT_EQ(far.Comandos[0].Cmd, "a");
    EXPECT_EQ(far.Comandos[far.Comandos.Count() - 1].Cmd, "z");
    EXPECT_EQ(far.Comandos[1].Cmd, "");
}

#ifndef _WIN32
// The file size limit is Linux's.
TEST(Profile, AFailedSaveLeavesTheOldFileWhole) {
    // A disk that fills up mid-write: the file size limit makes the write fail
    // (for root too), as a full disk would.
    zeltest::TTempDir dir;
    dir.Write("p.zpr", kExample);
    TProfileState p;
    for (int i = 0; i < 200; ++i) p.Comandos.Append({"comando " + std::to_string(i), "K OW M AA N D OW ", tcTecla, "CTRL+C"});
    std::string file = dir.File("p.zpr");
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        SaveProfile(p, file);
    } catch (const TError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, "Unable to write to " + file);
    EXPECT_EQ(dir.Read("p.zpr"), kExample);
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}
#endif

TEST(Profile, AFailedSaveIntoAMissingFolderReportsIt) {
    zeltest::TTempDir dir;
    TProfileState p;
    std::string file = dir.File("sem/pasta.zpr");
    try {
        SaveProfile(p, file);
        FAIL();
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + file);
    }
}

TEST(Profile, CaptionDropsTheLastFourCharacters) {
    EXPECT_EQ(ProfileCaption("/home/u/profiles/jogo.zpr"), "Profile atual: jogo");
    EXPECT_EQ(ProfileCaption("/tmp/perfil1"), "Profile atual: per");
    EXPECT_EQ(ProfileCaption("/tmp/a.zp"), "Profile atual: ");
    EXPECT_EQ(ProfileCaption("abcd"), "Profile atual: ");
}
