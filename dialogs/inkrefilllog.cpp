// SPDX-License-Identifier: MIT
#include "dialogs/inkrefilllog.h"
#include "ui_inkrefilllog.h"

#include "dialogs/framelesswindow.h"
#include "dialogs/linedelegate.h"
#include "dialogs/recordformat.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "plugin/hostrecords.h"
#include "plugin/vqtintwell.h"

#include <QColor>
#include <QKeyEvent>

#include <algorithm>
#include <tuple>

namespace {

// The table always shows at least this many rows, so that an empty or short
// history still looks like a list.
constexpr int MinimumRows = 10;
constexpr int TimeColumnWidth = 205;
constexpr int NameColumnWidth = 206;
constexpr int AmountColumnWidth = 190;
constexpr qreal ShadowBlurRadius = 9;

void writeHostLog(const QString& text)
{
    if (g_host)
        g_host->WriteLog(text.toUtf8().constData());
}

// Newest first. The fields are compared as the host stores them, signed,
// without checking that they make a valid date.
bool isLater(const InkRecord& a, const InkRecord& b)
{
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second)
        > std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

QTableWidgetItem* centredItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

InkRefillLog::InkRefillLog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::InkRefillLog)
{
    ui->setupUi(this);
    FramelessWindow::makeFrameless(this);
    retranslate();
    FramelessWindow::applyStyleSheet(this);
    installEventFilter(this);
    ui->widget_title->installEventFilter(this);
    installColumnDelegates();
    FramelessWindow::addFrameShadow(ui->widget_border, ShadowBlurRadius);
    loadRefillLog();
}

InkRefillLog::~InkRefillLog() = default;

void InkRefillLog::retranslate()
{
    setWindowTitle(CTranslatorMgr::translate("InkRefillLog", "Ink Refill Log"));
    ui->label_title->setText(CTranslatorMgr::translate("InkRefillLog", "Ink Refill Log"));
    ui->pushButton_close_2->setText(QString());
    // The title-bar button shows only an icon; screen readers say its name.
    ui->pushButton_close_2->setAccessibleName(CTranslatorMgr::translate("InkRefillLog", "Close"));
    ui->label_ink->setText(CTranslatorMgr::translate("InkRefillLog", "Time"));
    ui->label_remaining->setText(CTranslatorMgr::translate("InkRefillLog", "Ink"));
    ui->label_added->setText(CTranslatorMgr::translate("InkRefillLog", "Added"));
    ui->pushButton_close->setText(CTranslatorMgr::translate("InkRefillLog", "OK"));
}

void InkRefillLog::installColumnDelegates()
{
    // Dark separators between the columns, a light one on the last column's
    // edge where the table's own border follows. The table owns them.
    QTableWidget* table = ui->tableWidget_inkList;
    const QColor colours[] = {QColor(0x6D, 0x6D, 0x6D), QColor(0x6D, 0x6D, 0x6D), QColor(0xE8, 0xE8, 0xE8)};
    int column = 0;
    for (const QColor& colour : colours) {
        auto* delegate = new LineDelegate(table, 1, colour);
        delegate->setParent(table);
        table->setItemDelegateForColumn(column++, delegate);
    }
}

void InkRefillLog::loadRefillLog()
{
    QTableWidget* table = ui->tableWidget_inkList;
    {
        const HostRecords refills(g_host, &IInkHost::GetRefillLog);
        if (!refills.succeeded()) {
            writeHostLog(QStringLiteral("墨水加密：获取加墨记录列表失败！"));
        } else if (refills.count() == 0) {
            writeHostLog(QStringLiteral("墨水加密：没有需要显示的加墨记录"));
        } else {
            // The host's own array is sorted; it gets it back reordered.
            std::sort(refills.begin(), refills.end(), isLater);
            table->clearContents();
            table->setRowCount(qMax(refills.count(), 0));
            const QTextCodec* codec = RecordFormat::localCodec();
            int row = 0;
            for (const InkRecord& refill : refills) {
                table->setItem(row, 0, centredItem(RecordFormat::time(refill)));
                table->setItem(row, 1, centredItem(RecordFormat::name(refill, codec)));
                table->setItem(row, 2, centredItem(RecordFormat::amount(refill.amount)));
                ++row;
            }
        }
    } // the records go back to the host here

    if (table->rowCount() < MinimumRows)
        table->setRowCount(MinimumRows);
    table->setColumnWidth(0, TimeColumnWidth);
    table->setColumnWidth(1, NameColumnWidth);
    table->setColumnWidth(2, AmountColumnWidth);
}

bool InkRefillLog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->widget_title && FramelessWindow::handleTitleBarEvent(this, event, m_dragging, m_dragOffset))
        return true;
    return QDialog::eventFilter(watched, event);
}

void InkRefillLog::keyPressEvent(QKeyEvent* event)
{
    if (FramelessWindow::isSwallowedKey(event))
        return;
    QDialog::keyPressEvent(event);
}

void InkRefillLog::on_pushButton_close_clicked()
{
    accept();
}
