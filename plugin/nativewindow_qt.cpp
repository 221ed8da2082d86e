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

bool outerRect(HWND window, QRect* rect)
{
    const QWidget* widget = widgetFor(window);
    if (!widget)
        return false;
    // Frame geometry is what the window system calls the outer rectangle.
    *rect = widget->frameGeometry();
    return true;
}

QPoint qtPosition(const QRect& rect)
{
    // The rectangles come from Qt, in its own pixels.
    return rect.topLeft();
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
