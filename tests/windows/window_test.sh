#!/usr/bin/env bash
# zel.exe, the Windows window, under Wine on a private X server with a
# notification area (trayer), driven as a user drives it: by clicks. It
# opens 576 x 432 and shaped; every page is reached by clicks; a profile is
# loaded through the file dialog; switching on over a recording (-audiofile
# in the argument file) makes the spoken commands reach an EDIT control of
# another Windows application, and the heard panel shows them; the tray icon
# and its menu work; a second start leaves one window; config.ini is written
# when the session ends and at close, its eleven keys first, in order, CR LF.
# With ZEL_WINDOW_PICTURES=FOLDER the pages are also photographed there.
# window_test.sh WINE_RUN RUNTIME_FOLDER EDIT_CLIENT.exe WINDOW_PROBE.exe WINEPREFIX
WINE_RUN=$1 RUNTIME=$2 CLIENT=$3 PROBE=$4
export ZEL_WINEPREFIX=$5
source "$(dirname "$0")/lib.sh"
start_xvfb
trayer --edge top --align right --widthtype pixel --width 100 --height 24 > "$T/trayer.log" 2>&1 &
PIDS+=($!)
# Wine looks for the notification area when it starts: trayer first.
for ((i = 0; i < 50; i++)); do xwininfo -root -tree | grep -q '("panel" "trayer")' && break; sleep 0.1; done
sleep 0.5

# The program's own folder, of its own: it writes its settings and files there.
cp -al "$RUNTIME" "$T/zel"
rm -f "$T/zel/config.ini" "$T/zel/sphinx.arg"
probe() { "$WINE_RUN" "$PROBE" "$@"; }
click() {
  local x y
  read -r x y < <(probe centre "$1") || fail "no control $1"
  xdotool mousemove "$x" "$y" click 1
  sleep 0.6
}
# Until the probe's answer is the one wanted.
expect() {
  local want=$1 i got=""
  shift
  for ((i = 0; i < 50; i++)); do
    got=$(probe "$@" 2>/dev/null || true)
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  fail "$* is \"$got\", not \"$want\""
}
picture() {
  [ -n "${ZEL_WINDOW_PICTURES:-}" ] || return 0
  local x y w h
  # No pointer over the window (a hint would show), nothing in front of it.
  xdotool mousemove 1023 767
  [ -n "${app:-}" ] && xdotool windowmove "$app" 0 640 2>/dev/null
  sleep 0.8
  read -r x y w h < <(probe window)
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$ZEL_WINDOW_PICTURES/$1.png"
}

"$WINE_RUN" "$T/zel/zel.exe" > "$T/zel.log" 2>&1 &
PIDS+=($!)
expect menu page
read -r wx wy ww wh < <(probe window)
[ "$ww $wh" = "576 432" ] || fail "the window is $ww x $wh"
# Shaped: the corner of the window is not the window's.
xwininfo -root -tree | grep -q '"MORO Zel"' || fail "no window"
wid=$(xdotool search --name '^MORO Zel$' | head -1)
# The outline's bounding box lies inside the window: its corners are cut away.
shape=$(xwininfo -shape -id "$wid" | sed -n 's/.*Window shape extents: *//p')
[ -n "$shape" ] && [ "$shape" != "576x432+0+0" ] || fail "the window is not shaped ($shape)"
expect "Reconhecimento Desligado" text lblStatus
picture win_menu

# The profile, through the dialog, from the profiles folder it opens in.
cat > "$T/zel/profiles/teste.zpr" <<EOF
[geral]
numcomandos=2
[cmd0]
cmd=copiar
acao=1
args=CTRL+C
fonemas=K OW P Y AA R 
[cmd1]
cmd=assinatura
acao=3
args=00Maria
fonemas=AA S Y N AA T W R AA 
[ditado]
EOF
sed -i 's/$/\r/' "$T/zel/profiles/teste.zpr"
click btnCarregarProfile
dialog=""
for ((i = 0; i < 50; i++)); do dialog=$(xdotool search --name '^Abrir$' 2>/dev/null | head -1); [ -n "$dialog" ] && break; sleep 0.2; done
[ -n "$dialog" ] || fail "no open dialog"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 'teste.zpr'
xdotool key Return
expect "Profile atual: teste" text lblProfile

# Every page by clicks, and back.
click BtnComandos
expect comandos page
[ "$(probe rows lbxCmds | tr '\n' ' ')" = "copiar assinatura " ] || fail "commands: $(probe rows lbxCmds)"
read -r x y < <(probe centre lbxCmds)
xdotool mousemove "$x" $((y - 112)) click 1  # the first row
expect copiar text edtCmd
expect 1 checked rdgTecla
expect CTRL+C text edtArgTecla
expect "K OW P Y AA R" text edtFonemas
picture win_comandos
click btnVoltar
expect menu page
click btnPreferencias
expect prefs page
expect 1 checked chbModoAdv
# Enter after a typed sentence would leave the application's box.
click chbModoAdv
expect 0 checked chbModoAdv
picture win_prefs
# Escape on the open microphone list closes the list; a second one is Voltar.
click cbxMicrofone
xdotool key Escape
sleep 0.6
expect prefs page
xdotool key Escape
expect menu page
click btnDitado
expect ditado page
picture win_ditado
# A sentence of the user's own: the profile has changed.
click mmoDitado
xdotool type --delay 20 'bom dia'
click MathBotao3
click btnTreinarVoz
expect treino page
picture win_treino
click btnVoltarTreino
expect menu page

# The session ends (a logout): the settings are written at once.
[ "$(probe endsession)" = 1 ] || fail "the window refused the end of the session"
[ -f "$T/zel/config.ini" ] || fail "no config.ini at the end of the session"
grep -q $'^modoadv=0\r$' "$T/zel/config.ini" || fail "config.ini: $(cat "$T/zel/config.ini")"

# Switching on over a recording, at speaking pace, while another
# application has the focus.
speak() { espeak-ng -v pt-br -s 150 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$2" pad 0.6 0.9; }
sox -q -n -r 16000 -c 1 -b 16 "$T/lead.wav" trim 0 4
speak assinatura "$T/1.wav"
speak copiar "$T/2.wav"
sox "$T/lead.wav" "$T/1.wav" "$T/2.wav" "$T/clean.wav"
sox -m -v 1 "$T/clean.wav" -v 1 "|sox $T/clean.wav -p synth whitenoise vol 0.003" -b 16 "$T/spoken.wav"
{ cat "$T/zel/sphinx/sphinx.arg.default"; printf -- '-audiofile %s\r\n-audiorealtime yes\r\n' "$(winpath "$T/spoken.wav")"; } \
  > "$T/zel/sphinx.arg"
"$WINE_RUN" "$CLIENT" "$(winpath "$T/edit.txt")" > "$T/client.log" 2>&1 &
PIDS+=($!)
wait_for "$T/edit.txt.ready" 60 || fail "the application did not start"
app=$(xdotool search --sync --name '^ZelTeste$' | head -1)
xdotool windowfocus --sync "$wid"
click btnReconhecer
for ((i = 0; i < 100; i++)); do probe text lblStatus | grep -q '^Ouvindo' && break; sleep 0.1; done
probe text lblStatus | grep -q '^Ouvindo' || fail "not listening: $(probe text lblStatus)"
picture win_menu_reconhecendo
# A click gives the application the front (the keyboard's focus alone
# does not, under Wine), on the part of its box the window leaves free.
read -r ax ay < <(xdotool getwindowgeometry "$app" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
xdotool mousemove $((ax + 60)) $((ay + 25)) click 1
[ "$(probe foreground)" = ZelTesteJanela ] || fail "the application is not in front: $(probe foreground)"
for ((i = 0; i < 150; i++)); do [ -s "$T/edit.txt.keys" ] && break; sleep 0.2; done
# Letters go out as their keys, without Shift, as the Linux edition types them.
[ "$(cat "$T/edit.txt")" = "maria" ] || fail "the application holds \"$(cat "$T/edit.txt")\"; heard: $(probe rows lstOuvido); status: $(probe text lblStatus); $(tail -5 "$T/zel/sphinx.log" 2>/dev/null)"
grep -qx 'CTRL+C' "$T/edit.txt.keys" || fail "keys received: $(cat "$T/edit.txt.keys" 2>/dev/null)"
heard=$(probe rows lstOuvido)
echo "$heard" | grep -q 'copiar → CTRL+C' || fail "the heard panel shows: $heard"
echo "$heard" | grep -q 'assinatura → digita "Maria"' || fail "the heard panel shows: $heard"
xdotool windowfocus --sync "$wid"
picture win_menu_ouvido
# The recording's end ends listening, as a source that ended.
for ((i = 0; i < 100; i++)); do probe text lblStatus | grep -q '^Ouvindo' || break; sleep 0.2; done
if probe text lblStatus | grep -q '^Ouvindo'; then fail "still listening after the recording"; fi

# The notification area: the window hides there, its menu brings it back.
click btnMinimizar
expect hidden window
expect 1 trayicon
# The click on the icon as the notification area reports it (under Xvfb
# the icon's place depends on the tray program), then the menu by keys.
xdotool mousemove 600 300
probe trayclick
sleep 1
[ -n "${ZEL_WINDOW_PICTURES:-}" ] && import -window root -crop 180x130+590+290 +repage "$ZEL_WINDOW_PICTURES/win_tray_menu.png"
xdotool key Down Return  # the menu's first item, "Abrir Painel"
expect "$wx $wy $ww $wh" window
expect 0 trayicon

# A second start brings the first to the front and ends.
"$WINE_RUN" "$T/zel/zel.exe" > /dev/null 2>&1 || fail "the second start failed"
[ "$(probe windows)" = 1 ] || fail "$(probe windows) windows"

# The small x first offers the changed profile for saving, in Portuguese
# whatever the system's language; Cancelar keeps the window.
rm "$T/zel/config.ini"
click MathBotao1
expect "$(printf 'Salvar as alterações em teste?\n&Sim\n&Não\nCancelar')" question
probe answer IDCANCEL
sleep 1
[ "$(probe windows)" = 1 ] || fail "Cancelar ended the program"
# Sim saves it, then the program ends and writes its settings.
click MathBotao1
expect "$(printf 'Salvar as alterações em teste?\n&Sim\n&Não\nCancelar')" question
probe answer IDYES
for ((i = 0; i < 100; i++)); do [ -f "$T/zel/config.ini" ] && [ "$(probe windows)" = 0 ] && break; sleep 0.2; done
[ -f "$T/zel/config.ini" ] || fail "no config.ini at close"
keys=$(tr -d '\r' < "$T/zel/config.ini" | sed -n '2,12s/=.*//p' | tr '\n' ' ')
[ "$keys" = "tempotecla tempoativacao sampling confianca somativacao teclaativacao ativatoggle mostrarindicador multicmd modnum modoadv " ] \
  || fail "config.ini keys: $keys"
[ "$(head -1 "$T/zel/config.ini")" = $'[geral]\r' ] || fail "config.ini: $(head -1 "$T/zel/config.ini")"
! grep -qv $'\r$' "$T/zel/config.ini" || fail "a line of config.ini lacks its CR"
grep -q $'^\[ditado\]\r$' "$T/zel/profiles/teste.zpr" && grep -q $'^bom dia\r$' "$T/zel/profiles/teste.zpr" \
  || fail "the profile was not saved: $(cat "$T/zel/profiles/teste.zpr")"
echo "the window works: pages, dialog, recording to an application, tray, one window, settings"
