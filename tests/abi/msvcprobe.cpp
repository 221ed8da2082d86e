// SPDX-License-Identifier: MIT
// Compiled for the Microsoft C++ ABI only, to have clang lay out both
// interfaces' virtual tables as MSVC does: a table is laid out where a
// constructor that fills it is defined.
#include "plugin/vqtintwell.h"

struct Probe : IInkHost, ITintwell
{
    Probe();
};

Probe::Probe() = default;
