#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up a fresh Debian 12 machine if needed, builds everything and runs the
# reference host with its built-in sample device; --qt6 builds against Qt 6
# (into build-qt6/). Without a display the host saves screenshots of what it
# would show instead. Further arguments go to the host (see host/README.md).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
qt=5
if [ "${1:-}" = --qt6 ]; then
    qt=6
    build=${BUILD_DIR:-$root/build-qt6}
    shift
fi

"$root/scripts/deps.sh"
BUILD_DIR=$build "$root/scripts/build.sh" -DVQTINTWELL_QT_MAJOR=$qt

host="$build/bin/tintwell-host"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$host" "$@"
fi
echo "No display found: saving screenshots instead."
"$host" --screenshot "$build/screenshots" "$@"
