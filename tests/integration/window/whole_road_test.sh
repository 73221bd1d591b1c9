#!/usr/bin/env bash
# The whole road in the window (run inside with_xvfb.sh): the real program
# loads a profile through its dialog, recognition is switched on with the
# big button, the recognizer hears synthetic speech from a WAV file, and the
# command's text arrives in a real X client that has the focus.
# Usage: whole_road_test.sh BIN_FOLDER ECHO_CLIENT
set -euo pipefail
bin=$1
echo_client=$2
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; [ -n "${ZEL_KEEP:-}" ] && cp -r "$work" "$ZEL_KEEP"; [ -f "$work/app/sphinx.log" ] && tail -n 20 "$work/app/sphinx.log" >&2; exit 1; }

mkdir -p "$work/app"
cp -r "$bin/zel" "$bin/zeldll.so" "$bin/modnum.ini" "$bin/phoneset.txt" "$bin/beep.wav" "$bin/profiles" "$bin/sphinx" "$work/app/"

# The speech: noise first (time to give the focus to the client), then "copiar".
say() { espeak-ng -v pt-br -s 150 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$2" pad "$3" 1.2; }
say copiar "$work/clean.wav" 2.5
sox -m -v 1 "$work/clean.wav" -v 1 "|sox $work/clean.wav -p synth whitenoise vol 0.003" -b 16 "$work/speech.wav"

# The recognizer listens to that file at speaking pace instead of a microphone.
{ tr -d '\r' <"$work/app/sphinx/sphinx.arg.default"; printf -- '-audiofile %s\n-audiorealtime yes\n' "$work/speech.wav"; } \
  | sed 's/$/\r/' >"$work/app/sphinx.arg"
printf '[geral]\r\nmodoadv=0\r\nmodnum=0\r\ntempotecla=10\r\n' >"$work/app/config.ini"
printf '[geral]\r\nnumcomandos=2\r\n[cmd0]\r\ncmd=copiar\r\nacao=3\r\nargs=00zel ok\r\nfonemas=K OW P Y AA R \r\n[cmd1]\r\ncmd=computador\r\nacao=3\r\nargs=00errado\r\nfonemas=K OW M P W T AA D OW R \r\n[ditado]\r\n' \
  >"$work/app/profiles/estrada.zpr"

# The client that receives the keys.
LC_ALL=C.UTF-8 XMODIFIERS= "$echo_client" >"$work/echo.out" 2>"$work/echo.err" &
pids+=($!)
for _ in $(seq 100); do grep -q READY "$work/echo.out" && break; sleep 0.1; done
grep -q READY "$work/echo.out" || fail "the echo client did not start"
echo_win=$(xdotool getactivewindow 2>/dev/null || xdotool getwindowfocus)

"$work/app/zel" >"$work/zel.out" 2>"$work/zel.err" &
zel_pid=$!
pids+=($zel_pid)
w=""
for _ in $(seq 100); do
  for c in $(xdotool search --onlyvisible --name '^MORO Zel$' 2>/dev/null); do
    xdotool getwindowgeometry "$c" | grep -q 'Geometry: 576x432' && w=$c
  done
  [ -n "$w" ] && break
  sleep 0.1
done
[ -n "$w" ] || fail "no window"
pos=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
set -- $pos
wx=$1
wy=$2

# "Carregar Profile", then the dialog: the file name box has the focus.
xdotool mousemove $((wx + 34 + 34 + 70)) $((wy + 36 + 62 + 15)) click 1
dialog=""
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
xdotool mousemove $((wx + 34 + 270 + 86)) $((wy + 36 + 120 + 38))
sleep 0.2
xdotool click 1
for _ in $(seq 50); do [ -f "$work/app/sphinx.log" ] && break; sleep 0.1; done
xdotool windowfocus "$echo_win"
for _ in $(seq 150); do grep -q 'zel ok' "$work/echo.out" && break; sleep 0.1; done
import -window root "$work/road.png" 2>/dev/null || true
grep -q 'zel ok' "$work/echo.out" || fail "the command's text did not arrive: '$(tail -c 200 "$work/echo.out")' $(cat "$work/zel.err")"
! grep -q errado "$work/echo.out" || fail "the other command ran"
grep -q '^-lmfn '"$work/app/languagemodel.lm" <(tr -d '\r' <"$work/app/sphinx.arg") || fail "argument file not rewritten"
echo "whole road passed"
