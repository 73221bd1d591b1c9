#pragma once
// The activation key: what the main window does with each key report of the
// hook library (WM_ACTIVATIONKEY, message 0x1400). Hold mode: the key
// activates command recognition while it is held. Toggle mode ("Manter
// Ativado"): each press flips it.
//
// The activation timer's tick (timerAtivoTimer) is ActivationTimerTick of
// actions/Activation.h: it clears Ativo, stops the timer and hides the
// indicator.
#include "actions/ActionContext.h"

#include <cstdint>

namespace zel {

// The WM_ACTIVATIONKEY handler. wParam's low 16 bits are the virtual-key
// code, lParam's bit 31 is set for a release. Reports of any other key than
// the one named by ctx.Prefs.TeclaAtivacao (compared untrimmed), and repeated
// presses of the held key, change nothing. Otherwise: on a press Ativo is set
// (hold) or inverted (toggle), on a release cleared (hold) or kept (toggle);
// the sound plays when Ativo is now set and the sound path is not blank; the
// indicator is shown when Ativo is set and "Mostrar indicador" is ticked,
// hidden in every other case. The timer is not touched.
void ActivationKeyMessage(TActionContext& ctx, uint32_t wParam, uint32_t lParam);

}  // namespace zel
