// SPDX-License-Identifier: MIT
// Half a plug-in, for the loader's errors: it exports NewInterface alone.
#ifdef _WIN32
#  define EXPORTED extern "C" __declspec(dllexport)
#else
#  define EXPORTED extern "C" __attribute__((visibility("default")))
#endif

EXPORTED void* NewInterface()
{
    return nullptr;
}
