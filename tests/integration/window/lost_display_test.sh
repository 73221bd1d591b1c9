#!/usr/bin/env bash
# The X server goes away under a running window (a session that ends without
# a logout signal, a crashed server): the program ends the way "Sair" ends it.
# Recognition runs (from a WAV file) with an activation key, so the hook
# library is open; after the server is killed the settings are written back,
# the shared memory name is gone and no process is left.
# Usage: lost_display_test.sh BIN_FOLDER
set -euo pipefail
# shellcheck source=zel_window.sh
source "$(dirname "$0")/zel_window.sh"
bin=$1
work=$(mktemp -d)
xvfb_pid=""
zel_pid=""
trap '[ -n "$zel_pid" ] && kill -9 "$zel_pid" 2>/dev/null; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/zel.err" ] && tail -n 20 "$work/zel.err" >&2
  exit 1
}

# A server of its own: this test kills it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
display=":$(head -n1 "$work/display")"
export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work

mkdir -p "$work/app"
cp -r "$bin/zel" "$bin/zeldll.so" "$bin/modnum.ini" "$bin/phoneset.txt" "$bin/beep.wav" "$bin/profiles" "$bin/sphinx" "$work/app/"
# A minute of a faint noise floor, heard at speaking pace: the recognizer runs.
sox -q -n -r 16000 -c 1 -b 16 "$work/noise.wav" synth 60 whitenoise vol 0.003
{ tr -d '\r' <"$work/app/sphinx/sphinx.arg.default"; printf -- '-audiofile %s\n-audiorealtime yes\n' "$work/noise.wav"; } \
  | sed 's/$/\r/' >"$work/app/sphinx.arg"
printf '[geral]\r\ntempotecla=0x20\r\nteclaativacao=F9\r\nmodnum=1\r\n' >"$work/app/config.ini"

"$work/app/zel" >"$work/zel.out" 2>"$work/zel.err" &
zel_pid=$!
find_main_window
[ -n "$w" ] || fail "no window"
# RECONHECER: the files, the recognizer, the hook library with its shared memory.
xdotool mousemove $((wx + reconhecer_x)) $((wy + reconhecer_y))
sleep 0.2
xdotool click 1
shm="/dev/shm/ElReceptor-$(id -u)-$display"
for _ in $(seq 100); do [ -e "$shm" ] && break; sleep 0.1; done
[ -e "$shm" ] || fail "the hook did not open ($shm missing)"
sleep 0.5

kill -9 "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""
for _ in $(seq 100); do kill -0 "$zel_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$zel_pid" 2>/dev/null && fail "the program did not end after the X server went away"
wait "$zel_pid" 2>/dev/null || true
zel_pid=""

grep -q $'tempotecla=32\r' "$work/app/config.ini" || fail "config.ini not written: $(cat "$work/app/config.ini")"
grep -q $'teclaativacao=F9\r' "$work/app/config.ini" || fail "activation key lost: $(cat "$work/app/config.ini")"
[ ! -e "$shm" ] || fail "the shared memory name was left behind"
echo "lost display test passed"
