#!/usr/bin/env bash
# zeldll.dll under Wine on a private X server: with the hook on, every press
# and release reaches the program's window as message 0x1400, auto-repeat
# included; the activation key is the program's (the focused application
# never receives it); the indicator is a 32 x 32 window at the top-left
# corner; a second copy is refused while the first holds the hook; after
# HookOff the key is the application's again.
# hook_test.sh WINE_RUN PROGRAM_FOLDER HOOK_PROBE.exe EDIT_CLIENT.exe WINEPREFIX
WINE_RUN=$1 FOLDER=$2 PROBE=$3 CLIENT=$4
export ZEL_WINEPREFIX=$5
source "$(dirname "$0")/lib.sh"
start_xvfb

"$WINE_RUN" "$CLIENT" "$(winpath "$T/edit.txt")" > "$T/client.log" 2>&1 &
PIDS+=($!)
wait_for "$T/edit.txt.ready" 60 || fail "the application did not start: $(cat "$T/client.log")"
window=$(xdotool search --sync --name '^ZelTeste$' | head -1)
xdotool windowfocus --sync "$window"

# The activation key: K (0x4B), a key whose loss the application would show.
"$WINE_RUN" "$PROBE" "$(winpath "$FOLDER/")" 0x4B "$(winpath "$T/probe.txt")" > "$T/probe.log" 2>&1 &
PIDS+=($!)
for ((i = 0; i < 300; i++)); do grep -qx ready "$T/probe.txt" 2>/dev/null && break; sleep 0.1; done
grep -qx ready "$T/probe.txt" || fail "the hook did not open: $(cat "$T/probe.txt" "$T/probe.log" 2>/dev/null)"
grep -qx 'indicator shown 32x32 at 0,0 topmost' "$T/probe.txt" || fail "indicator: $(cat "$T/probe.txt")"
grep -qx 'indicator hidden' "$T/probe.txt" || fail "indicator not hidden: $(cat "$T/probe.txt")"

# A second copy of the program is told that the first one has the key.
rc=0
"$WINE_RUN" "$PROBE" "$(winpath "$FOLDER/")" 0x4B "$(winpath "$T/second.txt")" > /dev/null 2>&1 || rc=$?
[ "$rc" = 1 ] || fail "a second copy opened the hook (status $rc)"
grep -qx 'error: Outra cópia do programa já recebe a tecla de ativação nesta tela' "$T/second.txt" \
  || fail "second copy: $(cat "$T/second.txt")"

xdotool windowfocus --sync "$window"
xdotool type --delay 50 "akb"
xdotool keydown k; sleep 1.2; xdotool keyup k
for ((i = 0; i < 50; i++)); do [ "$(cat "$T/edit.txt")" = "ab" ] && break; sleep 0.1; done
[ "$(cat "$T/edit.txt")" = "ab" ] || fail "the application received \"$(cat "$T/edit.txt")\", not \"ab\""
sleep 0.5
for k in 0x41 0x4B 0x42; do
  grep -qx "down $k" "$T/probe.txt" || fail "no press of $k: $(cat "$T/probe.txt")"
  grep -qx "up $k" "$T/probe.txt" || fail "no release of $k: $(cat "$T/probe.txt")"
done
# The key held: the first press, then repeated presses, one release.
[ "$(grep -c '^down 0x4B repeat$' "$T/probe.txt")" -ge 1 ] || fail "no auto-repeat: $(cat "$T/probe.txt")"

# The hook off: the key is the application's again, and nothing is reported.
touch "$T/probe.txt.stop"
for ((i = 0; i < 100; i++)); do grep -qx closed "$T/probe.txt" && break; sleep 0.1; done
grep -qx closed "$T/probe.txt" || fail "the hook did not close"
before=$(wc -l < "$T/probe.txt")
xdotool windowfocus --sync "$window"
xdotool type --delay 50 "k"
for ((i = 0; i < 50; i++)); do [ "$(cat "$T/edit.txt")" = "abk" ] && break; sleep 0.1; done
[ "$(cat "$T/edit.txt")" = "abk" ] || fail "after HookOff the application has \"$(cat "$T/edit.txt")\""
[ "$(wc -l < "$T/probe.txt")" = "$before" ] || fail "keys reported after HookOff"
echo "the hook reports and keeps the activation key: $(grep -c "^down" "$T/probe.txt") presses ($(grep -c repeat "$T/probe.txt") repeated), $(grep -c "^up" "$T/probe.txt") releases"
