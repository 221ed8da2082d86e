// SPDX-License-Identifier: MIT
#include "log/hiddenattribute.h"

#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

void HiddenAttribute::set(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_HIDDEN))
        return;
    SetFileAttributesW(path, attributes | FILE_ATTRIBUTE_HIDDEN);
}
