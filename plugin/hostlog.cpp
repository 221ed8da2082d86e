// SPDX-License-Identifier: MIT
#include "plugin/hostlog.h"

#include "plugin/globals.h"
#include "plugin/vqtintwell.h"

void HostLog::write(const char* line)
{
    if (g_host)
        g_host->WriteLog(line);
}
