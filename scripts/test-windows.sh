#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The library, its suite and the reference host as Windows programs, against
# Qt 5 and Qt 6: builds each Qt for Windows once (scripts/windows-qt.sh),
# cross-builds the project with MinGW-w64 into build-windows/ (Qt 5) and
# build-windows-qt6/, runs the whole suite under Wine on the windows platform
# on Xvfb, the placement on screens scaled to 125, 150 and 200 %, the example
# host built from the unpacked SDK archive and the reference host for its
# screenshots (<build>/screenshots/). Ends with "N passed, N failed" over
# both; exits non-zero on any failure. Run on demand, not in CI.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" g++-mingw-w64-x86-64 wine wine64 dpkg-dev ninja-build
time_of() { local start=$SECONDS; "$@"; echo "== took $((SECONDS - start)) s"; }

# One X server for everything: Wine's desktop keeps the display it was
# started with, so the Wine server starts afresh once the display is set.
state=$root/build-windows.state
mkdir -p "$state"
rm -f "$state/xvfb.display"
Xvfb -displayfd 3 -screen 0 2400x1500x24 -nolisten tcp 3>"$state/xvfb.display" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$state/xvfb.display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$state/xvfb.display")
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/vqtintwell/wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true
wineboot -i >/dev/null 2>&1 || true
# The style sheet's font is Windows' own Chinese UI font, which Wine lacks:
# Noto Sans CJK stands in for it, as it does on Linux.
for name in '微软雅黑' 'Microsoft YaHei'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d 'Noto Sans CJK SC' /f >/dev/null 2>&1
done

# The screen's DPI as Windows has it (96 is 100 %); Wine reads it when its
# server starts. A server that stays keeps one desktop for all programs; a
# desktop started anew for each of them sometimes comes up without the
# display driver.
set_dpi() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1
}

passed=0 failed=0 status=0
count() { # what, command...: one result of the run
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1)) status=1
    fi
}

runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pthread=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
for major in 5 6; do
    build=$root/build-windows
    [ "$major" = 5 ] || build=$root/build-windows-qt$major
    echo "== Qt $major for Windows"
    start=$SECONDS
    qt=$("$root/scripts/windows-qt.sh" "$major" | tail -1)
    echo "$qt"
    echo "== took $((SECONDS - start)) s"

    echo "== Qt $major: build"
    export VQ_WINDOWS_QT=$qt
    time_of cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_BUILD_TYPE=Release -DVQTINTWELL_QT_MAJOR="$major" >/dev/null
    time_of cmake --build "$build" -j"$(nproc)"
    # Wine finds Qt's and MinGW's DLLs on WINEPATH, and Qt finds its plugins
    # beside its own DLLs, so nothing is copied beside the programs.
    WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$runtime");$(winepath -w "$pthread")"
    export WINEPATH

    echo "== Qt $major: suite under Wine"
    set_dpi 96
    log=$build/test-windows.log
    time_of ctest --test-dir "$build" --output-on-failure --timeout 120 -LE scaled >"$log" 2>&1 || status=1
    grep -E '^ *[0-9]+/[0-9]+ Test|tests passed' "$log" || true
    passed=$((passed + $(grep -cE '^ *[0-9]+/[0-9]+ Test .* Passed' "$log" || true)))
    failed=$((failed + $(grep -cE '^ *[0-9]+/[0-9]+ Test .*(Failed|Exception|Timeout|Not Run)' "$log" || true)))

    echo "== Qt $major: placement on scaled screens"
    for dpi in 120 144 192; do
        set_dpi $dpi
        count "Qt $major placement at $dpi DPI" ctest --test-dir "$build" --output-on-failure --timeout 120 -L scaled \
            >"$build/test-windows-$dpi.log" 2>&1
        grep -E '^ *[0-9]+/[0-9]+ Test' "$build/test-windows-$dpi.log" | sed "s/\$/ ($dpi DPI)/" || true
    done
    set_dpi 96

    echo "== Qt $major: version resources, the SDK archive and the example host built from it"
    count "Qt $major version resources" eval \
        'x86_64-w64-mingw32-objdump -h "$build/bin/VqTintwell.dll" | grep -q "\.rsrc" &&
        x86_64-w64-mingw32-objdump -h "$build/bin/tintwell-host.exe" | grep -q "\.rsrc"'
    name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
    package=$build/package
    example=$build/example
    rm -rf "$package" "$example"
    count "Qt $major example host from $name.zip" eval \
        '(cd "$build" && cpack -B "$package" >/dev/null) && (cd "$package" && cmake -E tar xf "$name.zip") &&
        "$root/scripts/check-sdk-docs.sh" "$package/$name" &&
        cmake -S "$package/$name/share/doc/VqTintwell/examples/minimal-host" -B "$example" \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
            -DVqTintwell_DIR="$package/$name/lib/cmake/VqTintwell" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null &&
        cmake --build "$example" >/dev/null &&
        (cd "$example" && wine minimal-host.exe --auto-close)'

    echo "== Qt $major: reference host under Wine"
    shots=$build/screenshots
    rm -rf "$shots"
    # The language chosen last, 0, stays the catalogue's default.
    for language in 1 0; do
        count "Qt $major reference host, language $language" \
            wine "$build/bin/tintwell-host.exe" --language $language --screenshot "$(winepath -w "$shots/$language")"
    done
    ls "$shots"/*/ 2>/dev/null || true
done

echo "$passed passed, $failed failed"
exit $status
