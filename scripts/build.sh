#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds the library, the reference host and the tests into
# build/ (or $BUILD_DIR); further arguments go to CMake, for instance
# -DVQTINTWELL_QT_MAJOR=6.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
