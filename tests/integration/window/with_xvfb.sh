#!/usr/bin/env bash
# with_xvfb.sh PROGRAM [ARGS...]
# Runs PROGRAM on a private X server (Xvfb picks a free display) with a
# notification area (trayer), on Qt's xcb platform; stops both afterwards.
set -euo pipefail
tmp=$(mktemp -d)
xvfb_pid=""
tray_pid=""
cleanup() {
  [ -n "$tray_pid" ] && kill "$tray_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# -noreset: the keyboard layout stays when the last client leaves.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
  [ -s "$tmp/display" ] && break
  sleep 0.05
done
if [ ! -s "$tmp/display" ]; then
  echo "Xvfb did not start" >&2
  cat "$tmp/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$tmp"

trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
       --SetDockType true --transparent false >"$tmp/trayer.log" 2>&1 &
tray_pid=$!

"$@"
