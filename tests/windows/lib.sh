# What the Windows edition's integration tests share (sourced by each):
#   WINE_RUN      the build's Wine runner (cmake/wine-run.in)
#   T             a scratch folder, removed at the end with whatever was started
#   fail MESSAGE  ends the test
#   start_xvfb    a private X server; DISPLAY names it
#   start_pulse   a private PulseAudio server whose default source hears what
#                 is played on its sink "mic"; PULSE_SERVER names it, PULSE_PID
#   winpath FILE  a Unix name as Wine's drive Z: spells it
#   wait_for FILE [SECONDS]  until the file exists
set -euo pipefail
T=$(mktemp -d)
PIDS=()
cleanup() {
  # The test's own Wine prefix goes down with its windows.
  if [ -n "${ZEL_WINEPREFIX:-}" ]; then WINEPREFIX=$ZEL_WINEPREFIX timeout 20 wineserver -k 2>/dev/null || true; fi
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  # ZEL_TEST_KEEP=1 keeps the scratch folder, to look into a failure.
  if [ "${ZEL_TEST_KEEP:-}" = 1 ]; then echo "kept $T"; else rm -rf "$T"; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

wait_for() {
  local file=$1 seconds=${2:-30} i
  for ((i = 0; i < seconds * 10; i++)); do
    [ -e "$file" ] && return 0
    sleep 0.1
  done
  return 1
}

start_xvfb() {
  exec 3> "$T/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset > "$T/xvfb.log" 2>&1 &
  PIDS+=($!)
  exec 3>&-
  local i
  for ((i = 0; i < 100; i++)); do
    [ -s "$T/display" ] && break
    sleep 0.1
  done
  [ -s "$T/display" ] || fail "Xvfb did not start: $(cat "$T/xvfb.log")"
  export DISPLAY=":$(head -1 "$T/display")"
}

start_pulse() {
  local d=$T/pa
  mkdir -p "$d"
  # The microphone is the monitor of a sink that plays at speaking pace
  # (paplay -d mic FILE.wav): Wine's capture loses its way when a pipe
  # source delivers faster than real time.
  cat > "$d/pa.conf" <<CONF
load-module module-native-protocol-unix socket=$d/native auth-anonymous=1
load-module module-null-sink sink_name=mic rate=16000 channels=1 sink_properties=device.description=Microfone
set-default-source mic.monitor
CONF
  HOME=$d XDG_RUNTIME_DIR=$d XDG_CONFIG_HOME=$d pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --disable-shm=true --use-pid-file=false -F "$d/pa.conf" > "$d/pa.log" 2>&1 &
  PULSE_PID=$!
  PIDS+=($PULSE_PID)
  wait_for "$d/native" 10 || fail "pulseaudio did not start: $(cat "$d/pa.log")"
  export PULSE_SERVER=unix:$d/native
}
