#include "recognition/RecognitionSwitch.h"

#include "actions/ActionContext.h"
#include "actions/Activation.h"
#include "actions/Interpretation.h"
#include "actions/NumericModifiers.h"
#include "commands/Cp1252.h"
#include "commands/TextUtil.h"
#include "langmodel/WrittenForm.h"
#include "recognition/decoding/SavedMeans.h"
#include "recognition/training/VoiceFolder.h"

namespace zel {

void GenerateRecognizerFiles(TSphinx& sphinx, TActionContext& ctx, const std::vector<std::string>& ditado,
                             const std::string& pastaExe) {
    TParserPortugues& parser = sphinx.Parser();
    // modnum.ini is read afresh only when the modifiers are wanted.
    if (ctx.Prefs.ModNum) LoadNumericModifiers(ctx, pastaExe);
    CountRecognizerVocabulary(parser, *ctx.Comandos, ctx.Prefs.ModNum ? &ctx.Modificadores : nullptr, ditado);

    parser.GenerateModelFiles(pastaExe);

    IRecognizerControl& control = sphinx.Control();
    control.ArgFile = Cp1252ToUtf16(pastaExe + "sphinx.arg");
    control.LogFile = Cp1252ToUtf16(pastaExe + "sphinx.log");
    control.NumberWords.clear();
    control.CommandPhrases.clear();
    if (ctx.Prefs.ModNum)
        for (const TComando& m : ctx.Modificadores)
            if (!m.Cmd.empty()) control.NumberWords.push_back(m.Cmd);
    for (const TComando& c : *ctx.Comandos)
        if (!c.Cmd.empty()) control.CommandPhrases.push_back(c.Cmd);
    // The model adapted to the user's voice, when a training made one.
    control.AcousticModel = Cp1252ToUtf16(AdaptedModelFolder(pastaExe));
    control.MeanFile = Cp1252ToUtf16(pastaExe + kSavedMeansFileName);
    sphinx.DicFile = pastaExe + kDictionaryFileName;
    sphinx.LMFile = pastaExe + kLanguageModelFileName;
    sphinx.WriteArgFile(pastaExe + "sphinx.arg");

    ctx.Ativo = StartingAtivo(ctx);
}

std::string ListeningStatus(const TActionContext& ctx) {
    if (StartingAtivo(ctx)) return kStatusListening;
    return ctx.Ativo ? kStatusListeningActive : kStatusListeningInactive;
}

namespace {

// The steps over the recognizer component and the action context.
class TSphinxSteps : public ISwitchSteps {
public:
    TSphinxSteps(TSphinx& sphinx, TActionContext& ctx) : sphinx_(sphinx), ctx_(ctx) {}
    void ProcessMessages() override { ctx_.Desktop->ProcessMessages(); }
    void SetTimes(int32_t tempoTecla, int32_t tempoAtivacao) override {
        ctx_.TempoTecla = tempoTecla;
        ctx_.TempoAtivacao = tempoAtivacao;
    }
    void StopActivationTimer() override { ctx_.TimerAtivo->SetEnabled(false); }
    void GenerateRecognizerFiles(const std::vector<std::string>& ditado, const std::string& pastaExe) override {
        zel::GenerateRecognizerFiles(sphinx_, ctx_, ditado, pastaExe);
    }
    void InitRecognizer() override { sphinx_.InitRecognizer(); }
    void StartRecognizer() override { sphinx_.StartRecognizer(); }
    void StopRecognizer() override { sphinx_.StopRecognizer(); }
    void HideIndicator() override { ActivationSwitchOff(ctx_); }
    bool HasActivationKey() override { return !Trim(ctx_.Prefs.TeclaAtivacao).empty(); }
    std::string ListeningStatus() override { return zel::ListeningStatus(ctx_); }
    std::string RecognizerNotice() override { return sphinx_.Control().Notice; }

private:
    TSphinx& sphinx_;
    TActionContext& ctx_;
};

}  // namespace

void RecognitionSwitchOn(ISwitchSteps& steps, ISwitchView& view, const TSwitchOnInput& input) {
    view.SetStatus(kStatusGenerating);
    steps.ProcessMessages();
    const int32_t tempoTecla = BoundedTempoTecla(StrToInt(input.TempoTeclas));
    const int32_t tempoAtivacao = BoundedTempoAtivacao(StrToInt(input.TempoAtivo));
    steps.SetTimes(tempoTecla, tempoAtivacao);
    steps.StopActivationTimer();
    steps.GenerateRecognizerFiles(input.Ditado, input.PastaExe);
    view.SetMenuButtonsEnabled(false);
    view.SetStatus(kStatusInitializing);
    steps.ProcessMessages();
    // A recognizer that cannot start leaves everything as it was before the
    // switch-on, and the status says what failed.
    try {
        steps.InitRecognizer();
    } catch (const std::exception& e) {
        RecognitionSwitchedOffBy(steps, view, kStatusRecognizerFailed + std::string(e.what()));
        throw;
    }
    view.SetStatus(kStatusInitialized);
    try {
        steps.StartRecognizer();
    } catch (const std::exception& e) {
        RecognitionSwitchedOffBy(steps, view, kStatusMicrophoneFailed + std::string(e.what()));
        throw;
    }
    if (steps.HasActivationKey()) {
        try {
            view.OpenKeyHook();
        } catch (...) {
            // Recognizer and switch back in line: recognition is off.
            steps.StopRecognizer();
            view.SetMenuButtonsEnabled(true);
            view.SetStatus(kStatusOff);
            throw;
        }
    }
    view.SetListening(true);
    view.SetStatus(steps.ListeningStatus());
    if (const std::string notice = steps.RecognizerNotice(); !notice.empty()) view.ShowNotice(notice);
}

void RecognitionSwitchOff(ISwitchSteps& steps, ISwitchView& view) {
    view.SetListening(false);
    steps.StopRecognizer();
    view.CloseKeyHook();
    view.SetMenuButtonsEnabled(true);
    steps.HideIndicator();
    view.SetStatus(kStatusOff);
}

void RecognitionSwitchedOffBy(ISwitchSteps& steps, ISwitchView& view, const std::string& status) {
    view.SetListening(false);
    // Each step on its own: one that fails must not keep the others from
    // bringing everything back to "off".
    auto tryStep = [](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
        }
    };
    tryStep([&] { steps.StopRecognizer(); });
    tryStep([&] { view.CloseKeyHook(); });
    tryStep([&] { steps.HideIndicator(); });
    view.SetMenuButtonsEnabled(true);
    view.ShowSwitchedOff();
    view.SetStatus(status);
}

void RecognitionSwitchOn(TSphinx& sphinx, TActionContext& ctx, ISwitchView& view, const TSwitchOnInput& input) {
    TSphinxSteps steps(sphinx, ctx);
    RecognitionSwitchOn(steps, view, input);
}

void RecognitionSwitchOff(TSphinx& sphinx, TActionContext& ctx, ISwitchView& view) {
    TSphinxSteps steps(sphinx, ctx);
    RecognitionSwitchOff(steps, view);
}

std::string SentenceFromResult(const std::u16string& result) {
    std::string text = Utf16ToCp1252(result);
    // Only the recognizer's words need their phrases back; blanks between
    // them stay as they came.
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    while (start <= text.size()) {
        size_t blank = text.find(' ', start);
        if (blank == std::string::npos) blank = text.size();
        out += WordFromWrittenForm(std::string_view(text).substr(start, blank - start));
        if (blank == text.size()) break;
        out += ' ';
        start = blank + 1;
    }
    return Trim(out);
}

void SphinxUtteranceResult(TActionContext& ctx, const std::u16string& result) {
    HandleSentence(ctx, SentenceFromResult(result));
}

}  // namespace zel
