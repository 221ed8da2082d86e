#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Both windows as a screen reader reads them: the reference host of a
# finished build ($1) on a real X server (Xvfb), in a session bus of its own
# with the accessibility bus and registry of at-spi2-core, driven and read by
# an AT-SPI client (scripts/screenreader.py) in English and in Chinese.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$1/bin
"$root/scripts/deps.sh" at-spi2-core python3-pyatspi dbus-daemon x11-utils

# The host from a folder of its own: its language switch writes its catalogue.
dir=$(mktemp -d "${TMPDIR:-/tmp}/vq-screenreader.XXXXXX")
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$dir/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$dir"' EXIT
cp "$bin/tintwell-host" "$bin"/libVqTintwell.so "$dir/"
cp -r "$bin/Lang" "$dir/"
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$dir/display") QT_QPA_PLATFORM=xcb

# One session: the accessibility bus, its address where Qt 5 looks first
# (the root window: looked up on the session bus, it often comes after Qt 5
# has started its bridge, and the host never appears), then the host, always
# accessible, and the client. Qt 6 finds the bus through the session bus,
# but not with AT_SPI_BUS_ADDRESS set, which is left unset.
session() {
    local language=$1
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    local address=
    for _ in $(seq 100); do
        address=$(dbus-send --session --dest=org.a11y.Bus --print-reply=literal /org/a11y/bus \
            org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') && [ -n "$address" ] && break
        sleep 0.1
    done
    xprop -root -f AT_SPI_BUS 8s -set AT_SPI_BUS "$address"
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$dir/tintwell-host" --language "$language" >"$dir/host.log" 2>&1 &
    local host=$!
    local status=0
    timeout 120 /usr/bin/python3 "$root/scripts/screenreader.py" "$language" || status=$?
    kill $host 2>/dev/null || true
    wait $host 2>/dev/null || true
    # The Close button's press action closed the window by its button.
    grep -q "ShowForWidget returned true" "$dir/host.log" || { cat "$dir/host.log"; status=1; }
    return $status
}
export -f session
export root dir

failed=0
for language in 1 0; do
    dbus-run-session -- bash -c 'session "$0"' "$language" 2>"$dir/session.log" || { failed=1; cat "$dir/session.log"; }
done
exit $failed
