#!/usr/bin/env bash
# Installs the library from a build into a temporary prefix, checks the
# installed files, then builds examples/minimal-host against that prefix
# through find_package and runs it headless: what a host team does with the
# package, end to end.
#
# BUILD_DIR (default build/) is built with scripts/build.sh when it holds no
# build yet; otherwise only the library and its translations are brought up
# to date.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"

if [ ! -f "$build/CMakeCache.txt" ]; then
    BUILD_DIR=$build "$root/scripts/build.sh"
else
    # Re-running CMake picks up install rules added since the build was made.
    cmake "$build" >/dev/null
    cmake --build "$build" --target VqTintwell -j"$(nproc)"
fi

work=$(mktemp -d /tmp/vqtintwell-install.XXXXXX)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
libdir=${libdir:-lib}
expected=(
    "include/vqtintwell/vqtintwell.h"
    "include/vqtintwell/vqtintwellloader.h"
    "$libdir/libVqTintwell.so"
    "$libdir/cmake/VqTintwell/VqTintwellConfig.cmake"
    "$libdir/cmake/VqTintwell/VqTintwellConfigVersion.cmake"
    "share/VqTintwell/Lang/Lang.ini"
    "share/VqTintwell/Lang/chs/VqTintwell.qm"
    "share/VqTintwell/Lang/en/VqTintwell.qm"
    "share/doc/VqTintwell/abi.md"
    "share/doc/VqTintwell/host-guide.md"
)
# Exactly these: a test, the reference host or a benchmark in the prefix
# fails the check as much as a missing file does.
printf '%s\n' "${expected[@]}" | sort >"$work/expected.txt"
(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) >"$work/installed.txt"
if ! diff -u "$work/expected.txt" "$work/installed.txt"; then
    echo "test-install: the installed files differ from the expected list (- missing, + unexpected)" >&2
    exit 1
fi
for file in "${expected[@]}"; do
    if [ ! -s "$prefix/$file" ]; then
        echo "test-install: $file is empty" >&2
        exit 1
    fi
done
echo "test-install: ${#expected[@]} files installed as expected"

# The example sees nothing of the source tree or the build: only the prefix.
example=$work/minimal-host
cmake -S "$root/examples/minimal-host" -B "$example" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$prefix" >"$work/example-configure.log" 2>&1 \
    || { cat "$work/example-configure.log" >&2; exit 1; }
cmake --build "$example" -j"$(nproc)"

for file in minimal-host libVqTintwell.so Lang/Lang.ini Lang/chs/VqTintwell.qm Lang/en/VqTintwell.qm; do
    if [ ! -f "$example/$file" ]; then
        echo "test-install: the example's build lacks $file" >&2
        exit 1
    fi
done

# The example loads the library beside it, not the one in the prefix or the
# build, and exits non-zero on any failure.
(cd "$work" && QT_QPA_PLATFORM=offscreen timeout 120 "$example/minimal-host" --auto-close)
echo "test-install: passed"
