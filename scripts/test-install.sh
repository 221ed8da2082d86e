#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the SDK archive of a finished build ($BUILD_DIR, default build/)
# with cpack, unpacks it into a temporary folder, checks its files and that
# its docs name no file it lacks, then builds the example host it holds
# against the unpacked folder through find_package and runs it headless:
# what a host team does with the archive alone.
# A host project of the other Qt major version must be refused by
# find_package.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
qt=$(sed -n 's/^VQTINTWELL_QT_MAJOR:STRING=//p' "$build/CMakeCache.txt")
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")

work=$(mktemp -d "${TMPDIR:-/tmp}/vqtintwell-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
(cd "$build" && cpack -B "$work/package" >"$work/log" 2>&1) || { cat "$work/log" >&2; exit 1; }
tar -xzf "$work/package/$name.tar.gz" -C "$work"
prefix=$work/$name

# Exactly these: a test, the reference host or a benchmark in the prefix
# fails the check as much as a missing file does.
printf '%s\n' include/vqtintwell/vqtintwell.h include/vqtintwell/vqtintwellloader.h "$libdir/libVqTintwell.so" \
    "$libdir/cmake/VqTintwell/VqTintwellConfig.cmake" "$libdir/cmake/VqTintwell/VqTintwellConfigVersion.cmake" \
    "$libdir/cmake/VqTintwell/VqTintwellTargets.cmake" "$libdir/cmake/VqTintwell/VqTintwellDeploy.cmake" \
    share/VqTintwell/Lang/Lang.ini \
    share/VqTintwell/Lang/chs/VqTintwell.qm share/VqTintwell/Lang/en/VqTintwell.qm \
    share/doc/VqTintwell/abi.md share/doc/VqTintwell/host-guide.md share/doc/VqTintwell/LICENSE \
    share/doc/VqTintwell/examples/minimal-host/CMakeLists.txt share/doc/VqTintwell/examples/minimal-host/main.cpp |
    sort >"$work/expected"
(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
diff -u "$work/expected" "$work/installed" || { echo "test-install: unexpected files in $name.tar.gz" >&2; exit 1; }
"$root/scripts/check-sdk-docs.sh" "$prefix"

# The example sees nothing of the source tree or the build: only the archive,
# with the commands the guide gives.
example=$prefix/share/doc/VqTintwell/examples/minimal-host
cmake -S "$example" -B "$work/example" -DCMAKE_PREFIX_PATH="$prefix" >"$work/log" 2>&1 \
    || { cat "$work/log" >&2; exit 1; }
# A catalogue of the host's own, which deploying must leave alone.
mkdir -p "$work/example/Lang"
printf '; the host'"'"'s own languages\n' >"$work/example/Lang/Lang.ini"
cp "$work/example/Lang/Lang.ini" "$work/own.ini"
cmake --build "$work/example" -j"$(nproc)" >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }
cmp "$work/own.ini" "$work/example/Lang/Lang.ini" || { echo "test-install: the host's catalogue was overwritten" >&2; exit 1; }
for folder in chs en; do
    [ -f "$work/example/Lang/$folder/VqTintwell.qm" ] || { echo "test-install: no $folder translation deployed" >&2; exit 1; }
done
(cd "$work" && QT_QPA_PLATFORM=offscreen timeout 120 "$work/example/minimal-host" --auto-close)

# A host of the other Qt is refused, whether it finds its Qt before the
# package or after it.
other=$((qt == 5 ? 6 : 5))
refused() { # NAME EXPECTED FIRST SECOND
    mkdir "$work/$1"
    printf 'cmake_minimum_required(VERSION 3.16)\nproject(other LANGUAGES CXX)\n%s\n%s\n%s\n' "$3" "$4" \
        "add_library(other SHARED $example/main.cpp)
target_link_libraries(other PRIVATE VqTintwell::Headers Qt$other::Core)" >"$work/$1/CMakeLists.txt"
    if cmake -S "$work/$1" -B "$work/$1/build" -DCMAKE_PREFIX_PATH="$prefix" >"$work/log" 2>&1 ||
        ! grep -q "$2" "$work/log"; then
        cat "$work/log" >&2
        echo "test-install: a Qt $other host that finds the package $1 was not refused" >&2
        exit 1
    fi
}
refused after "built with Qt $qt and cannot be loaded into a Qt $other host" \
    "find_package(Qt$other REQUIRED COMPONENTS Core)" "find_package(VqTintwell REQUIRED)"
refused first "QT_MAJOR_VERSION" "find_package(VqTintwell REQUIRED)" "find_package(Qt$other REQUIRED COMPONENTS Core)"
echo "test-install: $name.tar.gz unpacked, used by the example and refused to a Qt $other host"
