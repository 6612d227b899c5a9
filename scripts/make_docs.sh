#!/usr/bin/env bash
# Regenerates the builtin reference docs/builtins.md from the builtin table and docs/builtins.txt.
# The test builtin_reference fails until the checked-in reference is what this writes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

cmake --preset default >/dev/null
cmake --build --preset default --target builtin_reference
generated="$(mktemp)"
trap 'rm -f "$generated"' EXIT
build/default/tools/builtin_reference docs/builtins.txt > "$generated"
mv "$generated" docs/builtins.md
trap - EXIT
echo "make_docs: docs/builtins.md written"
