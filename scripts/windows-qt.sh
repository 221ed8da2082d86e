#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds Qt 5 base for 64-bit Windows (x86_64-w64-mingw32) from
# Debian's own source package, once: Core, Gui, Widgets and Test, with the
# windows and offscreen platform plugins, into $VQ_WINDOWS_QT (default
# ~/.cache/vqtintwell/qt5-mingw-<version>). A finished build there is
# reused. About 20 minutes on two cores. Prints the install prefix last.
set -euo pipefail

version=$(dpkg-query -W -f='${Version}' qtbase5-dev 2>/dev/null || true)
[ -n "$version" ] || { echo "windows-qt: qtbase5-dev must be installed first" >&2; exit 1; }
upstream=${version%%+*}
upstream=${upstream%%-*}
prefix=${VQ_WINDOWS_QT:-$HOME/.cache/vqtintwell/qt5-mingw-$upstream}
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
# The sources come from the same archive and suites as the binaries.
if ! apt-get source --print-uris "qtbase-opensource-src=$version" >/dev/null 2>&1; then
    sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/vqtintwell-sources.sources >/dev/null
    "${sudo_cmd[@]}" apt-get update -qq
fi
work=$prefix.work
mkdir -p "$work"
cd "$work"
[ -d qtbase-src ] || {
    apt-get source -qq --download-only "qtbase-opensource-src=$version"
    dpkg-source -x qtbase-opensource-src_*.dsc qtbase-src >/dev/null
}

# MinGW's posix-thread variant: Qt needs std::thread and std::mutex.
for tool in gcc g++; do
    "${sudo_cmd[@]}" update-alternatives --set "x86_64-w64-mingw32-$tool" "/usr/bin/x86_64-w64-mingw32-$tool-posix" >/dev/null
done

mkdir -p build
cd build
# Tablet support needs wintab.h, which Debian's source package leaves out.
[ -f Makefile ] || ../qtbase-src/configure -prefix "$prefix" -xplatform win32-g++ \
    -device-option CROSS_COMPILE=x86_64-w64-mingw32- -release -shared -opensource -confirm-license \
    -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -no-feature-network -no-feature-tabletevent \
    -no-feature-sql -no-feature-xml -no-feature-concurrent \
    -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype >configure.log
make -j"$(nproc)" >make.log 2>&1 || { tail -40 make.log >&2; exit 1; }
make install >install.log 2>&1
touch "$prefix/.complete"
cd "$prefix"
rm -rf "$work" # sources and objects, 1.5 GB
echo "$prefix"
