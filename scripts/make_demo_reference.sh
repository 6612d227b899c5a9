#!/usr/bin/env bash
# Records the demo's replays anew: plays each run listed in tests/platform/frames/demo/replay.txt
# in the headless runner on the software device, and keeps its printed lines (NAME.log) and the
# frames named there (NAME_FRAME.png) as the references of tests/platform/demo_replay_test.cpp.
# Then writes the README's picture of the demo, demo/screenshot.png, from the boss replay.
# Run it when a change to the demo or the engine is meant to change the game; look at the frames.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

cmake --preset default >/dev/null
cmake --build --preset default --target Headless
runner="$root/build/default/tools/Headless"
references="$root/tests/platform/frames/demo"
screenshot_run=boss
screenshot_frame=0150

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

record() {  # name frames options...
    local name=$1 frames=$2
    shift 2
    rm -rf "$work/game"
    cp -r "$root/demo" "$work/game"
    (cd "$work" && "$runner" --frames "$frames" "$@" "$work/game") > "$references/$name.log"
    echo "recorded $name ($frames frames)"
}

name="" frames="" options=()
while read -r word value extra; do
    case "$word" in
        run)
            [[ -n "$name" ]] && record "$name" "$frames" "${options[@]}"
            name=$value frames=$extra options=()
            ;;
        key) options+=(--key "$value") ;;
        png) options+=(--png "$value:$references/${name}_$(printf %04d "$value").png") ;;
    esac
done < <(sed 's/#.*//' "$references/replay.txt")
[[ -n "$name" ]] && record "$name" "$frames" "${options[@]}"

cp "$references/${screenshot_run}_${screenshot_frame}.png" "$root/demo/screenshot.png"
echo "wrote demo/screenshot.png"
