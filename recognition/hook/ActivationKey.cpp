#include "ActivationKey.h"

#include "ActivationMessage.h"
#include "actions/Activation.h"
#include "commands/KeyNames.h"
#include "commands/TextUtil.h"

namespace zel {

void ActivationKeyMessage(TActionContext& ctx, uint32_t wParam, uint32_t lParam) {
    const TActivationKeyMessage message = DecodeActivationKey(wParam, lParam);
    const uint8_t activationKey = KeyNameToCode(ctx.Prefs.TeclaAtivacao);
    // No activation key names no key: nothing matches it.
    if (activationKey == kNoKey || message.key != activationKey) return;
    // The keyboard's auto-repeat of the held key.
    if (!message.released && ctx.TeclaPressionada) return;

    ctx.TeclaPressionada = !message.released;
    if (message.released) {
        if (!ctx.Prefs.AtivaToggle) ctx.Ativo = false;
    } else {
        ctx.Ativo = ctx.Prefs.AtivaToggle ? !ctx.Ativo : true;
    }

    if (ctx.Ativo && !Trim(ctx.Prefs.SomAtivacao).empty()) PlayWave(ctx, ctx.Prefs.SomAtivacao);
    if (ctx.Ativo && ctx.Prefs.MostrarIndicador)
        ShowIndicator(ctx);
    else
        HideIndicator(ctx);
}

}  // namespace zel
