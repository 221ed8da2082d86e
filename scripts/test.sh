#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up a fresh Debian 12 machine if needed, builds everything against
# Qt 5 (build/) and Qt 6 (build-qt6/) and runs the whole test suite headless
# against both, with the SDK archive and what a screen reader reads, checks
# the code's format and runs clazy and clang-tidy over it, then the
# sanitizer build and the fuzzers.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

# clang for the Microsoft-ABI check and the fuzzers (with its sanitizer
# runtimes and llvm-symbolizer), MinGW-w64 for the Windows-only units, and
# the code checkers; libclang's Python bindings for the generated mutants.
"$root/scripts/deps.sh" clang libclang-rt-14-dev llvm g++-mingw-w64-x86-64 clang-format clang-tidy clazy python3-clang

echo "== The mutation list still applies to the sources"
python3 "$root/scripts/mutate.py" --check

for qt in 5 6; do
    build=$root/build
    [ "$qt" = 5 ] || build=$root/build-qt$qt
    echo "== Qt $qt: build, suite, installed package, screen reader"
    BUILD_DIR=$build "$root/scripts/build.sh" -DVQTINTWELL_QT_MAJOR=$qt
    "$root/scripts/test-suite.sh" "$build"
    BUILD_DIR=$build "$root/scripts/test-install.sh"
    "$root/scripts/test-screenreader.sh" "$build"
done

# Read from the Qt 5 build's compile commands.
echo "== Every listed equivalent of the generated mutants is still one of them"
python3 "$root/scripts/mutate.py" --generated --check --build "$root/build"

echo "== Formatting, clazy, clang-tidy"
"$root/scripts/check-code.sh" "$root/build"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/test-sanitize.sh"

echo "== Fuzzers"
"$root/scripts/test-fuzz.sh"
