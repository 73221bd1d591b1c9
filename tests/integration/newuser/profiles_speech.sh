#!/usr/bin/env bash
# The example profiles heard as a user would say them: every phrase of a
# profile is spoken by espeak-ng (Brazilian Portuguese voices), brought to
# 16 kHz mono with a faint noise floor as a microphone has, and the whole
# recording is given to `zelcmd listen --profile P --audio WAV --dry-run`.
# A phrase counts as recognized when its sentence comes back accepted, in
# its place (the sentences heard are aligned with the phrases said).
#
#   profiles_speech.sh ZELCMD PROFILES_DIR MIN_PERCENT "VOICE:SPEED ..." [PROFILE.zpr ...]
#
# A take written NAME@VOICE:SPEED is said only for the profile NAME.zpr.
#
# Prints one line a profile and voice, the phrases missed, and the total;
# fails when the share recognized is below MIN_PERCENT.
set -euo pipefail
zelcmd=$1
profiles_dir=$2
min_percent=$3
read -r -a takes <<<"$4"
shift 4
if [ $# -gt 0 ]; then profiles=("$@"); else profiles=("$profiles_dir"/*.zpr); fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

total=0
right=0
for profile in "${profiles[@]}"; do
  name=$(basename "$profile" .zpr)
  # The phrases, in profile order, as UTF-8.
  "$zelcmd" profile "$profile" | awk -F'\t' '$1 == "cmd" { print $3 }' >"$scratch/$name.phrases"
  for take in "${takes[@]}"; do
    case "$take" in
      *@*) [ "${take%%@*}" = "$name" ] || continue; take=${take#*@} ;;
    esac
    voice=${take%%:*}
    speed=${take##*:}
    parts=()
    i=0
    while IFS= read -r phrase; do
      espeak-ng -v "$voice" -s "$speed" --stdout "$phrase" >"$scratch/p.wav"
      sox -q "$scratch/p.wav" -r 16000 -c 1 -b 16 "$scratch/p$i.wav" pad 0.5 0.9
      parts+=("$scratch/p$i.wav")
      i=$((i + 1))
    done <"$scratch/$name.phrases"
    sox -q "${parts[@]}" "$scratch/clean.wav"
    sox -R -q -m -v 1 "$scratch/clean.wav" -v 1 "|sox -R $scratch/clean.wav -p synth whitenoise vol 0.003" -b 16 \
      "$scratch/spoken.wav"
    rm -f "${parts[@]}"
    "$zelcmd" listen --profile "$profile" --audio "$scratch/spoken.wav" --dry-run --folder "$scratch/run" \
      >"$scratch/listen.out" 2>"$scratch/listen.err" || { cat "$scratch/listen.err"; exit 1; }
    # One line a sentence heard; a rejected one is a miss (nothing happens for the user).
    sed -n -E 's/^sentence "(.*)" confidence -?[0-9]+$/\1/p; s/^rejected "(.*)" confidence -?[0-9]+$/\t\1/p' \
      "$scratch/listen.out" >"$scratch/heard"
    # Longest common subsequence of the phrases said and the sentences heard.
    result=$(awk -F'\n' '
      FNR == 1 { file++ }
      file == 1 { said[++n] = $0; next }
      { heard[++m] = $0 }
      END {
        for (i = 0; i <= n; i++) L[i, 0] = 0
        for (j = 0; j <= m; j++) L[0, j] = 0
        for (i = 1; i <= n; i++)
          for (j = 1; j <= m; j++)
            if (said[i] == heard[j]) L[i, j] = L[i-1, j-1] + 1
            else L[i, j] = (L[i-1, j] > L[i, j-1]) ? L[i-1, j] : L[i, j-1]
        # Walk back to name the phrases missed.
        i = n; j = m; missed = ""
        while (i > 0) {
          if (j > 0 && said[i] == heard[j]) { i--; j--; continue }
          if (j > 0 && L[i, j-1] >= L[i-1, j]) { j--; continue }
          missed = said[i] (missed == "" ? "" : " ") missed; i--
        }
        printf "%d %d %s\n", L[n, m], n, missed
      }' "$scratch/$name.phrases" "$scratch/heard")
    read -r got said missed <<<"$result"
    total=$((total + said))
    right=$((right + got))
    printf '%-10s %-10s %3s  %2d/%2d  missed: %s\n' "$name" "$voice" "$speed" "$got" "$said" "${missed:--}"
    if [ -n "${missed:-}" ] && [ -n "${VERBOSE:-}" ]; then
      echo "  heard: $(tr '\n' '|' <"$scratch/heard")"
    fi
  done
done
percent=$((right * 1000 / total))
printf 'total: %d/%d phrases recognized (%d.%d%%)\n' "$right" "$total" $((percent / 10)) $((percent % 10))
if [ $((right * 100)) -lt $((min_percent * total)) ]; then
  echo "FAIL: below $min_percent%"
  exit 1
fi
