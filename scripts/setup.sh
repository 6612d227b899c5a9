#!/usr/bin/env bash
# Installs every Debian package that building, testing, fuzzing and benchmarking need, and the
# cross compilers and Wine of the Windows builds and their tests.
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libstb-dev libsdl2-dev
    clang libclang-rt-14-dev
    lua5.4
    python3
    xvfb xdotool
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
    exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
