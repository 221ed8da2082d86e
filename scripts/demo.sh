#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine if needed, builds everything and runs the
# reference host with its built-in sample device. Without a display it saves
# screenshots of what it would show instead. Extra arguments go to the host
# (see host/README.md).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
BUILD_DIR=$build "$root/scripts/build.sh"

host="$build/bin/tintwell-host"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$host" "$@"
fi

shots="$build/screenshots"
echo "No display found: saving screenshots instead."
"$host" --screenshot "$shots" "$@"
echo "Screenshots are in $shots"
