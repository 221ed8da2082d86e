// SPDX-License-Identifier: MIT
// Windows implementation: thin forwarding to user32, no Qt involved.
#include "plugin/nativewindow.h"

#include <windows.h>

namespace NativeWindow {

void enable(HWND window, bool enabled)
{
    EnableWindow(window, enabled ? TRUE : FALSE);
}

bool outerRect(HWND window, Rect* rect)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    rect->left = r.left;
    rect->top = r.top;
    rect->right = r.right;
    rect->bottom = r.bottom;
    return true;
}

void setForeground(HWND window)
{
    SetForegroundWindow(window);
}

void bringToTop(HWND window)
{
    BringWindowToTop(window);
}

} // namespace NativeWindow
