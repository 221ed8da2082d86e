// SPDX-License-Identifier: MIT
#include "dialogs/inkmanagement.h"
#include "ui_inkmanagement.h"

#include "dialogs/closeicon.h"
#include "dialogs/focusmark.h"
#include "dialogs/framelesswindow.h"
#include "dialogs/hosttable.h"
#include "dialogs/inkrefilllog.h"
#include "dialogs/recordformat.h"
#include "lang/ctranslatormgr.h"
#include "log/dynamicliblogger.h"
#include "plugin/globals.h"
#include "plugin/hostlog.h"
#include "plugin/vqtintwell.h"

#include <QColor>
#include <QKeyEvent>

namespace {

// The table always shows at least this many rows, so that an empty or short
// list still looks like a list.
constexpr int MinimumRows = 13;
constexpr int NameColumnWidth = 196;
constexpr int AmountColumnWidth = 190;
constexpr qreal ShadowBlurRadius = 15;
// A year of activity log files is kept.
constexpr int LogRetentionDays = 365;

} // namespace

InkManagement::InkManagement(int /*reserved*/, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::InkManagement)
{
    ui->setupUi(this);
    FramelessWindow::makeFrameless(this);
    init();
    loadInkList();
    // Where an operator looks to leave the window; marked once the keyboard
    // is in use there.
    ui->pushButton_close->setFocus();
    new FocusMark(this);
}

InkManagement::~InkManagement() = default;

void InkManagement::init()
{
    retranslate();
    FramelessWindow::applyStyleSheet(this);
    new CloseIcon(ui->pushButton_close_2);
    installEventFilter(this);
    ui->widget_title->installEventFilter(this);
    // A dark separator between the columns, a light one on the last
    // column's edge.
    HostTable::installColumnLines(ui->tableWidget_inkList, {QColor(0x6D, 0x6D, 0x6D), QColor(0xE8, 0xE8, 0xE8)});
    FramelessWindow::addFrameShadow(ui->widget_border, ShadowBlurRadius);

    // The logger belongs to the process, not to this dialog: it is created by
    // the first opening and kept by every later one.
    m_logger = DynamicLibLogger::instance(QCoreApplication::applicationDirPath() + QStringLiteral("/Log/Activity"),
                                          QStringLiteral("Activity"), LogRetentionDays);
    m_logger->log(DynamicLibLogger::Info, QString());
    m_logger->log(DynamicLibLogger::Info, QStringLiteral("\t——————————进入墨水加密界面——————————"));
}

void InkManagement::retranslate()
{
    setWindowTitle(CTranslatorMgr::translate("InkManagement", "Ink Management"));
    ui->label_title->setText(CTranslatorMgr::translate("InkManagement", "Ink Management"));
    ui->pushButton_close_2->setText(QString());
    // The title-bar button shows only an icon; screen readers say its name.
    ui->pushButton_close_2->setAccessibleName(CTranslatorMgr::translate("InkManagement", "Close Ink Management"));
    ui->label_inkInfo->setText(CTranslatorMgr::translate("InkManagement", "Ink Information:"));
    ui->label_ink->setText(CTranslatorMgr::translate("InkManagement", "Ink"));
    ui->label_remaining->setText(CTranslatorMgr::translate("InkManagement", "Remaining"));
    ui->pushButton_inkRefillLog->setText(CTranslatorMgr::translate("InkManagement", "Ink Refill Log"));
    ui->label_info3->setText(
        CTranslatorMgr::translate("InkManagement", "Note: The current device has unlimited ink remaining!"));
    ui->pushButton_close->setText(CTranslatorMgr::translate("InkManagement", "Close"));
    HostTable::nameColumns(ui->tableWidget_inkList, {ui->label_ink->text(), ui->label_remaining->text()});
}

void InkManagement::loadInkList()
{
    const bool limited = g_host && g_host->IsInkLimited();
    ui->label_info3->setVisible(!limited);

    const QString unlimited = CTranslatorMgr::translate("InkManagement", "Unlimited");
    const QTextCodec* codec = RecordFormat::localCodec();
    HostTable::fill(
        ui->tableWidget_inkList, &IInkHost::GetInkList, HostLog::InkListFailed, HostLog::InkListEmpty,
        [&](const InkRecord& ink) {
            return QStringList{RecordFormat::name(ink, codec), limited ? RecordFormat::amount(ink.amount) : unlimited};
        });
    HostTable::finish(ui->tableWidget_inkList, MinimumRows, {NameColumnWidth, AmountColumnWidth});
}

bool InkManagement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->widget_title && FramelessWindow::handleTitleBarEvent(this, event, m_dragging, m_dragOffset))
        return true;
    return QDialog::eventFilter(watched, event);
}

void InkManagement::paintEvent(QPaintEvent* /*event*/)
{
    FramelessWindow::paintFrameBackdrop(this, ui->widget_title, ui->widget_border);
}

void InkManagement::keyPressEvent(QKeyEvent* event)
{
    if (FramelessWindow::isSwallowedKey(event))
        return;
    QDialog::keyPressEvent(event);
}

void InkManagement::on_pushButton_close_clicked()
{
    m_closedByButton = true;
    reject();
}

void InkManagement::on_pushButton_inkRefillLog_clicked()
{
    // An exception must not unwind through Qt's event loop. When the host's
    // callback throws (the host knows it did), the refill log stays closed,
    // its records already went back, and this window carries on.
    try {
        // No parent: the refill log is a window of its own, placed by hand
        // over this one.
        InkRefillLog refillLog;
        refillLog.move(FramelessWindow::centredOver(QRect(pos(), size()), refillLog.size()));
        // The host may delete this window meanwhile, with the widget it gave
        // as parent: the refill log closes with it, and nothing here touches
        // this window once exec() has returned.
        connect(this, &QObject::destroyed, &refillLog, &QDialog::reject);
        refillLog.exec();
    } catch (...) {
    }
}
