#pragma once
// What the interpretation of a sentence and the actions read and change: the
// window owns one TActionContext for its whole life and keeps its fields in
// step with its controls (check boxes, sound path, activation key) as they
// change; the two times are taken again at every switch-on.
#include <cstdint>
#include <string>

#include "commands/Comandos.h"
#include "platform/Desktop.h"

namespace zel {

// The key hold and activation times a user can mean, whatever a settings
// file or a box says: a key held past a second is a stuck key to every
// application (and the program deaf meanwhile), and an activation time past
// a day would overflow the timer's milliseconds. An activation time of 0 or
// less keeps the commands active until the next activation command.
inline constexpr int32_t kMaxTempoTecla = 1000;      // ms
inline constexpr int32_t kMaxTempoAtivacao = 86400;  // s
inline int32_t BoundedTempoTecla(int32_t ms) { return ms < 0 ? 0 : ms > kMaxTempoTecla ? kMaxTempoTecla : ms; }
inline int32_t BoundedTempoAtivacao(int32_t s) { return s < 0 ? 0 : s > kMaxTempoAtivacao ? kMaxTempoAtivacao : s; }

// The preferences the interpretation and the activation state read. Each is
// read afresh whenever it is used, so a change takes effect at once.
struct TPreferencias {
    bool MultiCmd = true;           // chbMultiCmd "Aceitar multiplos comandos"
    bool ModNum = true;             // chbModNum "Moficadores numéricos"
    bool ModoAdv = true;            // chbModoAdv "Modo adventure"
    bool AtivaToggle = false;       // chbAtivaToggle "Manter Ativado": toggle mode when set, hold mode otherwise
    bool MostrarIndicador = true;   // chbMostrarIndicador "Mostrar indicador"
    std::string SomAtivacao;        // edtSomAtivacao: the activation sound (a WAV file)
    std::string TeclaAtivacao;      // edtTeclaAtivacao: the activation key's name, empty for none
};

class TActionContext {
public:
    // comandos: the profile's list (it outlives the context; the window's
    // profile state keeps the same list object across loads).
    // indicator: null while the hook library is not loaded: indicator calls
    // are then skipped.
    TActionContext(const TListaComandos& comandos, IDesktop& desktop, ITimer& timerAtivo, IIndicator* indicator)
        : Comandos(&comandos), Desktop(&desktop), TimerAtivo(&timerAtivo), Indicator(indicator) {}

    const TListaComandos* Comandos;   // searched for every word of a sentence
    TListaComandos Modificadores;     // numeric-modifier table (modnum.ini), empty at first
    std::string ModNumFile;           // another table than the program's own modnum.ini; empty: that one
    int32_t TempoTecla = 10;          // key hold time, ms (BoundedTempoTecla)
    int32_t TempoAtivacao = 5;        // activation time, s
    bool Ativo = false;               // command recognition active
    bool TeclaPressionada = false;    // the activation key is down (kept by the key handler)
    // A sentence whose speech began while Ativo was set is handled as active
    // however long it is: the timer's end waits for the sentence's result.
    bool FalaComecouAtiva = false;    // the sentence being heard began while Ativo
    bool FimDaAtivacaoAdiado = false; // the timer ran out during that sentence
    TPreferencias Prefs;

    IDesktop* Desktop;
    ITimer* TimerAtivo;               // its tick must call ActivationTimerTick
    IIndicator* Indicator;
};

}  // namespace zel
