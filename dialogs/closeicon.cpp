// SPDX-License-Identifier: MIT
#include "dialogs/closeicon.h"

#include <QAbstractButton>
#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

const QIcon& cross()
{
    static const QIcon icon(QStringLiteral(":/Tintwell/res/icon/close.png"));
    return icon;
}

} // namespace

CloseIcon::CloseIcon(QAbstractButton* button)
    : QObject(button)
{
    button->setIcon(cross());
    // A widget's own sheet wins over its window's: the window's rules keep
    // the button's box and colours, this one drops their image.
    button->setStyleSheet(QStringLiteral("image: none"));
    button->installEventFilter(this);
}

bool CloseIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return QObject::eventFilter(watched, event);
    // The button paints itself first (QObject::event is public).
    watched->event(event);
    auto* button = static_cast<QWidget*>(watched);
    QStyleOptionButton option;
    option.initFrom(button);
    // Inside the border that the keyboard's focus mark brings, centred.
    QPainter painter(button);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // At fractional scales Qt 6 takes the 1x cross and scales it up: smoothly,
    // as the sheet's image was. Qt 5 takes the 2x one and scales it down itself.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
#endif
    cross().paint(&painter, button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button),
                  Qt::AlignCenter);
    return true;
}
