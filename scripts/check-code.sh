#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Code health, on a finished build ($1, default build/): every C++ file as
# .clang-format has it, clazy's checks of .clazy over the library, the host
# and the tests, and clang-tidy's of .clang-tidy over the library and the
# host. Any finding fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cd "$root"

sources=$(find plugin dialogs lang log res host testsupport tests examples bench fuzz -name '*.cpp' -o -name '*.h' | sort)
echo "clang-format: $(echo "$sources" | wc -l) files"
clang-format --dry-run --Werror $sources

# What the compiler sees, moc's and uic's output included, but only our
# own sources are checked.
checks=$(sed -e 's/#.*//' .clazy | xargs | tr ' ' ',')
translation_units=$(echo "$sources" | grep -E '^(plugin|dialogs|lang|log|host|tests)/.*\.cpp$' | grep -v '_win\.cpp$' |
    grep -v '^tests/abi/')
echo "clazy: $(echo "$translation_units" | wc -l) files, $checks"
echo "$translation_units" | xargs -P "$(nproc)" -n 4 clazy-standalone -p "$build/compile_commands.json" \
    --checks="$checks" --header-filter="$root/(plugin|dialogs|lang|log|host|testsupport|tests)/" \
    --ignore-dirs="$build" 2>&1 | { grep -v -E '^[0-9]+ warnings? generated\.$' || true; } | tee "$build/clazy.log"
if grep -q -E 'warning:|error:' "$build/clazy.log"; then
    echo "check-code: clazy has findings" >&2
    exit 1
fi

library_and_host=$(echo "$translation_units" | grep -E '^(plugin|dialogs|lang|log|host)/')
echo "clang-tidy: $(echo "$library_and_host" | wc -l) files"
echo "$library_and_host" | xargs -P "$(nproc)" -n 2 clang-tidy -p "$build" --quiet 2>&1 |
    { grep -v -E '^[0-9]+ warnings? generated\.$' || true; } | tee "$build/clang-tidy.log"
if grep -q -E 'warning:|error:' "$build/clang-tidy.log"; then
    echo "check-code: clang-tidy has findings" >&2
    exit 1
fi
echo "check-code: clean"
