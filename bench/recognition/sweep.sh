#!/usr/bin/env bash
# Engine settings compared on the accuracy benchmark, one decoding each.
#   bench/recognition/sweep.sh [-b BUILD_DIR] [-v VOICES] "SETTINGS" ...
# SETTINGS: argument-file lines separated by ";", e.g. "-lw 4;-wip 0.1"
# ("" = the template alone). Prints, per setting, the exact share and the
# ordinary-speech / noise results at thresholds 0 and 50 and the best
# threshold that gives no result on noise or ordinary speech.
set -euo pipefail
BUILD=build
VOICES=100
while getopts "b:v:" o; do
  case $o in b) BUILD=$OPTARG ;; v) VOICES=$OPTARG ;; *) exit 1 ;; esac
done
shift $((OPTIND - 1))
for setting in "$@"; do
  args=()
  IFS=';' read -ra lines <<< "$setting"
  for l in "${lines[@]}"; do [ -n "$l" ] && args+=(--arg "$l"); done
  out=$("$BUILD/bench/accuracy_bench" --thresh 50 --sweep --voices "$VOICES" "${args[@]}")
  printf '%-40s' "${setting:-(template)}"
  echo "$out" | awk '
    /^  threshold/ { t=$2+0; split($4,a,"/"); ex=a[1]; tot=a[2]; sp=$9; no=$12
                     if (t==0) t0=ex; if (t==50) t50=ex " sp" sp " no" no
                     if (sp==0 && no==0 && best=="") best=ex " @" t }
    END { printf " n=%s  thr0 %s  thr50 %s  clean-best %s\n", tot, t0, t50, best }'
done
