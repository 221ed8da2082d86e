// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_HOSTTABLE_H
#define VQTINTWELL_HOSTTABLE_H

#include "plugin/hostrecords.h"

#include <QStringList>
#include <QVector>

#include <functional>

class QColor;
class QTableWidget;

// What both dialogs do with their one table: show what a fill call of the
// host answers, one centred row per record, and draw the column lines.
namespace HostTable {

using RowCells = std::function<QStringList(const InkRecord&)>;
using Arrange = std::function<void(InkRecord* begin, InkRecord* end)>;

// Asks the host through 'call' and, when it hands over records, replaces the
// table's rows by one row of 'cells' per record, after 'arrange' (if any)
// has reordered the host's own array. A negative count clears the rows and
// shows none. A refusal is told to the host as 'failedLine', no records as
// 'emptyLine'; then the array goes back to the host, before this returns.
void fill(QTableWidget* table, HostRecords::FillCall call, const char* failedLine, const char* emptyLine,
          const RowCells& cells, const Arrange& arrange = {});

// Pads the table with empty rows up to 'minimumRows' and sets the widths of
// its first columns.
void finish(QTableWidget* table, int minimumRows, const QVector<int>& columnWidths);

// Names the table and its columns by the headings shown above it, as
// screen readers read them: the table's own header stays hidden.
void nameColumns(QTableWidget* table, const QStringList& headings);

// One line delegate per column, in these colours; the table owns them.
void installColumnLines(QTableWidget* table, const QVector<QColor>& colours);

} // namespace HostTable

#endif
