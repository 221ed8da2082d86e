#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine if needed, builds everything and runs the
# whole test suite headless.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
BUILD_DIR=$build "$root/scripts/build.sh"

cd "$build"
QT_QPA_PLATFORM=offscreen ctest -LE xcb --output-on-failure -j"$(nproc)"

# The real-window variants of the window tests, under Xvfb.
BUILD_DIR=$build "$root/scripts/test-xcb.sh"

# Installing the package and building a host against it.
BUILD_DIR=$build "$root/scripts/test-install.sh"

# The Windows-only layer, cross-compiled with MinGW-w64 and run under Wine.
"$root/scripts/test-windows.sh"

# The whole suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer, leak detection on.
"$root/scripts/test-sanitize.sh"

# Each fuzz target for a bounded time on its committed seed corpus.
"$root/scripts/test-fuzz.sh"
