#!/usr/bin/env bash
# Runs each benchmark script and its Lua 5.4 equivalent side by side, several times, and prints the
# best CPU time (user + system) of each, their ratio, and the totals.
#   bench/run_script_bench.sh [runs]        (default 5 runs of each)
# Builds the script runner (preset default) when it is missing. Both programs of a pair must print the
# same lines; a pair that does not is reported.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
runner="$root/build/default/tools/run_script"
lua="$(command -v lua5.4 || true)"
if [ -z "$lua" ]; then
    echo "bench: lua5.4 is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
if [ ! -x "$runner" ]; then
    (cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default --target run_script >/dev/null)
fi

# Scripts start in a folder that has the default include, as the engine expects.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/SCRIPT/SYSTEM"
: > "$work/SCRIPT/SYSTEM/AUTOINCL.QSF"
cd "$work"

TIMEFORMAT='%3U %3S'
# Prints the CPU seconds of one run of "$@", its output going to out.txt.
cpu_seconds() {
    local times
    times=$({ time "$@" > out.txt 2> err.txt; } 2>&1)
    awk '{ printf "%.3f", $1 + $2 }' <<< "$times"
}

best() { tr ' ' '\n' | sort -g | head -n 1; }

printf '%-12s %10s %10s %8s\n' benchmark script lua ratio
total_script=0
total_lua=0
status=0
for script in "$root"/bench/machine/*.qsf; do
    name="$(basename "$script" .qsf)"
    peer="$root/bench/machine/$name.lua"
    [ -f "$peer" ] || continue
    script_times=()
    lua_times=()
    for ((i = 0; i < runs; i++)); do
        script_times+=("$(cpu_seconds "$runner" "$script")")
        cp out.txt script.out
        lua_times+=("$(cpu_seconds "$lua" "$peer")")
        cp out.txt lua.out
    done
    if ! cmp -s script.out lua.out; then
        echo "bench: $name: the script and Lua printed different results" >&2
        status=1
    fi
    s="$(echo "${script_times[*]}" | best)"
    l="$(echo "${lua_times[*]}" | best)"
    ratio="$(awk -v s="$s" -v l="$l" 'BEGIN { if (l > 0) printf "%.2f", s / l; else print "-" }')"
    printf '%-12s %10s %10s %8s\n' "$name" "$s" "$l" "$ratio"
    total_script="$(awk -v a="$total_script" -v b="$s" 'BEGIN { printf "%.3f", a + b }')"
    total_lua="$(awk -v a="$total_lua" -v b="$l" 'BEGIN { printf "%.3f", a + b }')"
done
printf '%-12s %10s %10s %8s\n' total "$total_script" "$total_lua" \
    "$(awk -v s="$total_script" -v l="$total_lua" 'BEGIN { if (l > 0) printf "%.2f", s / l; else print "-" }')"
exit $status
