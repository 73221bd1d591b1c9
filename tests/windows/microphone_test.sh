#!/usr/bin/env bash
# The microphone on Windows: waveIn under Wine from a private PulseAudio
# server. zelcmd.exe sources lists the recording devices; zelcmd.exe listen
# hears commands said into the microphone; a microphone that goes away
# ends the run with status 3 and says so; without any device the message
# says that too.
# microphone_test.sh WINE_RUN ZELCMD.exe PROFILES_FOLDER
WINE_RUN=$1 WIN=$2 PROFILES=$3
source "$(dirname "$0")/lib.sh"
win() { "$WINE_RUN" "$WIN" "$@"; }

# No audio server: no recording device.
rc=0
PULSE_SERVER=unix:$T/nothing win listen --profile "$(winpath "$PROFILES/desktop.zpr")" --dry-run \
  --folder "$(winpath "$T/run")" > /dev/null 2> "$T/none.err" || rc=$?
[ "$rc" = 3 ] || fail "listening without a device: status $rc: $(cat "$T/none.err")"
grep -q 'Não foi possível abrir o microfone' "$T/none.err" || fail "no message: $(cat "$T/none.err")"

start_pulse
win sources > "$T/sources.txt"
head -1 "$T/sources.txt" | grep -q $'^padrão\t' || fail "sources: $(cat "$T/sources.txt")"
[ "$(wc -l < "$T/sources.txt")" -ge 2 ] || fail "no device listed: $(cat "$T/sources.txt")"

speak() { espeak-ng -v pt-br -s 150 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$2" pad 0.8 1.0; }
speak computador "$T/1.wav"
speak copiar "$T/2.wav"
sox "$T/1.wav" "$T/2.wav" "$T/clean.wav"
sox -m -v 1 "$T/clean.wav" -v 1 "|sox $T/clean.wav -p synth whitenoise vol 0.003" -b 16 "$T/spoken.wav"

WINE_RUN_TIMEOUT=60 win listen --profile "$(winpath "$PROFILES/desktop.zpr")" --dry-run \
  --folder "$(winpath "$T/run")" > "$T/listen.out" 2> "$T/listen.err" &
listener=$!
for ((i = 0; i < 300; i++)); do grep -q '^Ouvindo' "$T/listen.err" && break; sleep 0.1; done
grep -q '^Ouvindo' "$T/listen.err" || fail "not listening: $(cat "$T/listen.err")"
sleep 1
paplay -d mic "$T/spoken.wav" || fail "paplay failed"
for ((i = 0; i < 100; i++)); do grep -q 'key down 0x43 C' "$T/listen.out" && break; sleep 0.1; done
grep -q '^sentence "computador"' "$T/listen.out" || fail "computador not heard: $(cat "$T/listen.out")"
grep -q '^ouvido: copiar → CTRL+C' "$T/listen.out" || fail "copiar not heard: $(cat "$T/listen.out")"

# The audio server goes away: the microphone stops, and so does the run.
kill -9 "$PULSE_PID"
rc=0
wait "$listener" || rc=$?
[ "$rc" = 3 ] || fail "status $rc after the microphone went away: $(cat "$T/listen.err")"
grep -q '^zelcmd: Microfone indisponível: o dispositivo de gravação parou$' "$T/listen.err" \
  || fail "no reason: $(cat "$T/listen.err")"
echo "heard through waveIn: $(grep -c '^sentence ' "$T/listen.out") sentences"
