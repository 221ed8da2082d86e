// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_NATIVEWINDOW_H
#define VQTINTWELL_NATIVEWINDOW_H

#include "plugin/vqtintwell.h"

#include <QRect>

// The window-system calls the launcher makes on native window handles. On
// Windows they are the user-interface functions of the same names; elsewhere a
// handle is resolved to a top-level widget of this process. Results are
// advisory: callers go on whatever happens.
namespace NativeWindow {

void enable(HWND window, bool enabled);
// The outer rectangle in screen coordinates, in the window system's own
// pixels; false for an unknown handle.
bool outerRect(HWND window, QRect* rect);
// Where Qt must move a top-level widget for its outer rectangle to be
// 'rect', given in the pixels of outerRect.
QPoint qtPosition(const QRect& rect);
void setForeground(HWND window);
void bringToTop(HWND window);

} // namespace NativeWindow

#endif
