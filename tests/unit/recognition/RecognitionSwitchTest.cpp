#include "recognition/RecognitionSwitch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "commands/Cp1252.h"
#include "actions/NumericModifiers.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "langmodel/WrittenForm.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/FakeRecognizer.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

// The window's side, recorded; each entry also notes the control's calls so far.
class TRecordingView : public ISwitchView {
public:
    explicit TRecordingView(const TFakeRecognizerControl& control) : control_(control) {}
    void SetStatus(const std::string& caption) override { Add("status:" + caption); }
    void SetMenuButtonsEnabled(bool enabled) override { Add(enabled ? "buttons:on" : "buttons:off"); }
    void OpenKeyHook() override {
        if (!FailHook.empty()) throw TError(FailHook);
        Add("hook:open");
    }
    void CloseKeyHook() override { Add("hook:close"); }

    std::vector<std::string> Steps;
    std::string Status;
    std::string FailHook;

private:
    void Add(const std::string& what) {
        Steps.push_back(what + " [" + control_.Trace() + "]");
        if (what.rfind("status:", 0) == 0) Status = what.substr(7);
    }
    const TFakeRecognizerControl& control_;
};

TComando Command(const std::string& phrase, uint8_t acao, const std::string& args) {
    TComando c;
    c.Cmd = phrase;
    c.Fonemas = TParserPortugues::TextToPhonemes(phrase);
    c.Acao = acao;
    c.Args = args;
    return c;
}

class RecognitionSwitch : public ::testing::Test {
protected:
    RecognitionSwitch() : desktop(log), timer(log), indicator(log), ctx(comandos, desktop, timer, &indicator) {
        std::filesystem::create_directories(dir.Path() / "sphinx");
        dir.Write("sphinx/sphinx.arg.default", "-hmm /modelo\r\n-dither yes\r\n");
        auto control = std::make_unique<TFakeRecognizerControl>();
        fake = control.get();
        sphinx = std::make_unique<TSphinx>(std::move(control), pasta + "sphinx/");
        view = std::make_unique<TRecordingView>(*fake);
        comandos.Append(Command("copiar", tcTecla, "CTRL+C"));
        comandos.Append(Command("baixo", tcTecla, "DOWN"));
        comandos.Append(Command("abrir navegador", tcTecla, "F5"));
        comandos.Append(Command("", tcTecla, "F6"));
        input.TempoTeclas = "20";
        input.TempoAtivo = "7";
        input.PastaExe = pasta;
    }
    std::string Dictionary() { return dir.Read("dictionary.dic"); }

    zeltest::TTempDir dir;
    std::string pasta = dir.File("");
    TEventLog log;
    TFakeDesktop desktop;
    TFakeTimer timer;
    TFakeIndicator indicator;
    TListaComandos comandos;
    TActionContext ctx;
    TFakeRecognizerControl* fake = nullptr;
    std::unique_ptr<TSphinx> sphinx;
    std::unique_ptr<TRecordingView> view;
    TSwitchOnInput input;
};

TEST_F(RecognitionSwitch, SwitchOnRunsItsStepsInOrder) {
    timer.SetEnabled(true);
    log.Clear();
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_EQ(view->Steps, (std::vector<std::string>{"status:Gerando arquivos []", "buttons:off []",
                                                     "status:Inicializando Sphinx []",
                                                     "status:Sphinx Inicializado [init]",
                                                     "status:Ouvindo\x85 [init start]"}));
    EXPECT_EQ(fake->Trace(), "init start");
    EXPECT_TRUE(fake->Listening());
    // The pump after each of the two status texts; the timer stopped first.
    EXPECT_EQ(log.Trace(TDesktopEvent::ProcessMessages | TDesktopEvent::TimerEnabled), "pump timer:off pump");
    EXPECT_EQ(ctx.TempoTecla, 20);
    EXPECT_EQ(ctx.TempoAtivacao, 7);
    // The control reads the files of the program's folder.
    EXPECT_EQ(fake->Calls()[0].ArgFile, Cp1252ToUtf16(pasta + "sphinx.arg"));
    EXPECT_EQ(fake->Calls()[0].LogFile, Cp1252ToUtf16(pasta + "sphinx.log"));
    EXPECT_EQ(sphinx->LMFile, pasta + "languagemodel.lm");
    EXPECT_EQ(sphinx->DicFile, pasta + "dictionary.dic");
    EXPECT_EQ(dir.Read("sphinx.arg"), "-hmm /modelo\r\n-dither yes\r\n-lmfn " + pasta + "languagemodel.lm\r\n-dictfn " +
                                          pasta + "dictionary.dic\r\n");
    // Commands run at once: no activation command, no activation key.
    EXPECT_TRUE(ctx.Ativo);
}

TEST_F(RecognitionSwitch, AnAdaptedVoiceIsLoadedWhileTheArgumentFileStaysTheUsers) {
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    RecognitionSwitchOff(*sphinx, ctx, *view);
    EXPECT_EQ(fake->Calls()[0].AcousticModel, u"");
    // A training left its model in voz/: the next switch-on loads it.
    std::filesystem::create_directories(dir.Path() / "voz");
    dir.Write("voz/mdef", "m");
    dir.Write("voz/means", "m");
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_EQ(fake->Calls().back().Method, "start");
    EXPECT_EQ(fake->Calls().back().AcousticModel, Cp1252ToUtf16(pasta + "voz"));
    EXPECT_EQ(dir.Read("sphinx.arg"), "-hmm /modelo\r\n-dither yes\r\n-lmfn " + pasta + "languagemodel.lm\r\n-dictfn " +
                                          pasta + "dictionary.dic\r\n");
    RecognitionSwitchOff(*sphinx, ctx, *view);
    // Forgotten: the installed model again.
    std::filesystem::remove_all(dir.Path() / "voz");
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_EQ(fake->Calls().back().AcousticModel, u"");
}

TEST_F(RecognitionSwitch, TheFilesHoldEveryPhraseInTheFormTheRecognizerReads) {
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    std::string dic = Dictionary();
    EXPECT_NE(dic.find("copiar\t" + Trim(TParserPortugues::TextToPhonemes("copiar"))), std::string::npos) << dic;
    // A phrase of two words is one word for the recognizer.
    std::string written = WrittenForm("abrir navegador");
    EXPECT_EQ(written.find(' '), std::string::npos);
    EXPECT_NE(dic.find(written + "\t"), std::string::npos) << dic;
    std::string lm = dir.Read("languagemodel.lm");
    EXPECT_NE(lm.find("<s> " + written + " </s>"), std::string::npos) << lm;
    EXPECT_EQ(lm.find("abrir navegador"), std::string::npos);
    // ...and comes back as the phrase.
    EXPECT_EQ(SentenceFromResult(Cp1252ToUtf16(written)), "abrir navegador");
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "tokens.ubt"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "zellm.zlm"));
}

TEST_F(RecognitionSwitch, ATabInsideAPhraseStaysInTheWordAndOutOfThePronunciation) {
    comandos.Append(Command("fechar\tjanela", tcTecla, "ALT+F4"));
    comandos.At(comandos.Count() - 1).Fonemas = "F EH SH AA R\tZH AA N EH L AA ";
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    std::string written = WrittenForm("fechar\tjanela");
    EXPECT_NE(Dictionary().find("\r\n" + written + "\tF EH SH AA R ZH AA N EH L AA\r\n"), std::string::npos)
        << Dictionary();
    EXPECT_EQ(SentenceFromResult(Cp1252ToUtf16(written)), "fechar\tjanela");
}

TEST_F(RecognitionSwitch, NumberWordsComeFromModnumIniOnlyWhenTicked) {
    dir.Write("modnum.ini", "[modnum]\r\nnum=1\r\n[num0]\r\ncmd=dois\r\nnum=2\r\nfonemas=D OY S\r\n");
    ctx.Prefs.ModNum = false;
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_EQ(Dictionary().find("dois\t"), std::string::npos);
    EXPECT_EQ(ctx.Modificadores.Count(), 0);
    RecognitionSwitchOff(*sphinx, ctx, *view);

    ctx.Prefs.ModNum = true;
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_NE(Dictionary().find("dois\tD OY S"), std::string::npos);
    EXPECT_EQ(ctx.Modificadores.Count(), 1);
}

TEST_F(RecognitionSwitch, TheDictationMemosBundleReachesTheModel) {
    input.Ditado = {"### UNI ###", "3\tCASA", "", "### BI ###", "### TRI ###", "### ENDUBT ###", "### DIC ###",
                    "CASA\tK AA Z AA", "### ENDDIC ###"};
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_NE(Dictionary().find("CASA\tK AA Z AA"), std::string::npos);
    EXPECT_NE(dir.Read("languagemodel.lm").find("CASA"), std::string::npos);
}

TEST_F(RecognitionSwitch, TheBoxesTimesAreKeptToTheirRange) {
    input.TempoTeclas = "2147483647";
    input.TempoAtivo = "99999999";
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_EQ(ctx.TempoTecla, 1000);
    EXPECT_EQ(ctx.TempoAtivacao, 86400);
    RecognitionSwitchOff(*sphinx, ctx, *view);
    input.TempoTeclas = "-50";
    input.TempoAtivo = "-1";
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_EQ(ctx.TempoTecla, 0);
    EXPECT_EQ(ctx.TempoAtivacao, 0);
}

TEST_F(RecognitionSwitch, AnInvalidTimeStopsBeforeAnythingIsGenerated) {
    input.TempoTeclas = "dez";
    try {
        RecognitionSwitchOn(*sphinx, ctx, *view, input);
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "'dez' is not a valid integer value");
    }
    EXPECT_EQ(view->Status, "Gerando arquivos");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "dictionary.dic"));
    EXPECT_EQ(fake->Trace(), "");
}

TEST_F(RecognitionSwitch, AFailingInitSaysSoGivesTheButtonsBackAndDoesNotStart) {
    fake->FailInit = "O reconhecedor recusou o modelo: motivo";
    try {
        RecognitionSwitchOn(*sphinx, ctx, *view, input);
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "O reconhecedor recusou o modelo: motivo");
    }
    EXPECT_EQ(view->Status, "Reconhecedor indispon\xEDvel: O reconhecedor recusou o modelo: motivo");
    EXPECT_EQ(view->Steps[1], "buttons:off []");
    // The switch-off's steps, each on its own: nothing of the run was started.
    EXPECT_EQ(view->Steps.end()[-2], "buttons:on [init stop]");
    EXPECT_EQ(fake->Trace(), "init stop");
    // A second switch-on repeats everything.
    fake->FailInit.clear();
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_EQ(fake->Trace(), "init stop init start");
}

TEST_F(RecognitionSwitch, AMicrophoneThatFailsToOpenIsNamedAndNothingKeepsRunning) {
    fake->FailStart = "Connection refused";
    EXPECT_THROW(RecognitionSwitchOn(*sphinx, ctx, *view, input), TError);
    EXPECT_EQ(view->Status, "Microfone indispon\xEDvel: Connection refused");
    EXPECT_EQ(view->Steps.end()[-2], "buttons:on [init start stop]");
    EXPECT_FALSE(fake->Listening());
}

TEST_F(RecognitionSwitch, AMissingRecognizerFolderEndsTheSwitchAfterTheModelFiles) {
    std::filesystem::remove_all(dir.Path() / "sphinx");
    try {
        RecognitionSwitchOn(*sphinx, ctx, *view, input);
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), RecognizerFolderMissingMessage());
    }
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "dictionary.dic"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "sphinx.arg"));
    EXPECT_EQ(view->Steps, (std::vector<std::string>{"status:Gerando arquivos []"}));  // buttons still enabled
    EXPECT_EQ(fake->Trace(), "");
}

TEST_F(RecognitionSwitch, AnActivationKeyOpensTheHookAndWaitsForActivation) {
    ctx.Prefs.TeclaAtivacao = "  F12 ";
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_EQ(view->Steps.end()[-2], "hook:open [init start]");
    // The commands wait for the key, and the status says so.
    EXPECT_EQ(view->Steps.back(), "status:Ouvindo \x97 comandos desativados [init start]");
    EXPECT_FALSE(ctx.Ativo);
    ctx.Ativo = true;
    EXPECT_EQ(ListeningStatus(ctx), "Ouvindo \x97 comandos ativados");
}

TEST_F(RecognitionSwitch, AKeyHookThatFailsStopsTheRecognizerAndSaysRecognitionIsOff) {
    ctx.Prefs.TeclaAtivacao = "F12";
    view->FailHook = "Erro ao criar arquivo de mem\xF3ria";
    EXPECT_THROW(RecognitionSwitchOn(*sphinx, ctx, *view, input), TError);
    EXPECT_EQ(view->Steps.end()[-2], "buttons:on [init start stop]");
    EXPECT_EQ(view->Status, "Reconhecimento Desligado");
    EXPECT_FALSE(fake->Listening());
}

TEST_F(RecognitionSwitch, AnActivationCommandMakesTheRunStartInactive) {
    comandos.Append(Command("computador", tcAtivacao, ""));
    ctx.Prefs.TeclaAtivacao = " \t";
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    EXPECT_FALSE(ctx.Ativo);
    EXPECT_EQ(view->Steps.end()[-2], "status:Sphinx Inicializado [init]");  // no hook
}

TEST_F(RecognitionSwitch, SwitchOffStopsClosesEnablesHidesAndSaysSo) {
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    view->Steps.clear();
    log.Clear();
    RecognitionSwitchOff(*sphinx, ctx, *view);
    EXPECT_EQ(view->Steps, (std::vector<std::string>{"hook:close [init start stop]", "buttons:on [init start stop]",
                                                     "status:Reconhecimento Desligado [init start stop]"}));
    EXPECT_EQ(log.Trace(TDesktopEvent::IndicatorHide), "hide");
    EXPECT_FALSE(fake->Listening());
}

TEST_F(RecognitionSwitch, AHeardSentenceIsConvertedTrimmedAndInterpreted) {
    RecognitionSwitchOn(*sphinx, ctx, *view, input);
    dir.Write("modnum.ini", "[modnum]\r\nnum=1\r\n[num0]\r\ncmd=dois\r\nnum=2\r\nfonemas=D OY S\r\n");
    LoadNumericModifiers(ctx, pasta);
    fake->OnUtteranceResult = [&](const std::u16string& r) { SphinxUtteranceResult(ctx, r); };
    log.Clear();
    ASSERT_TRUE(fake->Hear(u" DOIS BAIXO\t"));
    EXPECT_EQ(log.Trace(TDesktopEvent::KeyDown | TDesktopEvent::KeyUp), "+28 -28 +28 -28");
}

TEST_F(RecognitionSwitch, ResultsMapWrittenFormsBackAndKeepOrdinaryWords) {
    EXPECT_EQ(SentenceFromResult(u"  casa  "), "casa");
    EXPECT_EQ(SentenceFromResult(Cp1252ToUtf16(WrittenForm("abrir navegador") + " dois " + WrittenForm("a+b"))),
              "abrir navegador dois a+b");
    EXPECT_EQ(SentenceFromResult(u"ação"), Utf8ToCp1252("ação"));
    EXPECT_EQ(SentenceFromResult(u""), "");
}

}  // namespace
}  // namespace zel
