#include "actions/Interpretation.h"

#include <string>

#include "actions/Actions.h"
#include "actions/Activation.h"
#include "actions/NumericModifiers.h"
#include "commands/ParseString.h"

namespace zel {

namespace {
constexpr uint8_t kVkEnter = 0x0D;
}

TActionRecords HandleSentence(TActionContext& ctx, std::string_view sentence) {
    TActionRecords done;
    int32_t repeat = 1;
    int32_t last = mrCommand;
    if (ctx.Prefs.MultiCmd) {
        // Each word alone: a modifier sets the count for the commands after
        // it, anything else is a command or text.
        TParsedString pieces = ParseString(sentence, ' ');
        for (const std::string& piece : pieces.Items) {
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
    if (ctx.Ativo) {
        TypeText(ctx, std::string(word) + " ");
        if (done) done->push_back(TActionRecord{TActionKind::Typed, std::string(word), 0, {}, 1, true, true});
        return mrTyped;
    }
    if (done) done->push_back(TActionRecord{TActionKind::Ignored, std::string(word), 0, {}, 1, false, false});
    return mrIgnored;
}

}  // namespace zel
