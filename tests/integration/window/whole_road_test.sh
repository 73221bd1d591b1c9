#!/usr/bin/env bash
# The whole road in the window (run inside with_xvfb.sh): the real program
# loads a profile through its dialog, recognition is switched on with the
# big button, the recognizer hears synthetic speech from a WAV file, and the
# command's text arrives in a real X client that has the focus.
# Second run: with an activation key (F9) set, the same command waits until
# the key is held; the hook library reports it to the window.
# Usage: whole_road_test.sh BIN_FOLDER ECHO_CLIENT
set -euo pipefail
# shellcheck source=zel_window.sh
source "$(dirname "$0")/zel_window.sh"
bin=$1
echo_client=$2
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -n "${ZEL_KEEP:-}" ] && cp -r "$work" "$ZEL_KEEP"
  [ -f "$work/app/sphinx.log" ] && tail -n 20 "$work/app/sphinx.log" >&2
  exit 1
}

mkdir -p "$work/app"
cp -r "$bin/zel" "$bin/zeldll.so" "$bin/modnum.ini" "$bin/phoneset.txt" "$bin/beep.wav" "$bin/profiles" "$bin/sphinx" "$work/app/"

# The speech: noise first (time to give the focus to the client), then
# "copiar"; for the second run "copiar" twice, far apart.
say() { espeak-ng -v pt-br -s 150 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$2" pad "$3" "$4"; }
noisy() { sox -m -v 1 "$1" -v 1 "|sox $1 -p synth whitenoise vol 0.003" -b 16 "$2"; }
say copiar "$work/one.wav" 2.5 1.2
noisy "$work/one.wav" "$work/speech1.wav"
say copiar "$work/first.wav" 2.5 4
say copiar "$work/again.wav" 0 2
sox "$work/first.wav" "$work/again.wav" "$work/again.wav" "$work/again.wav" "$work/two.wav"
noisy "$work/two.wav" "$work/speech2.wav"

printf '[geral]\r\nnumcomandos=2\r\n[cmd0]\r\ncmd=copiar\r\nacao=3\r\nargs=00zel ação ok\r\nfonemas=K OW P Y AA R \r\n[cmd1]\r\ncmd=computador\r\nacao=3\r\nargs=00errado\r\nfonemas=K OW M P W T AA D OW R \r\n[ditado]\r\n' \
  >"$work/app/profiles/estrada.zpr"

# The recognizer listens to a file at speaking pace instead of a microphone.
arg_file() {
  { tr -d '\r' <"$work/app/sphinx/sphinx.arg.default"; printf -- '-audiofile %s\n-audiorealtime yes\n' "$1"; } \
    | sed 's/$/\r/' >"$work/app/sphinx.arg"
}

# The client that receives the keys.
LC_ALL=C.UTF-8 XMODIFIERS= "$echo_client" >"$work/echo.out" 2>"$work/echo.err" &
pids+=($!)
for _ in $(seq 100); do grep -q READY "$work/echo.out" && break; sleep 0.1; done
grep -q READY "$work/echo.out" || fail "the echo client did not start"
echo_win=$(xdotool getactivewindow 2>/dev/null || xdotool getwindowfocus)

# Starts the program, loads the profile through its dialog and switches
# recognition on; leaves the focus with the echo client.
start_and_switch_on() {
  "$work/app/zel" >"$work/zel.out" 2>"$work/zel.err" &
  zel_pid=$!
  pids+=($zel_pid)
  find_main_window
  [ -n "$w" ] || fail "no window"

  # "Carregar Profile", then the dialog: the file name box has the focus.
  xdotool mousemove $((wx + carregar_x)) $((wy + carregar_y)) click 1
  local dialog=""
  for _ in $(seq 100); do
    for c in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
      [ "$c" = "$w" ] || [ "$c" = "$echo_win" ] && continue
      xdotool getwindowgeometry "$c" | grep -q 'Geometry: 576x432' && continue
      xdotool getwindowname "$c" | grep -q 'MORO Zel' && dialog=$c
    done
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || fail "no file dialog"
  sleep 0.3
  xdotool windowfocus --sync "$dialog"
  xdotool type --delay 5 "$work/app/profiles/estrada.zpr"
  xdotool key Return
  for _ in $(seq 50); do xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$dialog" || break; sleep 0.1; done

  # The file name box's completer may still be open: a click on the panel closes it.
  sleep 0.3
  xdotool mousemove $((wx + 300)) $((wy + 80)) click 1
  # RECONHECER, then the focus back to the client before the speech begins.
  sleep 0.3
  xdotool mousemove $((wx + reconhecer_x)) $((wy + reconhecer_y))
  sleep 0.2
  xdotool click 1
  switched_on=$(date +%s%3N)
  for _ in $(seq 50); do [ -f "$work/app/sphinx.log" ] && break; sleep 0.1; done
  xdotool windowfocus "$echo_win"
}

quit_program() {
  xdotool mousemove $((wx + 522)) $((wy + 17)) click 1
  for _ in $(seq 100); do kill -0 "$zel_pid" 2>/dev/null || return 0; sleep 0.1; done
  fail "the program did not end"
}

# The user's layout (US International, with dead keys) is the user's: the
# program types Portuguese into it and leaves it as it was.
setxkbmap -layout us -variant intl
layout_before=$(setxkbmap -query)

# --- 1. No activation key: the command runs as soon as it is heard.
arg_file "$work/speech1.wav"
printf '[geral]\r\nmodoadv=0\r\nmodnum=0\r\ntempotecla=10\r\n' >"$work/app/config.ini"
start_and_switch_on
for _ in $(seq 150); do grep -q 'zel ação ok' "$work/echo.out" && break; sleep 0.1; done
grep -q 'zel ação ok' "$work/echo.out" || fail "the command's text did not arrive: '$(tail -c 200 "$work/echo.out")' $(cat "$work/zel.err")"
! grep -q errado "$work/echo.out" || fail "the other command ran"
grep -q '^-lmfn '"$work/app/languagemodel.lm" <(tr -d '\r' <"$work/app/sphinx.arg") || fail "argument file not rewritten"
quit_program
[ "$(setxkbmap -query)" = "$layout_before" ] || fail "the layout changed: $(setxkbmap -query)"
typed() { grep -o 'zel ação ok' "$work/echo.out" | wc -l; }
[ "$(typed)" = 1 ] || fail "typed more than once"

# --- 2. Activation key F9 (hold mode): the first "copiar" waits; those
# heard while F9 is held run. The speech: copiar at 2.5 s, then three more
# from about 7 s on, 2.6 s apart (one of them is enough to pass).
arg_file "$work/speech2.wav"
printf '[geral]\r\nmodoadv=0\r\nmodnum=0\r\ntempotecla=10\r\nteclaativacao=F9\r\nmostrarindicador=1\r\n' >"$work/app/config.ini"
start_and_switch_on
while [ $(( $(date +%s%3N) - switched_on )) -lt 5200 ]; do sleep 0.1; done
# Nothing typed for the first one.
[ "$(typed)" = 1 ] || fail "a command ran without the activation key"
# The indicator in the corner says that the key reached the program.
indicator_shown() {
  for c in $(xdotool search --onlyvisible --name '^MORO Zel$' 2>/dev/null); do
    [ "$c" = "$w" ] && continue
    xdotool getwindowgeometry "$c" | grep -q 'Geometry: 576x432' || return 0
  done
  return 1
}
indicator=no
for attempt in 1 2; do
  xdotool keydown F9
  for _ in $(seq 25); do indicator_shown && { indicator=yes; break; }; sleep 0.1; done
  [ "$indicator" = yes ] && break
  # Observed now and then: the hook library misses a press. Say so, try once more.
  echo "note: F9 press $attempt not reported by the hook library" >&2
  xdotool keyup F9
  sleep 0.3
done
for _ in $(seq 120); do [ "$(typed)" -ge 2 ] && break; sleep 0.1; done
xdotool keyup F9
[ "$(typed)" -ge 2 ] || fail "the command did not run while F9 was held (indicator shown: ${indicator}): '$(tail -c 200 "$work/echo.out")'"
quit_program
[ "$(setxkbmap -query)" = "$layout_before" ] || fail "the layout changed: $(setxkbmap -query)"
echo "whole road passed"
