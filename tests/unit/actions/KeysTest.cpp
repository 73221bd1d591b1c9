// Key combinations, typed text and program starts, as the desktop receives them.
#include "tests/unit/actions/ActionsFixture.h"

#include "actions/Actions.h"

using namespace zel;
using zeltest::ActionsTest;

namespace {
TComando Cmd(uint8_t acao, std::string args) { return TComando{"x", "", acao, std::move(args)}; }
}  // namespace

TEST_F(ActionsTest, CombinationPressedInOrderAndReleasedInTheSameOrder) {
    PressKeyCombination(ctx, Cmd(tcTecla, "CTRL+C"));
    EXPECT_EQ(All(), "+11 +43 w10 -11 -43");
    log.Clear();
    PressKeyCombination(ctx, Cmd(tcTecla, "CTRL+SHIFT+ESC"));
    EXPECT_EQ(All(), "+11 +10 +1B w10 -11 -10 -1B");
}

TEST_F(ActionsTest, CombinationHoldTimeIsTheKeyTime) {
    ctx.TempoTecla = 0;
    PressKeyCombination(ctx, Cmd(tcTecla, "ALT+F4"));
    EXPECT_EQ(All(), "+12 +73 w0 -12 -73");
}

TEST_F(ActionsTest, EmptyCombinationOnlyWaits) {
    PressKeyCombination(ctx, Cmd(tcTecla, ""));
    EXPECT_EQ(All(), "w10");
}

TEST_F(ActionsTest, EmptyKeyNamePressesNothing) {
    PressKeyCombination(ctx, Cmd(tcTecla, "CTRL++C"));
    EXPECT_EQ(All(), "+11 +43 w10 -11 -43");
    log.Clear();
    PressKeyCombination(ctx, Cmd(tcTecla, "+A"));
    EXPECT_EQ(All(), "+41 w10 -41");
    log.Clear();
    PressKeyCombination(ctx, Cmd(tcTecla, "+"));
    EXPECT_EQ(All(), "w10");
}

TEST_F(ActionsTest, UnlistedNamesGiveTheCodeOfTheirFirstLetter) {
    PressKeyCombination(ctx, Cmd(tcTecla, "TAB+ctrl"));
    EXPECT_EQ(All(), "+54 +63 w10 -54 -63");
}

TEST_F(ActionsTest, TypeTextOla) {
    TypeText(ctx, "ol\xE1");
    EXPECT_EQ(Keys(), "+4F w10 -4F +4C w10 -4C +DB +41 w10 -DB -41");
    // Pending messages are handled after every character, and only then.
    EXPECT_EQ(All(), "+4F w10 -4F pump +4C w10 -4C pump +DB +41 w10 -DB -41 pump");
}

TEST_F(ActionsTest, TypeTextIgnoresAsciiCase) {
    TypeText(ctx, "P\xE3o");
    std::string upper = Keys();
    log.Clear();
    TypeText(ctx, "p\xE3o");
    EXPECT_EQ(Keys(), upper);
    EXPECT_EQ(upper, "+50 w10 -50 +DE +41 w10 -DE -41 +4F w10 -4F");
}

TEST_F(ActionsTest, TypeTextAcaoAndDigit) {
    ctx.TempoTecla = 0;
    TypeText(ctx, "a\xE7\xE3o 2");
    EXPECT_EQ(Keys(), "+41 w0 -41 +BA w0 -BA +DE +41 w0 -DE -41 +4F w0 -4F +20 w0 -20 +32 w0 -32");
}

TEST_F(ActionsTest, CircumflexAndDiaeresisLetShiftGoBeforeTheLetter) {
    TypeText(ctx, "\xEA");  // ê
    EXPECT_EQ(Keys(), "+10 +DE w10 -10 -DE +45 w10 -45");
    log.Clear();
    TypeText(ctx, "\xFC");  // ü
    EXPECT_EQ(Keys(), "+10 +36 w10 -10 -36 +55 w10 -55");
}

TEST_F(ActionsTest, CapitalAccentedLettersKeepTheirCase) {
    TypeText(ctx, "\xC1");  // Á: dead acute, then Shift with A
    EXPECT_EQ(Keys(), "+DB w10 -DB +10 +41 w10 -10 -41");
    log.Clear();
    TypeText(ctx, "\xC7");  // Ç
    EXPECT_EQ(Keys(), "+10 +BA w10 -10 -BA");
}

TEST_F(ActionsTest, GraveAndPunctuation) {
    TypeText(ctx, "\xE0");  // à: Shift with the acute key gives the grave
    EXPECT_EQ(Keys(), "+10 +DB w10 -10 -DB +41 w10 -41");
    log.Clear();
    TypeText(ctx, ".,?");
    EXPECT_EQ(Keys(), "+BE w10 -BE +BC w10 -BC +10 +C1 w10 -10 -C1");
}

TEST_F(ActionsTest, CharactersWithoutAKeyAreSkipped) {
    TypeText(ctx, "a\x80\xA3" "b");  // € and £ have no key of their own
    EXPECT_EQ(Keys(), "+41 w10 -41 +42 w10 -42");
}

TEST_F(ActionsTest, EveryTableCharacterHasKeys) {
    for (unsigned char c : std::string("\xE1\xE9\xED\xF3\xFA\xE3\xF5\xE2\xEA\xEE\xF4\xFB\xFC\xE7")) {
        EXPECT_FALSE(KeysOfCharacter(c).empty()) << int(c);
    }
}

TEST_F(ActionsTest, TypingCommandFlags) {
    TypeTextCommand(ctx, Cmd(tcDigitacao, "11"));
    EXPECT_EQ(Keys(), "+20 w10 -20 +0D w10 -0D");
    log.Clear();
    TypeTextCommand(ctx, Cmd(tcDigitacao, "01ok"));
    EXPECT_EQ(Keys(), "+4F w10 -4F +4B w10 -4B +0D w10 -0D");
    log.Clear();
    TypeTextCommand(ctx, Cmd(tcDigitacao, "1"));
    EXPECT_EQ(Keys(), "+20 w10 -20");
    log.Clear();
    TypeTextCommand(ctx, Cmd(tcDigitacao, "00"));
    EXPECT_EQ(Keys(), "");
}

TEST_F(ActionsTest, LaunchWithFolderAndParameters) {
    LaunchProgram(ctx, Cmd(tcExecucao, "/opt/jogos/jogo -w 1"));
    EXPECT_EQ(All(), "open(/opt/jogos/jogo| -w 1|/opt/jogos/)");
    log.Clear();
    LaunchProgram(ctx, Cmd(tcExecucao, "gedit"));
    EXPECT_EQ(All(), "open(gedit||)");
    log.Clear();
    LaunchProgram(ctx, Cmd(tcExecucao, "gedit "));
    EXPECT_EQ(All(), "open(gedit||)");
    log.Clear();
    LaunchProgram(ctx, Cmd(tcExecucao, "a  b"));
    EXPECT_EQ(All(), "open(a|  b|)");
#ifdef _WIN32
    // Windows names its folders with backslashes, and a drive with a colon.
    log.Clear();
    LaunchProgram(ctx, Cmd(tcExecucao, "C:\\jogos\\jogo.exe -w 1"));
    EXPECT_EQ(All(), "open(C:\\jogos\\jogo.exe| -w 1|C:\\jogos\\)");
    log.Clear();
    LaunchProgram(ctx, Cmd(tcExecucao, "D:jogo.exe"));
    EXPECT_EQ(All(), "open(D:jogo.exe||D:)");
#endif
}

TEST_F(ActionsTest, LaunchWithoutAProgramStartsNothing) {
    LaunchProgram(ctx, Cmd(tcExecucao, ""));
    LaunchProgram(ctx, Cmd(tcExecucao, " x"));
    EXPECT_EQ(All(), "");
}

TEST_F(ActionsTest, LaunchFailureIsSilent) {
    desktop.ShellOpenResult = false;
    EXPECT_NO_THROW(LaunchProgram(ctx, Cmd(tcExecucao, "/nao/existe")));
    EXPECT_EQ(All(), "open(/nao/existe||/nao/)");
}
