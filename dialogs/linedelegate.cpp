// SPDX-License-Identifier: MIT
#include "dialogs/linedelegate.h"

#include <QPainter>
#include <QTableView>

LineDelegate::LineDelegate(QTableView* view, int width, const QColor& color)
    : QStyledItemDelegate(nullptr)
    , m_pen(QBrush(color, Qt::SolidPattern), qreal(width), view->gridStyle(), Qt::SquareCap, Qt::BevelJoin)
{
}

LineDelegate::~LineDelegate() = default;

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);

    // The view paints the next cell with the same painter; leave its pen as found.
    const QPen previous = painter->pen();
    painter->setPen(m_pen);
    // QRect's right() is the last pixel column of the cell, so neighbouring
    // cells never draw over each other's separators. The line runs through
    // the centres of that column's pixels: on a scaled screen it then covers
    // the column's device pixels, as the style sheet's borders of the header
    // above do, rather than straddling its left edge.
    const QPointF centre(0.5, 0.5);
    painter->drawLine(QPointF(option.rect.topRight()) + centre, QPointF(option.rect.bottomRight()) + centre);
    painter->setPen(previous);
}
