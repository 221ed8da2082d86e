// A DLL that counts the thread-attach notifications the loader sends it, so
// the test can see whether the library's entry routine switched them off for
// a module. Built without the C runtime (this function is its entry point):
// the MinGW runtime gives every DLL a static TLS directory, and the loader
// refuses DisableThreadLibraryCalls for a module that has one.
#include <windows.h>

static volatile LONG g_threadAttaches = 0;

extern "C" __declspec(dllexport) LONG threadAttachCount() { return g_threadAttaches; }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_THREAD_ATTACH)
        InterlockedIncrement(&g_threadAttaches);
    return TRUE;
}
