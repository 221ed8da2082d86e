// SPDX-License-Identifier: MIT
// Compiled for the Microsoft C++ ABI only, to have clang lay out both
// interfaces' virtual tables as MSVC does: a table is laid out where a class
// that fills it is defined.
#include "plugin/vqtintwell.h"

struct ProbeHost : IInkHost
{
    void WriteLog(const char*) override {}
    void FreeRecords(InkRecord*) override {}
    bool IsInkLimited() override { return true; }
    bool GetInkList(InkRecordList*) override { return true; }
    bool GetRefillLog(InkRecordList*) override { return true; }
};

struct ProbeTintwell : ITintwell
{
    bool SetHost(IInkHost*) override { return true; }
    bool ShowForWindow(HWND, int) override { return true; }
    bool ShowForWidget(QWidget*, int) override { return true; }
};

ProbeHost host;
ProbeTintwell tintwell;
