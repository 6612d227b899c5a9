#!/usr/bin/env bash
# Builds the program and runs it on the bundled demo content.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default

main="$root/build/default/Main"
cd "$root/demo"

echo "== Main help =="
"$main" help
echo
echo "== Main pp SCRIPT/SYSTEM/MAIN.QSF (preprocessed text follows) =="
out="$(mktemp)"
"$main" pp SCRIPT/SYSTEM/MAIN.QSF "$out"
echo
cat "$out"
rm -f "$out"
