#include "actions/Activation.h"

#include <cstdint>
#include <limits>

#include "commands/TextUtil.h"

namespace zel {

void PlayWave(TActionContext& ctx, const std::string& wavFile) { ctx.Desktop->PlaySoundAsync(wavFile); }

void ShowIndicator(TActionContext& ctx) {
    if (ctx.Indicator) ctx.Indicator->Show();
}

void HideIndicator(TActionContext& ctx) {
    if (ctx.Indicator) ctx.Indicator->Hide();
}

void RunActivationCommand(TActionContext& ctx) {
    // The command decides anew; an end that waited for this sentence is void.
    ctx.FimDaAtivacaoAdiado = false;
    if (ctx.Prefs.AtivaToggle) {
        ctx.Ativo = !ctx.Ativo;
    } else if (ctx.TempoAtivacao <= 0) {
        // No time to count down: commands stay active until the next
        // activation command turns them off (a timer of 0 ms would end the
        // activation at once).
        ctx.TimerAtivo->SetEnabled(false);
        ctx.Ativo = !ctx.Ativo;
        if (!ctx.Ativo) HideIndicator(ctx);
    } else {
        ctx.Ativo = true;
        // Seconds to milliseconds without overflow: a huge activation time
        // stays the longest interval the timer takes.
        int64_t ms = static_cast<int64_t>(ctx.TempoAtivacao) * 1000;
        if (ms > std::numeric_limits<int32_t>::max()) ms = std::numeric_limits<int32_t>::max();
        ctx.TimerAtivo->SetEnabled(false);
        ctx.TimerAtivo->SetInterval(static_cast<int32_t>(ms));
        ctx.TimerAtivo->SetEnabled(true);
    }
    // The command plays the sound whatever the new state, even with an empty
    // path (the desktop stays silent then).
    PlayWave(ctx, ctx.Prefs.SomAtivacao);
    if (ctx.Ativo && ctx.Prefs.MostrarIndicador) ShowIndicator(ctx);
}

void ActivationTimerTick(TActionContext& ctx) {
    ctx.TimerAtivo->SetEnabled(false);
    if (ctx.FalaComecouAtiva && ctx.Ativo) {
        ctx.FimDaAtivacaoAdiado = true;
        return;
    }
    ctx.Ativo = false;
    HideIndicator(ctx);
}

void UtteranceBegan(TActionContext& ctx) {
    ctx.FalaComecouAtiva = ctx.Ativo;
}

bool UtteranceDone(TActionContext& ctx) {
    ctx.FalaComecouAtiva = false;
    if (!ctx.FimDaAtivacaoAdiado) return false;
    ctx.FimDaAtivacaoAdiado = false;
    const bool was = ctx.Ativo;
    ActivationTimerTick(ctx);
    return was != ctx.Ativo;
}

void RestartActivationTimer(TActionContext& ctx) {
    if (ctx.FimDaAtivacaoAdiado) {
        // The sentence's command keeps commands active: the countdown starts over.
        ctx.FimDaAtivacaoAdiado = false;
        ctx.TimerAtivo->SetEnabled(true);
        return;
    }
    if (!ctx.TimerAtivo->Enabled()) return;
    ctx.TimerAtivo->SetEnabled(false);
    ctx.Desktop->ProcessMessages();
    ctx.TimerAtivo->SetEnabled(true);
}

bool StartingAtivo(const TActionContext& ctx) {
    if (!Trim(ctx.Prefs.TeclaAtivacao).empty()) return false;
    for (const TComando& c : *ctx.Comandos) {
        if (c.Acao == tcAtivacao) return false;
    }
    return true;
}

void ActivationSwitchOn(TActionContext& ctx) {
    ctx.TimerAtivo->SetEnabled(false);
    ctx.FalaComecouAtiva = ctx.FimDaAtivacaoAdiado = false;
    ctx.Ativo = StartingAtivo(ctx);
}

void ActivationSwitchOff(TActionContext& ctx) { HideIndicator(ctx); }

}  // namespace zel
