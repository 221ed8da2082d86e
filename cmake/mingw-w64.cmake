# SPDX-License-Identifier: MIT
# Cross-building for 64-bit Windows with Debian's MinGW-w64 (posix threads)
# against a Qt that scripts/windows-qt.sh builds, whose prefix comes in as
# VQ_WINDOWS_QT. Qt 5's moc, uic and rcc are built for the build machine with
# it; lrelease, and Qt 6's tools, are Debian's own, of the same version. CTest
# runs the tests under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH "$ENV{VQ_WINDOWS_QT}" /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(Qt5LinguistTools_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools CACHE PATH "")
# Qt 6 takes its tools (moc, rcc, uic, lrelease) from the Qt of the build
# machine, Debian's own of the same version.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
