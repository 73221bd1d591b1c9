#!/usr/bin/env bash
# Runs the actions benchmark: builds it, starts a private Xvfb (the typing
# benchmarks send real XTest events to it), runs, stops the server.
#   bench/actions/run.sh [build folder] [benchmark options...]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
shift || true
cmake --build "$build" -j2 --target bench_actions
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fifo"' EXIT
read -r display <"$fifo"
DISPLAY=":$display" "$build/bench/actions/bench_actions" "$@"
