#!/usr/bin/env bash
# The real program on a real X server (run inside with_xvfb.sh): start-up
# reads config.ini, the quit button ends the program and writes it back; a
# missing hook library shows its message and the settings survive untouched;
# a second start on the same display hands over to the first window;
# the signals of a kill, a logout and Ctrl+C end it like the quit button.
# Usage: program_test.sh BIN_FOLDER
set -euo pipefail
bin=$1
work=$(mktemp -d)
zel_pid=""
trap '[ -n "$zel_pid" ] && kill "$zel_pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A copy of the program's folder, so that the test writes only there.
install_copy() {
  rm -rf "$work/app"
  mkdir -p "$work/app"
  cp -r "$bin/zel" "$bin/zeldll.so" "$bin/modnum.ini" "$bin/phoneset.txt" "$bin/beep.wav" "$bin/profiles" "$work/app/"
}

# The id of the first window of that size named "MORO Zel", waiting for it.
find_window() {
  local size=$1
  for _ in $(seq 100); do
    for w in $(xdotool search --onlyvisible --name '^MORO Zel$' 2>/dev/null); do
      if xdotool getwindowgeometry "$w" | grep -q "Geometry: $size"; then echo "$w"; return 0; fi
    done
    sleep 0.1
  done
  return 1
}

# Clicks at x,y inside window w.
click_in() {
  local w=$1 x=$2 y=$3 pos
  pos=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  set -- $pos
  xdotool mousemove $(( $1 + x )) $(( $2 + y )) click 1
}

wait_exit() {
  for _ in $(seq 100); do
    kill -0 "$zel_pid" 2>/dev/null || { zel_status=0; wait "$zel_pid" || zel_status=$?; zel_pid=""; return 0; }
    sleep 0.1
  done
  fail "the program did not end"
}

# 1. Settings read with hex and clamps, written back at a normal end.
install_copy
printf '[geral]\r\ntempotecla=0x1F\r\nconfianca=150\r\nsampling=-3\r\nmodoadv=0\r\n' >"$work/app/config.ini"
"$work/app/zel" 2>"$work/err1.log" &
zel_pid=$!
w=$(find_window 576x432) || fail "no main window"
import -window root "$work/start.png" 2>/dev/null || true
click_in "$w" 522 17   # MathBotao1, the small x
wait_exit
expected=$(printf '[geral]\r\ntempotecla=31\r\nconfianca=100\r\nsampling=0\r\nmodoadv=0\r\ntempoativacao=5\r\nsomativacao=%s/beep.wav\r\nteclaativacao=\r\nativatoggle=0\r\nmostrarindicador=1\r\nmulticmd=1\r\nmodnum=1\r\nmicrofone=\r\nhistorico=1\r\naprenderuso=1\r\n' "$work/app")
actual=$(cat "$work/app/config.ini")
[ "$actual" = "$expected" ] || { diff <(echo "$expected" | od -c) <(echo "$actual" | od -c) >&2; fail "config.ini after a normal end"; }

# 2. No hook library: its message, then the window; the settings are kept.
install_copy
rm "$work/app/zeldll.so"
printf '[geral]\r\ntempotecla=77\r\nconfianca=12\r\nteclaativacao=F8\r\n' >"$work/app/config.ini"
"$work/app/zel" 2>"$work/err2.log" &
zel_pid=$!
for _ in $(seq 100); do
  box=$(xdotool search --onlyvisible --name '^MORO Zel$' 2>/dev/null | head -n1 || true)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no message box"
if xdotool getwindowgeometry "$box" | grep -q "Geometry: 576x432"; then fail "the window came before the message"; fi
xdotool windowfocus --sync "$box" key Return
w=$(find_window 576x432) || fail "no main window after the message"
click_in "$w" 522 17
wait_exit
grep -q $'tempotecla=77\r' "$work/app/config.ini" || fail "tempotecla lost"
grep -q $'confianca=12\r' "$work/app/config.ini" || fail "confianca lost"
grep -q $'teclaativacao=F8\r' "$work/app/config.ini" || fail "teclaativacao lost"
# 3. A second start on the same display gives no second window: it hands
# over to the first and ends; the first goes on.
install_copy
"$work/app/zel" 2>"$work/err3.log" &
zel_pid=$!
w=$(find_window 576x432) || fail "no main window"
status=0
timeout 20 "$work/app/zel" 2>"$work/err3b.log" || status=$?
[ "$status" = 0 ] || fail "the second start ended with $status: $(cat "$work/err3b.log")"
count=0
for v in $(xdotool search --onlyvisible --name '^MORO Zel$' 2>/dev/null); do
  xdotool getwindowgeometry "$v" | grep -q "Geometry: 576x432" && count=$((count + 1))
done
[ "$count" = 1 ] || fail "$count main windows"
kill -0 "$zel_pid" 2>/dev/null || fail "the first window ended"
click_in "$w" 522 17
wait_exit

# 4. A kill, a logout and Ctrl+C end it like the quit button: the settings
# are written back.
for sig in TERM HUP INT; do
  install_copy
  printf '[geral]\r\ntempotecla=0x20\r\n' >"$work/app/config.ini"
  "$work/app/zel" 2>"$work/err-$sig.log" &
  zel_pid=$!
  find_window 576x432 >/dev/null || fail "no main window ($sig)"
  kill -s "$sig" "$zel_pid"
  wait_exit
  [ "$zel_status" = 0 ] || fail "status $zel_status after SIG$sig"
  grep -q $'tempotecla=32\r' "$work/app/config.ini" || fail "config.ini not written after SIG$sig"
done

echo "program test passed"
