// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_HIDDENATTRIBUTE_H
#define VQTINTWELL_HIDDENATTRIBUTE_H

// Kept free of Qt so that the Windows side can include <windows.h> without
// clashing with Qt's headers.
namespace HiddenAttribute {

// Adds the hidden attribute to the file or directory at 'path' (a
// null-terminated UTF-16 path). Failures are ignored by design: a log that is
// not hidden still works.
void set(const wchar_t* path);

} // namespace HiddenAttribute

#endif
