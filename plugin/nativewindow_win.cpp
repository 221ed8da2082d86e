// SPDX-License-Identifier: MIT
// Windows implementation: thin forwarding to user32.
#include "plugin/nativewindow.h"

#include <QGuiApplication>
#include <QScreen>

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

QPoint qtPosition(const Rect& rect)
{
    // Windows counts in device pixels. Qt 6, and Qt 5 with high-DPI scaling
    // on, count in device-independent pixels of the screen a window lands
    // on, from that screen's top left, which both share.
    const QPoint topLeft(int(rect.left), int(rect.top));
    const QPoint centre(int((rect.left + rect.right) / 2), int((rect.top + rect.bottom) / 2));
    const auto screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        const QRect geometry = screen->geometry();
        const qreal ratio = screen->devicePixelRatio();
        if (QRect(geometry.topLeft(), geometry.size() * ratio).contains(centre))
            return geometry.topLeft() + (topLeft - geometry.topLeft()) / ratio;
    }
    return topLeft;
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
