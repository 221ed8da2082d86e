// SPDX-License-Identifier: MIT
// Implementation for platforms without the Windows calls: a handle is the
// WId of a native window of this process, and the widget that owns it stands
// in for the window.
#include "plugin/nativewindow.h"

#include <QWidget>

namespace {

QWidget* widgetFor(HWND window)
{
    if (!window)
        return nullptr;
    QWidget* widget = QWidget::find(reinterpret_cast<WId>(window));
    return widget ? widget->window() : nullptr;
}

} // namespace

namespace NativeWindow {

void enable(HWND window, bool enabled)
{
    if (QWidget* widget = widgetFor(window))
        widget->setEnabled(enabled);
}

bool outerRect(HWND window, Rect* rect)
{
    const QWidget* widget = widgetFor(window);
    if (!widget)
        return false;
    // Frame geometry is what the window system calls the outer rectangle;
    // right and bottom lie one past the last pixel, as on Windows.
    const QRect frame = widget->frameGeometry();
    rect->left = frame.x();
    rect->top = frame.y();
    rect->right = frame.x() + frame.width();
    rect->bottom = frame.y() + frame.height();
    return true;
}

QPoint qtPosition(const Rect& rect)
{
    // The rectangles come from Qt, in its own pixels.
    return {int(rect.left), int(rect.top)};
}

void setForeground(HWND window)
{
    if (QWidget* widget = widgetFor(window))
        widget->activateWindow();
}

void bringToTop(HWND window)
{
    if (QWidget* widget = widgetFor(window))
        widget->raise();
}

} // namespace NativeWindow
