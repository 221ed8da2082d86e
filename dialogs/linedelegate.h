// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_LINEDELEGATE_H
#define VQTINTWELL_LINEDELEGATE_H

#include <QPen>
#include <QStyledItemDelegate>

class QColor;
class QTableView;

// Paints a cell as usual, then one line along its right edge. The dialogs'
// tables hide Qt's grid and give each column one of these, so that every
// column separator can have a colour of its own.
class LineDelegate : public QStyledItemDelegate
{
public:
    // Only the view's grid style is read, once, here; the delegate keeps no
    // reference to the view.
    LineDelegate(QTableView* view, int width, const QColor& color);
    ~LineDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QPen m_pen;
};

#endif
