#include "recognition/RecognitionSwitch.h"

#include "actions/Activation.h"
#include "actions/Interpretation.h"
#include "actions/NumericModifiers.h"
#include "commands/Cp1252.h"
#include "commands/TextUtil.h"
#include "langmodel/WrittenForm.h"
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
    sphinx.DicFile = pastaExe + kDictionaryFileName;
    sphinx.LMFile = pastaExe + kLanguageModelFileName;
    sphinx.WriteArgFile(pastaExe + "sphinx.arg");

    ctx.Ativo = StartingAtivo(ctx);
}

void RecognitionSwitchOn(TSphinx& sphinx, TActionContext& ctx, ISwitchView& view, const TSwitchOnInput& input) {
    view.SetStatus(kStatusGenerating);
    ctx.Desktop->ProcessMessages();
    ctx.TempoTecla = StrToInt(input.TempoTeclas);
    ctx.TempoAtivacao = StrToInt(input.TempoAtivo);
    ctx.TimerAtivo->SetEnabled(false);
    GenerateRecognizerFiles(sphinx, ctx, input.Ditado, input.PastaExe);
    view.SetMenuButtonsEnabled(false);
    view.SetStatus(kStatusInitializing);
    ctx.Desktop->ProcessMessages();
    // The buttons come back with a failure of the recognizer: nothing runs
    // that would need them kept from the user.
    auto failed = [&](const char* prefix, const std::exception& e) {
        view.SetMenuButtonsEnabled(true);
        view.SetStatus(prefix + std::string(e.what()));
    };
    try {
        sphinx.InitRecognizer();
    } catch (const std::exception& e) {
        failed(kStatusRecognizerFailed, e);
        throw;
    }
    view.SetStatus(kStatusInitialized);
    try {
        sphinx.StartRecognizer();
    } catch (const std::exception& e) {
        // Whatever of the run did start goes.
        try {
            sphinx.StopRecognizer();
        } catch (const std::exception&) {
        }
        failed(kStatusMicrophoneFailed, e);
        throw;
    }
    if (!Trim(ctx.Prefs.TeclaAtivacao).empty()) view.OpenKeyHook();
    view.SetStatus(ListeningStatus(ctx));
}

std::string ListeningStatus(const TActionContext& ctx) {
    if (StartingAtivo(ctx)) return kStatusListening;
    return ctx.Ativo ? kStatusListeningActive : kStatusListeningInactive;
}

void RecognitionSwitchOff(TSphinx& sphinx, TActionContext& ctx, ISwitchView& view) {
    sphinx.StopRecognizer();
    view.CloseKeyHook();
    view.SetMenuButtonsEnabled(true);
    ActivationSwitchOff(ctx);
    view.SetStatus(kStatusOff);
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
