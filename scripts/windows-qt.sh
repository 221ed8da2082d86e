#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds Qt for 64-bit Windows (x86_64-w64-mingw32) from Debian's own
# source packages, once per major version, into
# $VQ_WINDOWS_QT_CACHE/qt<major>-mingw-<version> (default ~/.cache/vqtintwell):
#   windows-qt.sh 5   Qt 5 base: Core, Gui, Widgets, Test, with the windows and
#                     offscreen platform plugins; about 17 minutes on two cores.
#   windows-qt.sh 6   Qt 6 base: Core, Gui, Widgets, Test, Xml, the same two
#                     plugins, and Core5Compat; about 20 minutes on two cores.
# A finished build there is reused. Prints the install prefix last.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
major=${1:-5}
case $major in
5) package=qtbase5-dev source=qtbase-opensource-src ;;
6) package=qt6-base-dev source=qt6-base ;;
*) echo "windows-qt: the Qt major version is 5 or 6" >&2; exit 1 ;;
esac
# The same version as Debian's own Qt, whose tools the cross build uses.
version=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null || true)
[ -n "$version" ] || { echo "windows-qt: $package must be installed first" >&2; exit 1; }
upstream=${version%%+*}
upstream=${upstream%%-*}
prefix=${VQ_WINDOWS_QT_CACHE:-$HOME/.cache/vqtintwell}/qt$major-mingw-$upstream
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
# The sources come from the same archive and suites as the binaries.
if ! apt-get source --print-uris "$source=$version" >/dev/null 2>&1; then
    sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/vqtintwell-sources.sources >/dev/null
    "${sudo_cmd[@]}" apt-get update -qq
fi
work=$prefix.work
mkdir -p "$work"
cd "$work"
[ -d qtbase-src ] || {
    apt-get source -qq --download-only "$source=$version"
    dpkg-source -x "${source}"_*.dsc qtbase-src >/dev/null
}

# MinGW's posix-thread variant: Qt needs std::thread and std::mutex.
for tool in gcc g++; do
    "${sudo_cmd[@]}" update-alternatives --set "x86_64-w64-mingw32-$tool" "/usr/bin/x86_64-w64-mingw32-$tool-posix" >/dev/null
done

mkdir -p build
cd build
if [ "$major" = 5 ]; then
    # Tablet support needs wintab.h, which Debian's source package leaves out.
    [ -f Makefile ] || ../qtbase-src/configure -prefix "$prefix" -xplatform win32-g++ \
        -device-option CROSS_COMPILE=x86_64-w64-mingw32- -release -shared -opensource -confirm-license \
        -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -no-feature-network -no-feature-tabletevent \
        -no-feature-sql -no-feature-xml -no-feature-concurrent \
        -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype >configure.log
    make -j"$(nproc)" >make.log 2>&1 || { tail -40 make.log >&2; exit 1; }
    make install >install.log 2>&1
else
    # Debian's Qt 6 of the same version runs the tools (moc, rcc, uic) on
    # this machine. OpenGL stays on: the windows platform plugin of 6.4
    # does not build without it. Xml is for Core5Compat.
    export VQ_WINDOWS_QT=$prefix
    [ -f build.ninja ] || cmake -S ../qtbase-src -B . -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_dbus=OFF -DFEATURE_icu=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF -DFEATURE_xml=ON \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF >configure.log 2>&1 ||
        { tail -40 configure.log >&2; exit 1; }
    ninja >make.log 2>&1 || { tail -40 make.log >&2; exit 1; }
    ninja install >install.log 2>&1

    # Core5Compat, whose source Debian's mirror does not serve: Qt's own
    # archive of the same version, checked against its recorded checksum.
    thirdparty=${VQ_THIRDPARTY:-$root/../shared/thirdparty}
    (cd "$thirdparty" && sha256sum --quiet -c SHA256SUMS)
    cd "$work"
    [ -d qt5compat-src ] || {
        mkdir qt5compat-src
        tar -xJf "$thirdparty/qt5compat-everywhere-src-$upstream.tar.xz" -C qt5compat-src --strip-components=1
    }
    cmake -S qt5compat-src -B build-5compat -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF >build-5compat.log 2>&1 ||
        { tail -40 build-5compat.log >&2; exit 1; }
    ninja -C build-5compat install >>build-5compat.log 2>&1 || { tail -40 build-5compat.log >&2; exit 1; }
fi
touch "$prefix/.complete"
cd "$prefix"
rm -rf "$work" # sources and objects
echo "$prefix"
