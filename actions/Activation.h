#pragma once
// The activation state: Ativo, the activation timer, the sound and the
// on-screen indicator. The activation key's handler (recognition/hook) and the
// window drive it through these calls and the context's fields.
#include <string>

#include "actions/ActionContext.h"

namespace zel {

// Plays a WAV file without waiting (PlayWave). The file's text is passed as
// it stands; a file that cannot be played is silently skipped by the desktop.
void PlayWave(TActionContext& ctx, const std::string& wavFile);

// The indicator calls of the hook library; nothing when it is not loaded.
void ShowIndicator(TActionContext& ctx);
void HideIndicator(TActionContext& ctx);

// The activation command (tcAtivacao): in hold mode sets Ativo and starts the
// timer over with TempoAtivacao seconds; with a time of 0 or less, and in
// toggle mode, inverts Ativo and leaves the timer stopped or alone. Plays the sound every time, shows the indicator
// when Ativo is now set (and the preference allows it).
void RunActivationCommand(TActionContext& ctx);

// The activation timer's tick: clears Ativo, stops the timer (one tick only),
// hides the indicator. During a sentence that began while Ativo the end
// waits for UtteranceDone (the timer stopped meanwhile).
void ActivationTimerTick(TActionContext& ctx);

// The recognizer heard speech begin: whether commands were active then.
void UtteranceBegan(TActionContext& ctx);
// The sentence's last event (its result handled, or its rejection): an
// activation that ran out during it ends now. True when Ativo changed.
bool UtteranceDone(TActionContext& ctx);

// Restarts a running activation timer so that its countdown starts over;
// lets the program handle its pending messages between stop and start.
// Does nothing when the timer is stopped, unless its end waits for the
// sentence (a command in that sentence keeps commands active).
void RestartActivationTimer(TActionContext& ctx);

// The starting value of Ativo for a run of recognition: set, unless an
// activation key is configured or the profile holds an activation command.
bool StartingAtivo(const TActionContext& ctx);
// Switch-on: stops the timer and sets Ativo to its starting value.
void ActivationSwitchOn(TActionContext& ctx);
// Switch-off: hides the indicator; Ativo and the timer stay as they are.
void ActivationSwitchOff(TActionContext& ctx);

}  // namespace zel
