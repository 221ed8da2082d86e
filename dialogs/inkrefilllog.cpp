// SPDX-License-Identifier: MIT
#include "dialogs/inkrefilllog.h"
#include "ui_inkrefilllog.h"

#include "dialogs/closeicon.h"
#include "dialogs/focusmark.h"
#include "dialogs/framelesswindow.h"
#include "dialogs/hosttable.h"
#include "dialogs/recordformat.h"
#include "lang/ctranslatormgr.h"
#include "plugin/hostlog.h"
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

// Newest first. The fields are compared as the host stores them, signed,
// without checking that they make a valid date.
bool isLater(const InkRecord& a, const InkRecord& b)
{
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second)
        > std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
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
    new CloseIcon(ui->pushButton_close_2);
    installEventFilter(this);
    ui->widget_title->installEventFilter(this);
    // Dark separators between the columns, a light one on the last column's
    // edge where the table's own border follows.
    const QColor dark(0x6D, 0x6D, 0x6D);
    HostTable::installColumnLines(ui->tableWidget_inkList, {dark, dark, QColor(0xE8, 0xE8, 0xE8)});
    FramelessWindow::addFrameShadow(ui->widget_border, ShadowBlurRadius);
    loadRefillLog();
    // Where an operator looks to leave the window; marked once the keyboard
    // is in use there.
    ui->pushButton_close->setFocus();
    new FocusMark(this);
}

InkRefillLog::~InkRefillLog() = default;

void InkRefillLog::retranslate()
{
    setWindowTitle(CTranslatorMgr::translate("InkRefillLog", "Ink Refill Log"));
    ui->label_title->setText(CTranslatorMgr::translate("InkRefillLog", "Ink Refill Log"));
    ui->pushButton_close_2->setText(QString());
    // The title-bar button shows only an icon; screen readers say its name.
    ui->pushButton_close_2->setAccessibleName(CTranslatorMgr::translate("InkRefillLog", "Close Ink Refill Log"));
    ui->label_ink->setText(CTranslatorMgr::translate("InkRefillLog", "Time"));
    ui->label_remaining->setText(CTranslatorMgr::translate("InkRefillLog", "Ink"));
    ui->label_added->setText(CTranslatorMgr::translate("InkRefillLog", "Added"));
    ui->pushButton_close->setText(CTranslatorMgr::translate("InkRefillLog", "OK"));
    HostTable::nameColumns(ui->tableWidget_inkList,
                           {ui->label_ink->text(), ui->label_remaining->text(), ui->label_added->text()});
}

void InkRefillLog::loadRefillLog()
{
    const QTextCodec* codec = RecordFormat::localCodec();
    HostTable::fill(
        ui->tableWidget_inkList, &IInkHost::GetRefillLog, HostLog::RefillLogFailed, HostLog::RefillLogEmpty,
        [&](const InkRecord& refill) {
            return QStringList{RecordFormat::time(refill), RecordFormat::name(refill, codec),
                               RecordFormat::amount(refill.amount)};
        },
        // The host's own array is sorted; it gets it back reordered.
        [](InkRecord* begin, InkRecord* end) { std::sort(begin, end, isLater); });
    HostTable::finish(ui->tableWidget_inkList, MinimumRows, {TimeColumnWidth, NameColumnWidth, AmountColumnWidth});
}

bool InkRefillLog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->widget_title && FramelessWindow::handleTitleBarEvent(this, event, m_dragging, m_dragOffset))
        return true;
    return QDialog::eventFilter(watched, event);
}

void InkRefillLog::paintEvent(QPaintEvent* /*event*/)
{
    FramelessWindow::paintFrameBackdrop(this, ui->widget_title, ui->widget_border);
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
