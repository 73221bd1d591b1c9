#!/usr/bin/env bash
# The example profiles spoken by three Brazilian-Portuguese espeak-ng voices at
# three speeds each, every phrase of every profile, through `zelcmd listen
# --audio --dry-run` (see tests/integration/newuser/profiles_speech.sh, which
# the integration test runs on a third of these takes).
#   bench/newuser/run.sh [BUILD_DIR]      (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
takes=""
for voice in pt-br pt-br+m3 pt-br+f2; do
  for speed in 120 150 170; do takes+="$voice:$speed "; done
done
exec "$root/tests/integration/newuser/profiles_speech.sh" "$build/bin/zelcmd" "$root/data/profiles" 95 "$takes"
