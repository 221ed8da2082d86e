#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Code health, on a finished build ($1, default build/): every C++ file as
# .clang-format has it, clazy's checks of .clazy over the library and the
# host (the tests write plain string literals, for reading), and clang-tidy's of .clang-tidy over the library and the
# host. Any finding fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cd "$root"

sources=$(find plugin dialogs lang log res host testsupport tests examples bench fuzz -name '*.cpp' -o -name '*.h' | sort)
echo "clang-format: $(echo "$sources" | wc -l) files"
clang-format --dry-run --Werror $sources

# Runs a checker over the files, a few at a time on every core, and fails on
# any finding; what the compiler sees includes moc's and uic's output, but
# only our own sources are checked.
check() {
    local name=$1 files=$2
    shift 2
    echo "$files" | xargs -P "$(nproc)" -n 4 "$@" 2>&1 | { grep -v -E '^[0-9]+ warnings? generated\.$' || true; } |
        tee "$build/$name.log"
    if grep -q -E 'warning:|error:' "$build/$name.log"; then
        echo "check-code: $name has findings" >&2
        exit 1
    fi
}

# The build's compile commands, less GCC's own options that clang refuses.
database=$build/clang-checks
mkdir -p "$database"
sed -e 's/ -fno-gnu-unique//g' "$build/compile_commands.json" >"$database/compile_commands.json"

checks=$(sed -e 's/#.*//' .clazy | xargs | tr ' ' ',')
translation_units=$(echo "$sources" | grep -E '^(plugin|dialogs|lang|log|host)/.*\.cpp$' | grep -v '_win\.cpp$')
echo "clazy: $(echo "$translation_units" | wc -l) files, $checks"
check clazy "$translation_units" clazy-standalone -p "$database/compile_commands.json" --checks="$checks" \
    --header-filter="$root/(plugin|dialogs|lang|log|host)/" --ignore-dirs="$build"

echo "clang-tidy: $(echo "$translation_units" | wc -l) files"
check clang-tidy "$translation_units" clang-tidy -p "$database" --quiet
echo "check-code: clean"
