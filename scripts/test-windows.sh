#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The library, its suite and the reference host as Windows programs: builds
# Qt for Windows once (scripts/windows-qt.sh), cross-builds the project with
# MinGW-w64 into build-windows/, runs the whole suite under Wine on the
# windows platform on Xvfb, then the reference host for its screenshots
# (build-windows/screenshots/). Ends with "N passed, N failed"; exits
# non-zero on any failure. Run on demand, not in CI.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-windows}
"$root/scripts/deps.sh" g++-mingw-w64-x86-64 wine wine64 dpkg-dev
time_of() { local start=$SECONDS; "$@"; echo "== took $((SECONDS - start)) s"; }

echo "== Qt for Windows"
start=$SECONDS
qt=$("$root/scripts/windows-qt.sh" | tail -1)
echo "$qt"
echo "== took $((SECONDS - start)) s"

echo "== Build"
export VQ_WINDOWS_QT=$qt
time_of cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_BUILD_TYPE=Release >/dev/null
time_of cmake --build "$build" -j"$(nproc)"

# One X server for everything: Wine's desktop keeps the display it was
# started with, so the Wine server starts afresh once the display is set.
rm -f "$build/xvfb.display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$build/xvfb.display" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$build/xvfb.display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$build/xvfb.display")
# Wine finds Qt's and MinGW's DLLs on WINEPATH, and Qt finds its plugins
# beside its own DLLs, so nothing is copied beside the programs.
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/vqtintwell/wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true
wineboot -i >/dev/null 2>&1 || true
# The style sheet's font is Windows' own Chinese UI font, which Wine lacks:
# Noto Sans CJK stands in for it, as it does on Linux.
for name in '微软雅黑' 'Microsoft YaHei'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d 'Noto Sans CJK SC' /f >/dev/null 2>&1
done
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# A server that stays keeps one desktop for all programs; a desktop started
# anew for each of them sometimes comes up without the display driver.
wineserver -p
wine cmd /c exit >/dev/null 2>&1
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pthread=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$runtime");$(winepath -w "$pthread")"
export WINEPATH

echo "== Suite under Wine"
status=0
log=$build/test-windows.log
time_of ctest --test-dir "$build" --output-on-failure --timeout 120 \
    >"$log" 2>&1 || status=1
grep -E '^ *[0-9]+/[0-9]+ Test|tests passed' "$log" || true
passed=$(grep -cE '^ *[0-9]+/[0-9]+ Test .* Passed' "$log" || true)
failed=$(grep -cE '^ *[0-9]+/[0-9]+ Test .*(Failed|Exception|Timeout|Not Run)' "$log" || true)

echo "== Installed package, and the example host built against it"
example=$build/example
rm -rf "$build/install" "$example"
if cmake --install "$build" --prefix "$build/install" >/dev/null &&
    cmake -S "$root/examples/minimal-host" -B "$example" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DVqTintwell_DIR="$build/install/lib/cmake/VqTintwell" -DCMAKE_PREFIX_PATH="$qt" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$example" >/dev/null &&
    (cd "$example" && wine minimal-host.exe --auto-close); then
    passed=$((passed + 1))
else
    echo "FAIL: the example host against the installed package"
    failed=$((failed + 1)) status=1
fi

echo "== Reference host under Wine"
shots=$build/screenshots
rm -rf "$shots"
# The language chosen last, 0, stays the catalogue's default.
for language in 1 0; do
    if wine "$build/bin/tintwell-host.exe" --language $language \
        --screenshot "$(winepath -w "$shots/$language")"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1)) status=1
    fi
done
ls "$shots"/*/ 2>/dev/null || true

echo "$passed passed, $failed failed"
exit $status
