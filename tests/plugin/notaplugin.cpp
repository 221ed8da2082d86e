// SPDX-License-Identifier: MIT
// A library that is not the plug-in, for the loader's errors: it exports
// NewInterface alone, or with NOTHING_OF_OURS nothing the loader looks for.
#ifdef _WIN32
#  define EXPORTED extern "C" __declspec(dllexport)
#else
#  define EXPORTED extern "C" __attribute__((visibility("default")))
#endif

#ifdef NOTHING_OF_OURS
EXPORTED int Unrelated()
{
    return 0;
}
#else
EXPORTED void* NewInterface()
{
    return nullptr;
}
#endif
