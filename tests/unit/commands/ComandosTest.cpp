// The command list, the argument encodings and the split at a delimiter.
#include <gtest/gtest.h>

#include "commands/Comandos.h"
#include "commands/ParseString.h"

using namespace zel;

namespace {
std::vector<std::string> Pieces(std::string_view s, char d) {
    TParsedString p = ParseString(s, d);
    EXPECT_EQ(p.Count, static_cast<int32_t>(p.Items.size()));
    return p.Items;
}
using V = std::vector<std::string>;
}  // namespace

TEST(ParseString, CutsAsTheCommandsExpect) {
    EXPECT_EQ(Pieces("notepad.exe", ' '), V{"notepad.exe"});
    EXPECT_EQ(Pieces("a  b", ' '), (V{"a", "", "b"}));
    EXPECT_EQ(Pieces(" a", ' '), (V{"", "a"}));
    EXPECT_EQ(Pieces("a ", ' '), V{"a"});
    EXPECT_EQ(Pieces("", '+'), V{});
    EXPECT_EQ(Pieces("+", '+'), V{""});
    EXPECT_EQ(Pieces("CTRL+ALT+DELETE", '+'), (V{"CTRL", "ALT", "DELETE"}));
    EXPECT_EQ(Pieces("a++b+", '+'), (V{"a", "", "b"}));
}

TEST(ExecArgs, SplitIntoProgramAndParameters) {
    auto a = SplitExecArgs("C:\\jogos\\jogo.exe -w 1");
    EXPECT_EQ(a.Program, "C:\\jogos\\jogo.exe");
    EXPECT_EQ(a.Parameters, (V{"-w", "1"}));
    auto b = SplitExecArgs("C:\\app.exe ");
    EXPECT_EQ(b.Program, "C:\\app.exe");
    EXPECT_TRUE(b.Parameters.empty());
    auto c = SplitExecArgs("");
    EXPECT_EQ(c.Program, "");
    EXPECT_EQ(JoinExecArgs("C:\\app.exe", ""), "C:\\app.exe ");
}

TEST(DigitacaoArgs, ReadFlagsOnlyWhenExactlyOne) {
    auto a = SplitDigitacaoArgs("10ol\xE1");
    EXPECT_TRUE(a.MandarEspaco);
    EXPECT_FALSE(a.MandarEnter);
    EXPECT_EQ(a.Texto, "ol\xE1");
    auto b = SplitDigitacaoArgs("11");
    EXPECT_TRUE(b.MandarEspaco && b.MandarEnter);
    EXPECT_EQ(b.Texto, "");
    auto c = SplitDigitacaoArgs("");
    EXPECT_FALSE(c.MandarEspaco || c.MandarEnter);
    auto d = SplitDigitacaoArgs("CTRL+C");  // a key command switched to typing
    EXPECT_FALSE(d.MandarEspaco || d.MandarEnter);
    EXPECT_EQ(d.Texto, "RL+C");
    EXPECT_EQ(JoinDigitacaoArgs(false, true, "bom dia"), "01bom dia");
}

TEST(ListaComandos, OperationsKeepOrder) {
    TListaComandos list;
    list.AppendNew();
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Cmd, "comando");
    EXPECT_EQ(list[0].Acao, tcTecla);
    EXPECT_EQ(list[0].Fonemas, "");
    list.SetLength(4);
    EXPECT_EQ(list[3].Cmd, "");
    EXPECT_EQ(list[3].Acao, tcExecucao);
    for (int i = 0; i < 4; ++i) list.At(i).Cmd = "c" + std::to_string(i);
    list.RemoveAt(1);
    list.RemoveAt(-1);
    list.RemoveAt(3);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1].Cmd, "c2");
    list.SetLength(1);
    EXPECT_EQ(list.Count(), 1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(ListaComandos, FindsTheFirstPhraseWithoutRegardToCase) {
    TListaComandos list;
    for (const char* p : {"abrir", "\xE1gua", "ABRIR", "baixo", ""}) list.Append(TComando{p, "", tcTecla, ""});
    EXPECT_EQ(list.FindPhrase("ABRIR"), 0);
    EXPECT_EQ(list.FindPhrase("\xC1GUA"), 1);  // ÁGUA
    EXPECT_EQ(list.FindPhrase("agua"), -1);
    EXPECT_EQ(list.FindPhrase(""), 4);
    EXPECT_EQ(list.FindPhrase("cima"), -1);
    // Edits through At() are seen by the next search.
    list.At(3).Cmd = "cima";
    EXPECT_EQ(list.FindPhrase("baixo"), -1);
    EXPECT_EQ(list.FindPhrase("Cima"), 3);
    list.RemoveAt(0);
    EXPECT_EQ(list.FindPhrase("abrir"), 1);
    TListaComandos copy = list;
    copy.At(0).Cmd = "outra";
    EXPECT_EQ(copy.FindPhrase("\xE1gua"), -1);
    EXPECT_EQ(list.FindPhrase("\xE1gua"), 0);
}
