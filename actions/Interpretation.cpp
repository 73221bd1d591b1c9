#include "actions/Interpretation.h"

#include <string>

#include "actions/Actions.h"
#include "actions/Activation.h"
#include "actions/NumericModifiers.h"
#include "commands/ParseString.h"

namespace zel {

namespace {
constexpr uint8_t kVkEnter = 0x0D;

// Types the word and a blank while Ativo is set; otherwise nothing.
int32_t TypeWord(TActionContext& ctx, std::string_view word, TActionRecords* done) {
    if (ctx.Ativo) {
        TypeText(ctx, std::string(word) + " ");
        if (done) done->push_back(TActionRecord{TActionKind::Typed, std::string(word), 0, {}, 1, true, true});
        return mrTyped;
    }
    if (done) done->push_back(TActionRecord{TActionKind::Ignored, std::string(word), 0, {}, 1, false, false});
    return mrIgnored;
}

bool IsActivationCommand(const TActionContext& ctx, std::string_view word) {
    const int32_t index = ctx.Comandos->FindPhrase(word);
    return index >= 0 && (*ctx.Comandos)[index].Acao == tcAtivacao;
}

}  // namespace

bool IsDictatedSentence(const TActionContext& ctx, const std::vector<std::string>& words) {
    for (const std::string& w : words)
        if (!IsNumericModifier(ctx, w) && ctx.Comandos->FindPhrase(w) < 0) return true;
    return false;
}

TActionRecords HandleSentence(TActionContext& ctx, std::string_view sentence) {
    TActionRecords done;
    int32_t repeat = 1;
    int32_t last = mrCommand;
    const TParsedString words = ParseString(sentence, ' ');
    if (ctx.Prefs.MultiCmd && IsDictatedSentence(ctx, words.Items)) {
        // Dictation: the words are typed as they were said, number words and
        // command words too (a "não" or "um" of the text is no command and no
        // count). Two commands act: the activation command anywhere (said in
        // the same breath before the text, it still switches commands on),
        // and a command that is the sentence's last word (said in the same
        // breath after the text); a command word inside the text was nearly
        // always a word of the text misheard.
        for (size_t i = 0; i < words.Items.size(); ++i) {
            const std::string& word = words.Items[i];
            const bool acts = IsActivationCommand(ctx, word) ||
                              (i + 1 == words.Items.size() && ctx.Comandos->FindPhrase(word) >= 0);
            last = acts ? ExecuteCommandWord(ctx, word, 1, &done) : TypeWord(ctx, word, &done);
        }
    } else if (ctx.Prefs.MultiCmd) {
        // Each word alone: a modifier sets the count for the commands after
        // it, anything else is a command or text.
        for (const std::string& piece : words.Items) {
            int32_t count = FindNumericModifier(ctx, piece);
            if (count >= 0)
                repeat = count;
            else
                last = ExecuteCommandWord(ctx, piece, repeat, &done);
        }
    } else {
        last = ExecuteCommandWord(ctx, sentence, 1, &done);
    }
    // Adventure mode: a sentence that ended in typed text is sent with Enter.
    if (last == mrTyped && ctx.Prefs.ModoAdv) {
        ctx.Desktop->KeyDown(kVkEnter);
        ctx.Desktop->Sleep(ctx.TempoTecla);
        ctx.Desktop->KeyUp(kVkEnter);
        done.push_back(TActionRecord{TActionKind::Enter, {}, 0, {}, 1, true, ctx.Ativo});
    }
    return done;
}

int32_t ExecuteCommandWord(TActionContext& ctx, std::string_view word, int32_t repeat, TActionRecords* done) {
    int32_t index = ctx.Comandos->FindPhrase(word);
    if (index >= 0) {
        // A copy: the list may be replaced (a profile loaded) while pending
        // messages are handled between two repetitions.
        const TComando command = (*ctx.Comandos)[index];
        // Whether the command acts is decided by Ativo as it stands before
        // it runs; only the activation command acts regardless.
        TActionRecord record{TActionKind::Command, std::string(word), command.Acao, command.Args, repeat,
                             ctx.Ativo || command.Acao == tcAtivacao, ctx.Ativo};
        for (int32_t i = 0; i < repeat; ++i) {
            switch (command.Acao) {
                case tcExecucao:
                    if (ctx.Ativo) LaunchProgram(ctx, command);
                    break;
                case tcTecla:
                    if (ctx.Ativo) PressKeyCombination(ctx, command);
                    break;
                case tcAtivacao:
                    RunActivationCommand(ctx);
                    break;
                case tcDigitacao:
                    if (ctx.Ativo) TypeTextCommand(ctx, command);
                    break;
                default:
                    break;
            }
            RestartActivationTimer(ctx);
        }
        record.AtivoAfter = ctx.Ativo;
        if (done) done->push_back(std::move(record));
        return mrCommand;
    }
    return TypeWord(ctx, word, done);
}

}  // namespace zel
