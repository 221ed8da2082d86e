// SPDX-License-Identifier: MIT
#include "dialogs/framelesswindow.h"

#include <QColor>
#include <QDialog>
#include <QFile>
#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QPoint globalPosition(const QEvent* event)
{
    const auto* mouse = static_cast<const QMouseEvent*>(event);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return mouse->globalPosition().toPoint();
#else
    return mouse->globalPos();
#endif
}

} // namespace

namespace FramelessWindow {

void makeFrameless(QDialog* dialog)
{
    dialog->setAttribute(Qt::WA_TranslucentBackground);
    dialog->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
}

bool isSwallowedKey(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

bool handleTitleBarEvent(QWidget* window, QEvent* event, bool& dragging, QPoint& dragOffset)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        dragging = true;
        dragOffset = globalPosition(event) - window->frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove:
        if (!dragging)
            return false;
        window->move(globalPosition(event) - dragOffset);
        return true;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        dragging = false;
        return true;
    default:
        return false;
    }
}

void applyStyleSheet(QWidget* dialog)
{
    QFile file(QStringLiteral(":/Tintwell/res/qss/style.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    // UTF-8, for the font family name.
    dialog->setStyleSheet(QString::fromUtf8(file.readAll()));
}

void addFrameShadow(QWidget* frame, qreal blurRadius)
{
    auto* shadow = new QGraphicsDropShadowEffect(frame);
    shadow->setColor(QColor(0, 0, 0, 70));
    shadow->setOffset(0, 5);
    shadow->setBlurRadius(blurRadius);
    frame->setGraphicsEffect(shadow);
}

void paintFrameBackdrop(QWidget* dialog, const QWidget* titleBar, const QWidget* frame)
{
    // The style sheet's colour of both and the radius of their outer
    // corners, which are left to them: the backdrop stays clear of the corners.
    const QColor colour(0x50, 0x50, 0x50);
    constexpr int cornerRadius = 5;
    const QRect panel = titleBar->geometry().united(frame->geometry());
    QPainter(dialog).fillRect(panel.adjusted(0, cornerRadius, 0, -cornerRadius), colour);
}

QPoint centredOver(const QRect& outer, const QSize& size)
{
    return {outer.x() + (outer.width() - size.width()) / 2, outer.y() + (outer.height() - size.height()) / 2};
}

} // namespace FramelessWindow
