// SPDX-License-Identifier: MIT
#include "dialogs/hosttable.h"

#include "dialogs/linedelegate.h"
#include "plugin/globals.h"
#include "plugin/hostlog.h"

#include <QTableWidget>

namespace HostTable {

void fill(QTableWidget* table, HostRecords::FillCall call, const char* failedLine, const char* emptyLine,
          const RowCells& cells, const Arrange& arrange)
{
    const HostRecords records(g_host, call);
    if (!records.succeeded() || records.count() == 0) {
        HostLog::write(records.succeeded() ? emptyLine : failedLine);
        return;
    }
    if (arrange)
        arrange(records.begin(), records.end());
    table->clearContents();
    table->setRowCount(qMax(records.count(), 0));
    int row = 0;
    for (const InkRecord& record : records) {
        const QStringList texts = cells(record);
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts.at(column));
            item->setTextAlignment(Qt::AlignCenter);
            table->setItem(row, column, item);
        }
        ++row;
    }
} // the records go back to the host here

void finish(QTableWidget* table, int minimumRows, const QVector<int>& columnWidths)
{
    if (table->rowCount() < minimumRows)
        table->setRowCount(minimumRows);
    for (int column = 0; column < columnWidths.size(); ++column)
        table->setColumnWidth(column, columnWidths.at(column));
}

void nameColumns(QTableWidget* table, const QStringList& headings)
{
    table->setHorizontalHeaderLabels(headings);
    table->setAccessibleName(headings.join(QStringLiteral(", ")));
}

void installColumnLines(QTableWidget* table, const QVector<QColor>& colours)
{
    for (int column = 0; column < colours.size(); ++column) {
        auto* delegate = new LineDelegate(table, 1, colours.at(column));
        delegate->setParent(table);
        table->setItemDelegateForColumn(column, delegate);
    }
}

} // namespace HostTable
