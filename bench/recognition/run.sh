#!/usr/bin/env bash
# Recognition benchmarks: accuracy on synthetic speech, then speed and latency
# for 200 commands with and without a large dictation bundle.
#   bench/recognition/run.sh [BUILD_DIR]
set -euo pipefail
BUILD=${1:-build}
CORPUS=$("$(dirname "$0")/corpus.sh")
echo "== held-out protocol: tuning and held-out speakers, new vocabulary, shipped profiles, non-command speech"
"$BUILD/bench/heldout_bench" --sweep
echo "== dictation: typed word error at the default settings, tuning and held-out speakers"
"$BUILD/bench/dictation_bench"
echo "== switch-on with a 20 000-sentence dictation text"
"$(dirname "$0")/dictation_switchon.sh" "$BUILD"
echo "== accuracy (threshold 50, the settings' default)"
"$BUILD/bench/accuracy_bench" --thresh 50 --scores
echo "== accuracy without a threshold"
"$BUILD/bench/accuracy_bench" --thresh 0 | tail -1
echo "== accuracy with digital silence between commands (no noise floor)"
"$BUILD/bench/accuracy_bench" --thresh 50 --floor 0 | tail -1
echo "== accuracy with a louder noise floor (0.01 of full scale, a plain microphone)"
"$BUILD/bench/accuracy_bench" --thresh 50 --floor 0.01 | tail -1
echo "== speed and latency"
"$BUILD/bench/latency_bench" --corpus "$CORPUS" --latency 30
