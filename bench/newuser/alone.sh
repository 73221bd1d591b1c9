#!/usr/bin/env bash
# Every phrase of the example profiles said alone, as the first thing a
# freshly started recognizer hears (one `zelcmd listen --audio` a phrase):
# the recognizer's normalisation has not yet adapted to the voice, so this is
# the case of the first command after switching recognition on.
#   bench/newuser/alone.sh [BUILD_DIR] [VOICE] [SPEED]    (default: build pt-br 150)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
zelcmd=${1:-$root/build}/bin/zelcmd
voice=${2:-pt-br}
speed=${3:-150}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ok=0
n=0
for profile in "$root"/data/profiles/*.zpr; do
  while IFS= read -r phrase; do
    espeak-ng -v "$voice" -s "$speed" --stdout "$phrase" | sox -q - -r 16000 -c 1 -b 16 "$scratch/c.wav" pad 0.5 0.9
    sox -R -q -m -v 1 "$scratch/c.wav" -v 1 "|sox -R $scratch/c.wav -p synth whitenoise vol 0.003" -b 16 "$scratch/s.wav"
    heard=$("$zelcmd" listen --profile "$profile" --audio "$scratch/s.wav" --dry-run --folder "$scratch/run" 2>/dev/null |
            grep -E '^(sentence|rejected) ' || true)
    n=$((n + 1))
    if [ "$(echo "$heard" | sed -E 's/ confidence -?[0-9]+$//')" = "sentence \"$phrase\"" ]; then
      ok=$((ok + 1))
    else
      echo "$(basename "$profile" .zpr) \"$phrase\": ${heard:-nothing}"
    fi
  done < <("$zelcmd" profile "$profile" | awk -F'\t' '$1 == "cmd" { print $3 }')
done
echo "alone, $voice $speed: $ok/$n phrases recognized"
