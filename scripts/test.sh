#!/usr/bin/env bash
# Set-up, build and the whole test suite, then the same suite under the sanitizers. The Windows
# program is cross-built first (the shipped i686 Main.exe and the x86_64 build the Wine tests run);
# its tests (label windows) run in the default preset, the sanitizer run leaves them out.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

echo "== windows =="
windows_start=$SECONDS
for preset in windows-i686 windows-x64; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done
windows_build=$((SECONDS - windows_start))

for preset in default asan; do
    echo "== $preset =="
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    if [ "$preset" = default ]; then
        # A missing Windows build is a failure here, not a skip.
        wine_start=$SECONDS
        SPARREL_REQUIRE_WINDOWS=1 ctest --preset default -L windows
        echo "windows: build ${windows_build}s, tests under Wine $((SECONDS - wine_start))s"
        ctest --preset default -LE windows
    else
        ctest --preset "$preset"
    fi
done
