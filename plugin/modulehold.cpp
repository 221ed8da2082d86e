// SPDX-License-Identifier: MIT
#include "plugin/modulehold.h"

#include <mutex>
#include <utility>

#ifdef _WIN32
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

namespace {

// The reference, or null. A host's mistaken call from another thread holds
// the library too, and must not race with its GUI thread for these.
std::mutex g_mutex;
void* g_self = nullptr;
int g_holds = 0;

// A new reference on the module this code is in. Null where the library is
// linked into a program rather than loaded, which holds its code anyway.
void* takeSelf()
{
#ifdef _WIN32
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&g_self), &module);
    return module;
#else
    Dl_info info{};
    return dladdr(&g_self, &info) && info.dli_fname ? dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD) : nullptr;
#endif
}

void dropSelf(void* self)
{
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(self));
#else
    dlclose(self);
#endif
}

} // namespace

ModuleHold::ModuleHold()
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (g_holds++ == 0 && !g_self)
        g_self = takeSelf();
}

ModuleHold::~ModuleHold()
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    --g_holds;
}

void ModuleHold::dropLeftover()
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (g_holds == 0 && g_self)
        dropSelf(std::exchange(g_self, nullptr));
}
