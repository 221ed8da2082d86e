// SPDX-License-Identifier: MIT
// Library entry routine for Windows builds. The plug-in keeps no per-thread
// state, so the thread attach and detach notifications are switched off.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    return TRUE;
}
