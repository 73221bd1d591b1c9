// historico.log as a user finds it in the program's folder, and the heard
// entries the window and the terminal show.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "actions/ActionContext.h"
#include "commands/ZelError.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/HeardReporter.h"
#include "recognition/HistoryLog.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

TEST(HistoryLog, OneWholeLinePerAppendAndAnotherRunAppends) {
    zeltest::TTempDir dir;
    {
        THistoryLog log(dir.File(kHistoryFileName));
        EXPECT_EQ(log.Append("um\tdois"), "");
        EXPECT_EQ(dir.Read(kHistoryFileName), "um\tdois\n");  // there before the next line
        EXPECT_EQ(log.Append("três"), "");
    }
    THistoryLog again(dir.File(kHistoryFileName));
    again.Append("quatro");
    EXPECT_EQ(dir.Read(kHistoryFileName), "um\tdois\ntrês\nquatro\n");
}

TEST(HistoryLog, AFullFileBecomesTheOldOneAndOnlyOneIsKept) {
    zeltest::TTempDir dir;
    THistoryLog log(dir.File(kHistoryFileName), 20);
    for (const char* line : {"linha 1", "linha 2", "linha 3", "linha 4", "linha 5"}) log.Append(line);
    // 8 bytes a line: two fit in 20, the third starts a new file.
    EXPECT_EQ(dir.Read(kHistoryFileName), "linha 5\n");
    EXPECT_EQ(dir.Read(std::string(kHistoryFileName) + ".1"), "linha 3\nlinha 4\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "historico.log.2"));
}

#ifndef _WIN32  // Wine makes no symbolic links
TEST(HistoryLog, ALinkInItsPlaceIsReplacedNotFollowed) {
    zeltest::TTempDir dir;
    dir.Write("alvo.txt", "do usuário\n");
    std::filesystem::create_symlink(dir.Path() / "alvo.txt", dir.Path() / kHistoryFileName);
    THistoryLog log(dir.File(kHistoryFileName));
    EXPECT_EQ(log.Append("frase"), "");
    EXPECT_EQ(dir.Read("alvo.txt"), "do usuário\n");
    EXPECT_FALSE(std::filesystem::is_symlink(dir.Path() / kHistoryFileName));
    EXPECT_EQ(dir.Read(kHistoryFileName), "frase\n");
}
#endif

TEST(HistoryLog, AFileThatCannotBeWrittenSaysSoOnceARun) {
    zeltest::TTempDir dir;
    THistoryLog log(dir.File("sem-pasta/historico.log"));
    const std::string first = log.Append("a");
    EXPECT_NE(first.find(dir.File("sem-pasta/historico.log")), std::string::npos) << first;
    EXPECT_EQ(log.Append("b"), "");
    log.StartRun();
    EXPECT_NE(log.Append("c"), "");
    // Once the folder is there, the lines go in again.
    std::filesystem::create_directory(dir.Path() / "sem-pasta");
    EXPECT_EQ(log.Append("d"), "");
    EXPECT_EQ(dir.Read("sem-pasta/historico.log"), "d\n");
}

class HeardReporterTest : public ::testing::Test {
protected:
    TEventLog events;
    TFakeDesktop desktop{events};
    TFakeTimer timer{events};
    TListaComandos comandos;
    TActionContext ctx{comandos, desktop, timer, nullptr};
    zeltest::TTempDir dir;
    THeardReporter reporter;
    std::vector<std::string> shown;

    void SetUp() override {
        comandos.Append(TComando{"copiar", "", tcTecla, "CTRL+C"});
        ctx.Ativo = true;
        ctx.Prefs.ModoAdv = false;
        reporter.SetHistoryFile(dir.File(kHistoryFileName));
        reporter.OnHeard = [this](const THeardEntry& e) { shown.push_back(HeardLine(e)); };
    }
    static TUtteranceScore Score(const std::u16string& text, int32_t confidence, bool accepted) {
        TUtteranceScore s;
        s.Text = text;
        s.Confidence = confidence;
        s.Accepted = accepted;
        return s;
    }
    // The history without its time stamps.
    std::string History() const {
        std::string all = dir.Read(kHistoryFileName), out;
        size_t at = 0;
        while (at < all.size()) {
            size_t end = all.find('\n', at);
            out += all.substr(at + 20, end - at - 20) + "\n";
            at = end + 1;
        }
        return out;
    }
};

TEST_F(HeardReporterTest, RejectedAndAcceptedSentencesInPanelAndHistory) {
    reporter.Score(Score(u"trinta baixo", 26, false));
    reporter.Score(Score(u"copiar", 87, true));
    reporter.Result(ctx, u"copiar");
    EXPECT_EQ(events.Trace(TDesktopEvent::kKeys), "+11 +43 w10 -11 -43");
    EXPECT_EQ(shown, (std::vector<std::string>{"trinta baixo → rejeitado (26)", "copiar → CTRL+C (87)"}));
    EXPECT_EQ(History(), "trinta baixo\t26\trejeitado\t\ncopiar\t87\taceito\tCTRL+C\n");
    EXPECT_EQ(reporter.List().Entries().front().Sentence, "copiar");
}

TEST_F(HeardReporterTest, ARejectionByTheCommandCheckSaysSo) {
    TUtteranceScore s = Score(u"copiar copiar desfazer", 54, false);
    s.GrammarVerdict = -1;
    reporter.Score(s);
    EXPECT_EQ(shown, (std::vector<std::string>{"copiar copiar desfazer → rejeitado (54): não confere com os comandos"}));
    EXPECT_EQ(events.Trace(), "");
}

TEST_F(HeardReporterTest, HistoryOffWritesNothingButThePanelStillShows) {
    reporter.SetHistoryEnabled(false);
    reporter.Score(Score(u"copiar", 87, true));
    reporter.Result(ctx, u"copiar");
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / kHistoryFileName));
}

TEST_F(HeardReporterTest, AnUnwritableHistoryNeverStopsTheActions) {
    reporter.SetHistoryFile(dir.File("nada/historico.log"));
    std::vector<std::string> errors;
    reporter.OnHistoryError = [&](const std::string& m) { errors.push_back(m); };
    for (int i = 0; i < 3; ++i) {
        reporter.Score(Score(u"copiar", 87, true));
        reporter.Result(ctx, u"copiar");
    }
    EXPECT_EQ(events.Trace(TDesktopEvent::kKeys), "+11 +43 w10 -11 -43 +11 +43 w10 -11 -43 +11 +43 w10 -11 -43");
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(shown.size(), 3u);
}

TEST_F(HeardReporterTest, AFailingSentenceIsShownWithItsError) {
    ctx.Modificadores.Append(TComando{"muitos", "", 0, "x9"});
    reporter.Score(Score(u"muitos copiar", 80, true));
    EXPECT_THROW(reporter.Result(ctx, u"muitos copiar"), TError);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "muitos copiar → erro: 'x9' is not a valid integer value (80)");
}

}  // namespace
}  // namespace zel
