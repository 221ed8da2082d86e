// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_FRAMELESSWINDOW_H
#define VQTINTWELL_FRAMELESSWINDOW_H

#include <QtGlobal>

class QDialog;
class QEvent;
class QKeyEvent;
class QPoint;
class QRect;
class QSize;
class QWidget;

// What the plug-in's dialogs share as windows that draw their own frame:
// a translucent, frameless tool window dragged by its title bar, which
// ignores the keys that would otherwise accept or reject it.
namespace FramelessWindow {

// Translucent background and the tool/frameless/stay-on-top flags, replacing
// any flags the dialog had.
void makeFrameless(QDialog* dialog);

// Return, Enter and Escape would close a QDialog; the plug-in's dialogs close
// only through their buttons.
bool isSwallowedKey(const QKeyEvent* event);

// Handles one event of the title bar of 'window'. Returns true when the event
// was part of a drag and is consumed. A left press starts the drag, moves
// follow the mouse whichever buttons are held, a left release ends it.
bool handleTitleBarEvent(QWidget* window, QEvent* event, bool& dragging, QPoint& dragOffset);

// Gives 'dialog' the plug-in's embedded style sheet. The sheet is set on each
// dialog rather than on the application, which belongs to the host. Without
// the resource the dialog keeps the default look.
void applyStyleSheet(QWidget* dialog);

// Drops a soft shadow from 'frame' into the transparent band that the
// dialog's layout margins leave around it. The effect is parented to 'frame'.
void addFrameShadow(QWidget* frame, qreal blurRadius);

// Paints the frame's colour under the title bar and the frame, from a paint
// event of 'dialog'. Each paints its own background, but at fractional scale
// factors their common edge falls inside a device pixel that neither covers
// whole: without this a half-transparent line would run across the window.
void paintFrameBackdrop(QWidget* dialog, const QWidget* titleBar, const QWidget* frame);

// Where a window of 'size' stands centred over 'outer'. The halves are
// truncated toward zero, so a window larger than 'outer' sits at
// (-187, -81) over a 500 x 400 one rather than at (-188, -82).
QPoint centredOver(const QRect& outer, const QSize& size);

} // namespace FramelessWindow

#endif
