#!/usr/bin/env bash
# Builds the program and plays the bundled demo content. Until the windowed game exists, the demo's
# main script runs in the headless runner: game mode without a window, 300 frames on a virtual clock.
# Extra arguments go to the runner, e.g. --frames 600 or --key 10:0x5A:down.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default

cd "$root/demo"
"$root/build/default/tools/Headless" --frames 300 "$@"
