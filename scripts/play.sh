#!/usr/bin/env bash
# Builds the program and plays the bundled demo in its window (arrow keys, Z, X, left Shift or a
# game controller; F11 full screen, F12 screenshot). Without a display it says so and runs the demo
# in the headless runner instead, writing a few frames as PNG files; extra arguments then go to the
# runner, e.g. --frames 600 or --key 10:0x5A:down.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target Main Headless

cd "$root/demo"
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$root/build/default/Main"
fi

frames="$root/build/default/play-frames"
mkdir -p "$frames"
echo "play.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the demo headless," \
     "frames 60, 120, 180 and 240 go to $frames" >&2
# Without keys of its own the run takes the boss practice (X on the title) and shoots (Z held).
keys=(--key 30:88:down --key 31:90:down --key 33:88:up)
(($#)) && keys=()
"$root/build/default/tools/Headless" --frames 300 "${keys[@]}" \
    --png "60:$frames/frame_060.png" --png "120:$frames/frame_120.png" \
    --png "180:$frames/frame_180.png" --png "240:$frames/frame_240.png" "$@"
