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
    // cells never draw over each other's separators.
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->setPen(previous);
}
