#!/usr/bin/env bash
# scripts/run on a machine without a display, as the README gives it: it
# says so, shows how to run zelcmd listen, and the zelcmd listen line it
# shows works as written on a WAV file.
#   run_without_display.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# scripts/run works in the clone's build/ folder: run it in a copy of the
# scripts beside a link to this build, so that it builds nothing new.
mkdir -p "$scratch/clone/scripts"
cp "$src/scripts/run" "$scratch/clone/scripts/"
printf '#!/bin/sh\nexit 0\n' >"$scratch/clone/scripts/setup"
chmod +x "$scratch/clone/scripts/setup"
ln -s "$src/CMakeLists.txt" "$scratch/clone/CMakeLists.txt"
ln -s "$build" "$scratch/clone/build"
# cmake -S . -B build on a configured build only checks it; keep its source.
sed -i 's|^cmake -S \. -B build|: cmake -S . -B build|; s|^cmake --build build|: cmake --build build|' "$scratch/clone/scripts/run"

status=0
(cd "$scratch" && env -u DISPLAY -u WAYLAND_DISPLAY clone/scripts/run) >"$scratch/out" 2>&1 || status=$?
[ "$status" = 1 ] || fail "exit status $status: $(cat "$scratch/out")"
grep -q 'Sem tela: DISPLAY está vazio' "$scratch/out" || fail "no word about the display: $(cat "$scratch/out")"
grep -q 'zelcmd listen --profile build/bin/profiles/desktop.zpr --dry-run' "$scratch/out" || fail "no microphone line"
wavline=$(grep -E '^ +build/bin/zelcmd listen .* --audio fala.wav --dry-run$' "$scratch/out") || fail "no WAV line"
makeline=$(grep -E '^ +#   espeak-ng ' "$scratch/out" | sed 's/^ *#   //') || fail "no recipe for the WAV"

# The README gives the same two lines.
grep -qxF "$(echo "$wavline" | sed 's/^ *//')" "$src/README.md" || fail "README lacks: $wavline"
grep -qxF "$(echo "$makeline" | sed 's/^ *//')" "$src/README.md" || fail "README lacks: $makeline"

status=0
(cd "$scratch" && env -u DISPLAY WAYLAND_DISPLAY=wayland-0 clone/scripts/run) >"$scratch/wl" 2>&1 || status=$?
[ "$status" = 1 ] && grep -q 'XWayland' "$scratch/wl" || fail "Wayland without XWayland: $(cat "$scratch/wl")"

# The two lines, as shown, in the clone: the activation word, then "copiar".
cd "$scratch/clone"
eval "${makeline/fala.wav/a.wav}"
eval "$(echo "$makeline" | sed 's/ copiar / computador /; s/fala\.wav/b.wav/')"
sox -q b.wav a.wav clean.wav pad 1 0
sox -R -q -m -v 1 clean.wav -v 1 "|sox -R clean.wav -p synth whitenoise vol 0.003" -b 16 fala.wav
# The runtime folder of the build must stay as it was: list the files before.
before=$(ls "$build/bin")
eval "${wavline/--dry-run/--dry-run --folder $scratch/run}" >"$scratch/listen.out" 2>"$scratch/listen.err" ||
  fail "listen: $(cat "$scratch/listen.err")"
grep -q '^sentence "computador" confidence' "$scratch/listen.out" || fail "heard: $(cat "$scratch/listen.out")"
grep -q '^sentence "copiar" confidence' "$scratch/listen.out" || fail "heard: $(cat "$scratch/listen.out")"
grep -q 'key down 0x43 C' "$scratch/listen.out" || fail "no CTRL+C: $(cat "$scratch/listen.out")"
[ "$before" = "$(ls "$build/bin")" ] || fail "the build's runtime folder changed"
echo OK
