#!/usr/bin/env bash
# Builds the fuzz preset and runs one libFuzzer target for the given number of seconds.
#   scripts/fuzz.sh <target> <seconds>      e.g. scripts/fuzz.sh script_lexer 600
# The growing corpus is kept in fuzz-corpus/<target> (not versioned); checked-in seeds in
# tests/fuzz/corpus/<target> are read as well. Crashing inputs land in fuzz-corpus/<target>-crashes/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

if [ $# -ne 2 ]; then
    echo "usage: $0 <target> <seconds>" >&2
    echo "targets:" $(cd tests/fuzz && ls *.cpp | sed 's/\.cpp$//') >&2
    exit 2
fi
target="$1"
seconds="$2"
if [ ! -f "tests/fuzz/$target.cpp" ]; then
    echo "fuzz: no target tests/fuzz/$target.cpp" >&2
    exit 2
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "fuzz_$target"

corpus="$root/fuzz-corpus/$target"
crashes="$root/fuzz-corpus/$target-crashes"
mkdir -p "$corpus" "$crashes"
dirs=("$corpus")
if [ -d "tests/fuzz/corpus/$target" ]; then
    dirs+=("$root/tests/fuzz/corpus/$target")
fi
options=(-max_total_time="$seconds" -jobs=1 -workers=1 -artifact_prefix="$crashes/" -print_final_stats=1)
if [ -f "tests/fuzz/$target.dict" ]; then
    options+=(-dict="$root/tests/fuzz/$target.dict")
fi

# With -jobs libFuzzer runs the target in a child that logs to fuzz-<job>.log in the working folder.
cd "$corpus/.."
rm -f fuzz-0.log
status=0
"$root/build/fuzz/fuzz_$target" "${options[@]}" "${dirs[@]}" || status=$?
if [ -f fuzz-0.log ]; then
    mv fuzz-0.log "$target.log"
    tail -n 25 "$target.log"
fi
exit $status
