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

bool outerRect(HWND window, QRect* rect)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    // Right and bottom lie one past the last pixel.
    *rect = QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    return true;
}

QPoint qtPosition(const QRect& rect)
{
    // Windows counts in device pixels. Qt 6, and Qt 5 with high-DPI scaling
    // on, count in device-independent pixels of the screen a window lands
    // on, from that screen's top left, which both share.
    const auto screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        const QRect geometry = screen->geometry();
        const qreal ratio = screen->devicePixelRatio();
        if (QRect(geometry.topLeft(), geometry.size() * ratio).contains(rect.center()))
            return geometry.topLeft() + (rect.topLeft() - geometry.topLeft()) / ratio;
    }
    return rect.topLeft();
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
