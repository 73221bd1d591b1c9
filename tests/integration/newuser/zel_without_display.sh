#!/usr/bin/env bash
# The window program started where there is no X display: it says so in
# Portuguese, points at the terminal front end, and ends with status 1
# (Qt on its own would abort).
#   zel_without_display.sh ZEL
set -uo pipefail
zel=$1
fail() { echo "FAIL: $*"; exit 1; }
for display in "" ":987"; do
  out=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" "$zel" 2>&1)
  status=$?
  [ "$status" = 1 ] || fail "DISPLAY=\"$display\": exit status $status: $out"
  grep -qF "MORO Zel precisa de uma tela X11 e não conseguiu conectar ao servidor X (DISPLAY=\"$display\")." <<<"$out" ||
    fail "DISPLAY=\"$display\": $out"
  grep -qF "zelcmd listen" <<<"$out" || fail "no word of zelcmd: $out"
done
echo OK
