// A host is someone else's code and can be wrong. Whatever it hands over, the
// windows open, show what they were given as it is, read nothing outside the
// records and hand every array back exactly once. Driven through the exports,
// as a host drives the library.
#include "common/dialogdriver.h"
#include "common/pluginlibrary.h"
#include "common/recordinghost.h"

#include <QTableWidget>
#include <QtTest>

#include <climits>
#include <cstring>
#include <limits>

namespace {

const QString ListFailed = QStringLiteral("墨水加密：获取墨水信息列表失败");
const QString LogFailed = QStringLiteral("墨水加密：获取加墨记录列表失败！");

struct TableSeen
{
    bool shown = false;
    int rows = 0;
    QStringList first;  // cells of row 0
    QStringList last;   // cells of the last row that holds records
};

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

TableSeen readTable(QWidget* dialog, int recordRows)
{
    TableSeen seen;
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
    if (!table)
        return seen;
    seen.shown = true;
    seen.rows = table->rowCount();
    for (int column = 0; column < table->columnCount(); ++column) {
        seen.first << cellText(table, 0, column);
        seen.last << cellText(table, qMax(recordRows - 1, 0), column);
    }
    return seen;
}

// A record whose 128 name bytes are all taken, followed directly by the time
// fields: a reader that looks for a terminator past the field would run into
// them.
InkRecord unterminated(char fill, double amount)
{
    InkRecord record = RecordingHost::refill(0x41414141, 0x41414141, 0x41414141, 0x41414141,
                                             0x41414141, 0x41414141, QByteArray(), amount);
    std::memset(record.name, fill, sizeof record.name);
    return record;
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_plugin.reset(new InterfaceHandle(m_library)); }
    void cleanupTestCase() { m_plugin.reset(); }

    void init()
    {
        m_host.reset(new RecordingHost);
        QVERIFY((*m_plugin)->SetHost(m_host.get()));
    }

    void amountsShownAsFormatted_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("text");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << "nanml";
        QTest::newRow("+inf") << inf << "infml";
        QTest::newRow("-inf") << -inf << "-infml";
        QTest::newRow("negative") << -0.5 << "-0.5ml";
        QTest::newRow("negative zero") << -0.0 << "0ml";
        QTest::newRow("largest") << std::numeric_limits<double>::max() << "1.79769e+308ml";
        QTest::newRow("subnormal") << std::numeric_limits<double>::denorm_min() << "4.94066e-324ml";
    }

    // The same formatting in both windows, for the ink left and the ink added.
    void amountsShownAsFormatted()
    {
        QFETCH(double, amount);
        QFETCH(QString, text);
        m_host->inkList.records = {RecordingHost::ink("Cyan", amount)};
        m_host->refillLog.records = {RecordingHost::refill(2025, 1, 1, 0, 0, 0, "Cyan", amount)};

        const auto [ink, refill] = openBoth(1, 1);
        QCOMPARE(ink.first.value(1), text);
        QCOMPARE(refill.first.value(2), text);
        checkReturned(2);
    }

    void timesShownAsNumbers_data()
    {
        QTest::addColumn<QVector<int>>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("all zero") << QVector<int>{0, 0, 0, 0, 0, 0} << "0/00/00 00:00:00";
        QTest::newRow("past their ranges") << QVector<int>{2025, 13, 32, 24, 60, 61}
                                           << "2025/13/32 24:60:61";
        QTest::newRow("three digits") << QVector<int>{99999, 100, 999, 123, 456, 789}
                                      << "99999/100/999 123:456:789";
        QTest::newRow("negative") << QVector<int>{-1, -1, -9, -10, -5, -7}
                                  << "-1/-1/-9 -10:-5:-7";
        QTest::newRow("extremes") << QVector<int>{INT_MIN, INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MAX}
                                  << "-2147483648/2147483647/-2147483648 2147483647:-2147483648:2147483647";
    }

    void timesShownAsNumbers()
    {
        QFETCH(QVector<int>, time);
        QFETCH(QString, text);
        m_host->refillLog.records = {
            RecordingHost::refill(time[0], time[1], time[2], time[3], time[4], time[5], "Cyan", 1)};
        const auto [ink, refill] = openBoth(0, 1);
        Q_UNUSED(ink);
        QCOMPARE(refill.first.value(0), text);
        checkReturned(2);
    }

    // Names that fill their whole field stop at its end in both windows, and
    // nothing of the following fields shows.
    void namesWithoutTerminator()
    {
        m_host->inkList.records = {unterminated('M', 10), unterminated('Y', 20)};
        m_host->refillLog.records = {unterminated('K', 30)};
        const auto [ink, refill] = openBoth(2, 1);
        QCOMPARE(ink.first.value(0), QString(128, QLatin1Char('M')));
        QCOMPARE(ink.last.value(0), QString(128, QLatin1Char('Y')));
        QCOMPARE(refill.first.value(1), QString(128, QLatin1Char('K')));
        checkReturned(2);
    }

    // A true answer that claims records but hands over no array is a failed
    // call in both windows, and the null pointer still comes back.
    void countsWithoutArray_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one") << 1;
        QTest::newRow("many") << 1000000;
        QTest::newRow("INT_MAX") << INT_MAX;
    }

    void countsWithoutArray()
    {
        QFETCH(int, count);
        for (RecordingHost::Answer* answer : {&m_host->inkList, &m_host->refillLog}) {
            answer->count = count;
            answer->nullRecords = true;
        }
        const auto [ink, refill] = openBoth(0, 0);
        QVERIFY(ink.shown);
        QVERIFY(refill.shown);
        QCOMPARE(ink.rows, 13);
        QCOMPARE(refill.rows, 10);
        QCOMPARE(m_host->logLines, (QStringList{ListFailed, LogFailed}));
        QCOMPARE(m_host->freed, (QList<InkRecord*>{nullptr, nullptr}));
        checkReturned(2);
    }

    // Long lists are shown in full and the host's array, sorted in place, comes
    // back once.
    void longLists_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("1") << 1;
        QTest::newRow("1,000") << 1000;
        QTest::newRow("1,000,000") << 1000000;
    }

    void longLists()
    {
        QFETCH(int, count);
        m_host->inkList.records.reserve(size_t(count));
        m_host->refillLog.records.reserve(size_t(count));
        for (int i = 0; i < count; ++i) {
            const QByteArray name = "Ink " + QByteArray::number(i);
            m_host->inkList.records.push_back(RecordingHost::ink(name, i));
            // Oldest first, one second apart, so that sorting reverses them;
            // the hours run past 23, which orders them all the same.
            m_host->refillLog.records.push_back(
                RecordingHost::refill(2000, 1, 1, i / 3600, (i / 60) % 60, i % 60, name, i));
        }

        const auto [ink, refill] = openBoth(count, count);
        QCOMPARE(ink.rows, qMax(count, 13));
        QCOMPARE(refill.rows, qMax(count, 10));
        QCOMPARE(ink.first.value(0), QStringLiteral("Ink 0"));
        QCOMPARE(ink.last.value(0), QStringLiteral("Ink %1").arg(count - 1));
        QCOMPARE(refill.first.value(1), QStringLiteral("Ink %1").arg(count - 1));
        QCOMPARE(refill.last.value(1), QStringLiteral("Ink 0"));
        QVERIFY(m_host->logLines.isEmpty());
        checkReturned(2);
        QCOMPARE(int(m_host->lastFreedCopy.size()), count);
        QCOMPARE(QByteArray(m_host->lastFreedCopy.front().name), QByteArray("Ink ") + QByteArray::number(count - 1));
    }

    // Each SetHost replaces the host; the one replaced is never called again.
    void repeatedSetHost()
    {
        RecordingHost second;
        second.inkList.records = {RecordingHost::ink("Second", 1)};
        QVERIFY((*m_plugin)->SetHost(&second));
        QVERIFY((*m_plugin)->SetHost(&second));
        openBoth(1, 0);
        QCOMPARE(second.inkListCalls, 1);
        QCOMPARE(second.refillLogCalls, 1);
        QCOMPARE(second.freeCalls, 2);
        QCOMPARE(second.outstanding(), 0);
        QCOMPARE(m_host->inkListCalls + m_host->refillLogCalls + m_host->freeCalls, 0);

        QVERIFY((*m_plugin)->SetHost(m_host.get()));
        QVERIFY(!(*m_plugin)->SetHost(nullptr));
        openBoth(0, 0);
        QCOMPARE(second.inkListCalls, 1);
        checkReturned(2);
    }

private:
    // Opens the ink management window, reads it, opens the refill log from
    // it, reads that and closes both by their buttons.
    std::pair<TableSeen, TableSeen> openBoth(int inkRows, int refillRows)
    {
        TableSeen ink, refill;
        bool timedOut = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* main) {
            ink = readTable(main, inkRows);
            DialogDriver::whenShown(QStringLiteral("InkRefillLog"), [&](QWidget* log) {
                refill = readTable(log, refillRows);
                DialogDriver::click(log, "pushButton_close");
            }, &timedOut, 120000);
            DialogDriver::click(main, "pushButton_inkRefillLog");
            DialogDriver::click(main, "pushButton_close");
        }, &timedOut, 120000);
        if (!(*m_plugin)->ShowForWindow(nullptr, 0))
            qWarning("the ink management window did not close through its button");
        if (timedOut)
            qWarning("a window did not appear");
        return {ink, refill};
    }

    void checkReturned(int fillCalls)
    {
        QCOMPARE(m_host->inkListCalls + m_host->refillLogCalls, fillCalls);
        QCOMPARE(m_host->freeCalls, fillCalls);
        QCOMPARE(m_host->unknownFrees, 0);
        QCOMPARE(m_host->outstanding(), 0);
        QCOMPARE(m_host->badListsReceived, 0);
    }

    PluginLibrary m_library;
    std::unique_ptr<InterfaceHandle> m_plugin;
    std::unique_ptr<RecordingHost> m_host;
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
