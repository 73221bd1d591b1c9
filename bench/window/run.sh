#!/usr/bin/env bash
# Builds and runs the window's benchmarks on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build -j2 --target bench_window
QT_QPA_PLATFORM=offscreen build/bench/window/bench_window "$@"
