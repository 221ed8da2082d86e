#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the test suite of a finished build ($1): everything headless on the
# offscreen platform, then the window-system tests on a real X server (Xvfb).
set -euo pipefail

cd "$1"
QT_QPA_PLATFORM=offscreen ctest -LE xcb --output-on-failure -j"$(nproc)"
# No window manager runs under Xvfb, as on a bare X server: the show calls
# fail on any request of the library's that X refuses.
xvfb-run -a -s "-screen 0 1920x1080x24" ctest -L xcb --output-on-failure
