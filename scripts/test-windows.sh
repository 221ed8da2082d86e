#!/usr/bin/env bash
# Cross-compiles the library's Windows-only translation units (entry routine,
# window calls, hidden attribute) and the virtual-table slot test with
# MinGW-w64, and runs the test programs headless under Wine. None of them
# needs Qt, so no Windows build of Qt is involved.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/deps.sh" g++-mingw-w64-x86-64 wine wine64

work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

out=$work/bin
mkdir -p "$out"

# -static: libstdc++, libgcc and winpthread go into each binary, so nothing
# has to be copied beside them for Wine to find.
cxx=x86_64-w64-mingw32-g++
flags=(-std=c++17 -O1 -Wall -Wextra -static -I"$root" -I"$root/tests" -DVQTINTWELL_BUILDING)

echo "Cross-compiling with $($cxx --version | head -n1)"
"$cxx" "${flags[@]}" -shared -o "$out/vqentry.dll" "$root/plugin/dllmain_win.cpp"
"$cxx" "${flags[@]}" -shared -nostdlib -Wl,--entry=DllMain -o "$out/threadprobe.dll" \
    "$root/tests/windows/threadprobe.cpp" -lkernel32
"$cxx" "${flags[@]}" -o "$out/tst_win32layer.exe" \
    "$root/tests/windows/tst_win32layer.cpp" \
    "$root/plugin/nativewindow_win.cpp" \
    "$root/plugin/dllmain_win.cpp" \
    "$root/log/hiddenattribute_win.cpp" \
    -luser32
"$cxx" "${flags[@]}" -o "$out/tst_vtableslots.exe" "$root/tests/abi/tst_vtableslots.cpp"

# A prefix of our own, 64-bit only (Debian's wine64 has no 32-bit half, hence
# the harmless "syswow64\rundll32.exe" line while the prefix is created), and
# without the Mono and Gecko installers that a new prefix would otherwise
# offer to run.
export WINEPREFIX=$work/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Runs inside xvfb-run: every test program in turn, each output kept for the
# tally, then waits for wineserver so the display outlives it.
cat >"$work/run-all.sh" <<'EOF'
#!/usr/bin/env bash
set -u
cd "$1"
shift
status=0
for program in "$@"; do
    echo "== $program"
    wine "$program" 2>&1 | tr -d '\r' | tee "$program.out"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
done
wineserver -w
exit $status
EOF

started=$(date +%s)
status=0
timeout 240 xvfb-run -a bash "$work/run-all.sh" "$out" tst_win32layer.exe tst_vtableslots.exe || status=$?
echo "Wine run took $(( $(date +%s) - started )) s"

# One closing line for both programs; a program that died without its own
# closing line counts as a failure.
passed=0
failed=0
for program in tst_win32layer.exe tst_vtableslots.exe; do
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$out/$program.out" 2>/dev/null | tail -n1 || true)
    if [ -z "$line" ]; then
        echo "$program printed no result"
        failed=$((failed + 1))
        status=1
        continue
    fi
    read -r p _ f _ <<<"${line//,/}"
    passed=$((passed + p))
    failed=$((failed + f))
done
echo "wine: $passed passed, $failed failed"
exit $status
