#!/usr/bin/env bash
# zelcmd model --profile and zelcmd listen --audio: from a profile to the
# recognizer's files, and from spoken words (espeak-ng) to the keys they press.
set -euo pipefail
ZELCMD=$1
DATA=$2
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# --- model --profile: what switch-on generates, nothing started.
printf '[modnum]\r\nnum=1\r\n[num0]\r\ncmd=dois\r\nnum=2\r\nfonemas=D OY S\r\n' > "$T/modnum.ini"
"$ZELCMD" model --profile "$DATA/exemplo.zpr" --modnum "$T/modnum.ini" --out "$T/model" > "$T/model.out"
for f in dictionary.dic languagemodel.lm tokens.ubt zellm.zlm; do
  [ -s "$T/model/$f" ] || fail "model did not write $f"
done
[ ! -e "$T/model/sphinx.arg" ] || fail "model wrote an argument file"
tr -d '\r' < "$T/model/dictionary.dic" > "$T/dic"
grep -qxP 'copiar\tK OW P Y AA R' "$T/dic" || fail "copiar missing from the dictionary: $(cat "$T/dic")"
grep -qxP 'dois\tD OY S' "$T/dic" || fail "number word missing: $(cat "$T/dic")"
# The two-word phrase is one word for the recognizer.
grep -qP '^abrir\+bloco\t' "$T/dic" || fail "two-word phrase not in its written form: $(cat "$T/dic")"
grep -qP '^-?[0-9.]+ <s> abrir\+bloco ' "$T/model/languagemodel.lm" || fail "phrase bigram missing"
# The profile's dictation lines are plain text, not a bundle: they are counted
# as a corpus's sentences.
grep -qP '^-?[0-9.]+ SISTEMA ' "$T/model/languagemodel.lm" || fail "plain dictation text not counted"
grep -qP '^SISTEMA\t' "$T/dic" || fail "a dictated word missing from the dictionary"
if "$ZELCMD" model --profile "$DATA/exemplo.zpr" --modnum "$T/none.ini" --out "$T/m2" 2> "$T/err"; then
  fail "a missing --modnum was accepted"
fi
grep -q "Cannot open file $T/none.ini" "$T/err" || fail "wrong message: $(cat "$T/err")"

# --- listen --audio --dry-run: the whole road.
say() { espeak-ng -v pt-br -s 150 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$2" pad 0.6 0.9; }
say copiar "$T/1.wav"
say computador "$T/2.wav"
sox "$T/1.wav" "$T/2.wav" "$T/1.wav" "$T/clean.wav"
sox -m -v 1 "$T/clean.wav" -v 1 "|sox $T/clean.wav -p synth whitenoise vol 0.003" -b 16 "$T/spoken.wav"
"$ZELCMD" listen --profile "$DATA/exemplo.zpr" --audio "$T/spoken.wav" --dry-run --folder "$T/run" \
  --modnum "$T/modnum.ini" > "$T/listen.out" 2> "$T/listen.err" || fail "listen failed: $(cat "$T/listen.err")"
grep -c '^sentence ' "$T/listen.out" | grep -qx 3 || fail "not three sentences: $(cat "$T/listen.out")"
# The profile has an activation command: the first copiar waits, computador
# activates, the second copiar presses CTRL+C.
sed -n '1p' "$T/listen.out" | grep -qE '^sentence "copiar" confidence [0-9]+$' || fail "first line: $(cat "$T/listen.out")"
grep -qE '^sentence "computador" confidence' "$T/listen.out" || fail "no computador: $(cat "$T/listen.out")"
[ "$(grep -c 'key down 0x11 CTRL' "$T/listen.out")" = 1 ] || fail "CTRL+C not pressed once: $(cat "$T/listen.out")"
grep -q 'key down 0x43 C' "$T/listen.out" || fail "no C: $(cat "$T/listen.out")"
grep -q '^Sphinx Inicializado$' "$T/listen.err" || fail "no status: $(cat "$T/listen.err")"
# What the window's panel shows, and the status with the activation state.
sed -n '2p' "$T/listen.out" | grep -qE '^ouvido: copiar → ignorado: comandos desativados \([0-9]+\)$' \
  || fail "first copiar not said ignored: $(cat "$T/listen.out")"
grep -qE '^ouvido: computador → comandos ativados \([0-9]+\)$' "$T/listen.out" || fail "activation not said: $(cat "$T/listen.out")"
grep -qE '^ouvido: copiar → CTRL\+C \([0-9]+\)$' "$T/listen.out" || fail "CTRL+C not said: $(cat "$T/listen.out")"
grep -qx 'Ouvindo — comandos desativados' "$T/listen.err" || fail "no inactive status: $(cat "$T/listen.err")"
grep -qx 'Ouvindo — comandos ativados' "$T/listen.err" || fail "no active status: $(cat "$T/listen.err")"
# The history: one line a sentence, written as it was heard.
[ "$(wc -l < "$T/run/historico.log")" = 3 ] || fail "history: $(cat "$T/run/historico.log")"
grep -qP '^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\tcopiar\t\d+\taceito\tCTRL\+C$' "$T/run/historico.log" \
  || fail "history line: $(cat "$T/run/historico.log")"
cp "$T/run/sphinx.log" "$T/first-run.log"
# The first run started from the model's cepstral mean: its first sentence
# was decoded twice. The mean it ended with is kept for the next run.
grep -q 'utterance decoded again' "$T/first-run.log" || fail "the first run's first sentence not decoded again"
grep -qP "^file $T/spoken.wav\t5[0-9]\.[0-9]{4}( -?[0-9.]+){12}\r?$" "$T/run/media_cepstral.txt" \
  || fail "mean not kept: $(cat "$T/run/media_cepstral.txt" 2>&1)"
# Turned off in the settings: no new line.
printf '[geral]\r\nhistorico=0\r\n' > "$T/off.ini"
"$ZELCMD" listen --profile "$DATA/exemplo.zpr" --audio "$T/spoken.wav" --dry-run --folder "$T/run" \
  --modnum "$T/modnum.ini" --settings "$T/off.ini" > /dev/null 2>&1 || fail "listen with the history off"
[ "$(wc -l < "$T/run/historico.log")" = 3 ] || fail "history written while off: $(cat "$T/run/historico.log")"
# This second run of the program started from the kept mean and decoded
# nothing twice.
grep -q 'cepstral mean of the last run on this source: 5' "$T/run/sphinx.log" || fail "the kept mean not used"
! grep -q 'utterance decoded again' "$T/run/sphinx.log" || fail "the second run decoded its first sentence twice"
grep -q '^-lmfn '"$T"'/run/languagemodel.lm' "$T/run/sphinx.arg" || fail "argument file: $(cat "$T/run/sphinx.arg")"
# The argument file names no audio file: the WAV is the run's, not the user's.
! grep -q audiofile "$T/run/sphinx.arg" || fail "audio file written into sphinx.arg"

# --- listen without an audio server: a clear message, at once, status 3.
rc=0
PULSE_SERVER="unix:$T/no-server" timeout 20 "$ZELCMD" listen --profile "$DATA/exemplo.zpr" --folder "$T/run" --dry-run \
  > /dev/null 2> "$T/mic.err" || rc=$?
[ "$rc" = 3 ] || fail "listening without a server: status $rc"
grep -q 'microfone' "$T/mic.err" || fail "no microphone message: $(cat "$T/mic.err")"
# A wrong command line is status 2, a missing profile 1.
rc=0; "$ZELCMD" listen --audio x.wav 2> /dev/null || rc=$?
[ "$rc" = 2 ] || fail "usage error gave status $rc"
rc=0; "$ZELCMD" listen --profile "$T/none.zpr" 2> /dev/null || rc=$?
[ "$rc" = 1 ] || fail "missing profile gave status $rc"

# --- the audio server: one that does not answer, one that goes away.
# A private server on its own socket; never one the test did not start.
if command -v pulseaudio > /dev/null; then
  P="$T/pulse"
  mkdir -p "$P"
  printf 'load-module module-native-protocol-unix socket=%s/native auth-anonymous=1\nload-module module-pipe-source source_name=fifo_mic file=%s/mic.fifo format=s16le rate=16000 channels=1\nset-default-source fifo_mic\n' \
    "$P" "$P" > "$P/pa.conf"
  HOME="$P" XDG_RUNTIME_DIR="$P" XDG_CONFIG_HOME="$P" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --disable-shm=true --use-pid-file=false -F "$P/pa.conf" > "$P/pa.log" 2>&1 &
  pa_pid=$!
  for _ in $(seq 100); do [ -S "$P/native" ] && [ -p "$P/mic.fifo" ] && break; sleep 0.05; done
  [ -S "$P/native" ] || { kill "$pa_pid"; fail "private pulseaudio did not start: $(cat "$P/pa.log")"; }
  # A stopped server takes the connection and never answers: the microphone
  # gives up after a few seconds with status 3 (not the 20 s of the guard).
  kill -STOP "$pa_pid"
  rc=0
  PULSE_SERVER="unix:$P/native" timeout 20 "$ZELCMD" listen --profile "$DATA/exemplo.zpr" --folder "$T/run" \
    --dry-run > /dev/null 2> "$T/stopped.err" || rc=$?
  [ "$rc" = 3 ] || { kill -9 "$pa_pid"; fail "a stopped server gave status $rc: $(cat "$T/stopped.err")"; }
  grep -q 'zelcmd: Não foi possível abrir o microfone: o servidor de áudio (PulseAudio) não respondeu em 3 s.' \
    "$T/stopped.err" || { kill -9 "$pa_pid"; fail "no timeout message: $(cat "$T/stopped.err")"; }
  # Ctrl+C while the microphone is being opened ends zelcmd at once: 130.
  PULSE_SERVER="unix:$P/native" "$ZELCMD" listen --profile "$DATA/exemplo.zpr" --folder "$T/run" --dry-run \
    > /dev/null 2> "$T/int.err" &
  int_pid=$!
  for _ in $(seq 200); do grep -q 'Sphinx Inicializado' "$T/int.err" && break; sleep 0.02; done
  kill -INT "$int_pid"
  ( sleep 20; kill -9 "$int_pid" 2>/dev/null ) &
  guard=$!
  rc=0
  wait "$int_pid" || rc=$?
  kill "$guard" 2>/dev/null || true
  kill -CONT "$pa_pid"
  [ "$rc" = 130 ] || { kill -9 "$pa_pid"; fail "Ctrl+C while opening gave status $rc: $(cat "$T/int.err")"; }
  grep -q 'zelcmd: Não foi possível abrir o microfone: interrompido.' "$T/int.err" ||
    { kill -9 "$pa_pid"; fail "no interruption message: $(cat "$T/int.err")"; }

  # A faint noise floor, as a microphone has.
  sox -q -n -t raw -r 16000 -c 1 -b 16 -e signed - synth 60 whitenoise vol 0.003 > "$P/mic.fifo" 2>/dev/null &
  feeder=$!
  PULSE_SERVER="unix:$P/native" timeout 30 "$ZELCMD" listen --profile "$DATA/exemplo.zpr" --folder "$T/run" --dry-run \
    > "$T/lost.out" 2> "$T/lost.err" &
  listen_pid=$!
  for _ in $(seq 200); do grep -q 'Ouvindo' "$T/lost.err" && break; sleep 0.05; done
  grep -q 'Ouvindo' "$T/lost.err" || { kill "$pa_pid" "$feeder" "$listen_pid" 2>/dev/null; fail "not listening: $(cat "$T/lost.err")"; }
  kill -9 "$pa_pid"
  rc=0
  wait "$listen_pid" || rc=$?
  kill "$feeder" 2>/dev/null || true
  [ "$rc" = 3 ] || fail "listen ended with status $rc after the audio server went away: $(cat "$T/lost.err")"
  grep -q 'zelcmd: Microfone indisponível: servidor de áudio parou' "$T/lost.err" || fail "no reason: $(cat "$T/lost.err")"

  # --- a chosen source: listed, listened to, and gone mid-run.
  printf 'load-module module-native-protocol-unix socket=%s/native auth-anonymous=1\nload-module module-pipe-source source_name=fifo_mic file=%s/mic.fifo format=s16le rate=16000 channels=1\nload-module module-pipe-source source_name=outro_mic file=%s/outro.fifo format=s16le rate=16000 channels=1\nset-default-source fifo_mic\n' \
    "$P" "$P" "$P" > "$P/pa.conf"
  rm -f "$P/native" "$P/mic.fifo"
  HOME="$P" XDG_RUNTIME_DIR="$P" XDG_CONFIG_HOME="$P" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --disable-shm=true --use-pid-file=false -F "$P/pa.conf" > "$P/pa.log" 2>&1 &
  pa_pid=$!
  for _ in $(seq 100); do [ -S "$P/native" ] && [ -p "$P/outro.fifo" ] && break; sleep 0.05; done
  [ -p "$P/outro.fifo" ] || { kill "$pa_pid"; fail "second private pulseaudio did not start: $(cat "$P/pa.log")"; }
  PULSE_SERVER="unix:$P/native" "$ZELCMD" sources > "$T/sources.out" || { kill "$pa_pid"; fail "sources failed"; }
  sed -n '1p' "$T/sources.out" | grep -qP '^padrão\t' || { kill "$pa_pid"; fail "padrão not first: $(cat "$T/sources.out")"; }
  grep -qP '^outro_mic\t' "$T/sources.out" || { kill "$pa_pid"; fail "no outro_mic: $(cat "$T/sources.out")"; }
  sox -q -n -t raw -r 16000 -c 1 -b 16 -e signed - synth 60 whitenoise vol 0.003 > "$P/mic.fifo" 2>/dev/null &
  feeder=$!
  sox -q -n -t raw -r 16000 -c 1 -b 16 -e signed - synth 60 whitenoise vol 0.003 > "$P/outro.fifo" 2>/dev/null &
  feeder2=$!
  PULSE_SERVER="unix:$P/native" timeout 30 "$ZELCMD" listen --profile "$DATA/exemplo.zpr" --folder "$T/run" --dry-run \
    --source outro_mic > "$T/gone.out" 2> "$T/gone.err" &
  listen_pid=$!
  for _ in $(seq 200); do grep -q 'Ouvindo' "$T/gone.err" && break; sleep 0.05; done
  grep -q 'Ouvindo' "$T/gone.err" || { kill "$pa_pid" "$feeder" "$feeder2" "$listen_pid"; fail "not listening: $(cat "$T/gone.err")"; }
  module=$(PULSE_SERVER="unix:$P/native" pactl list short modules | awk '/outro_mic/ { print $1 }')
  PULSE_SERVER="unix:$P/native" pactl unload-module "$module"
  rc=0
  wait "$listen_pid" || rc=$?
  kill "$feeder" "$feeder2" "$pa_pid" 2>/dev/null || true
  [ "$rc" = 3 ] || fail "listen ended with status $rc after its source went away: $(cat "$T/gone.err")"
  grep -q 'zelcmd: Microfone indisponível: a fonte de áudio escolhida saiu do servidor' "$T/gone.err" \
    || fail "no reason for the lost source: $(cat "$T/gone.err")"
fi
echo OK
