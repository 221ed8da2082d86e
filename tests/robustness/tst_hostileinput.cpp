// A host is someone else's code and can be wrong. Whatever it hands over, both
// windows open, show what they were given as it is, read nothing outside the
// records and hand every array back exactly once.
#include "common/dialogdriver.h"
#include "common/pluginlibrary.h"
#include "common/recordinghost.h"

#include <QTableWidget>
#include <QtTest>

#include <climits>
#include <cstring>
#include <limits>

Q_DECLARE_METATYPE(RecordingHost::Answer)

namespace {

// The row count, row 0 and row 'last' of a dialog's table.
struct TableSeen
{
    int rows = 0;
    QStringList first, last;
};

TableSeen readTable(QWidget* dialog, int last)
{
    TableSeen seen;
    if (const auto* table = dialog->findChild<QTableWidget*>()) {
        seen.rows = table->rowCount();
        for (int c = 0; c < table->columnCount(); ++c) {
            seen.first << (table->item(0, c) ? table->item(0, c)->text() : QString());
            seen.last << (table->item(last, c) ? table->item(last, c)->text() : QString());
        }
    }
    return seen;
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

    // One answer, given by both lists: each record shown cell for cell as it
    // is; a true answer that claims records but hands over no array fails,
    // and the null pointer still comes back.
    void hostileAnswers_data()
    {
        QTest::addColumn<RecordingHost::Answer>("answer");
        QTest::addColumn<QStringList>("refillRow"); // the ink window shows the last two cells
        QTest::addColumn<QStringList>("lines");
        const auto record = [](const char* tag, const InkRecord& r, const QString& cells) {
            RecordingHost::Answer answer;
            answer.records = {r};
            QTest::newRow(tag) << answer << cells.split('|') << QStringList();
        };
        const auto amount = [&](const char* tag, double value, const char* text) {
            record(tag, RecordingHost::refill(2025, 1, 1, 0, 0, 0, "Cyan", value),
                   QStringLiteral("2025/01/01 00:00:00|Cyan|") + text);
        };
        const auto time = [&](const char* tag, const QVector<int>& t, const char* text) {
            record(tag, RecordingHost::refill(t[0], t[1], t[2], t[3], t[4], t[5], "Cyan", 1),
                   text + QStringLiteral("|Cyan|1ml"));
        };
        amount("NaN", std::numeric_limits<double>::quiet_NaN(), "nanml");
        amount("-inf", -std::numeric_limits<double>::infinity(), "-infml");
        amount("negative", -0.5, "-0.5ml");
        amount("largest", std::numeric_limits<double>::max(), "1.79769e+308ml");
        time("past their ranges", {2025, 13, 32, 24, 60, 61}, "2025/13/32 24:60:61");
        time("extremes", {INT_MIN, INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MAX},
             "-2147483648/2147483647/-2147483648 2147483647:-2147483648:2147483647");
        // All 128 name bytes taken: a reader looking past them runs into "AAAA" time fields.
        const int a = 0x41414141;
        InkRecord full = RecordingHost::refill(a, a, a, a, a, a, QByteArray(), 10);
        std::memset(full.name, 'M', sizeof full.name);
        record("name without terminator", full,
               QStringLiteral("%1/%1/%1 %1:%1:%1|%2|10ml").arg(a).arg(QString(128, 'M')));

        for (int count : {1, INT_MAX}) {
            RecordingHost::Answer answer;
            answer.count = count;
            answer.nullRecords = true;
            QTest::newRow(qPrintable(QStringLiteral("count %1 without array").arg(count)))
                << answer << QStringList{"", "", ""}
                << QStringList{QStringLiteral("墨水加密：获取墨水信息列表失败"),
                               QStringLiteral("墨水加密：获取加墨记录列表失败！")};
        }
    }

    void hostileAnswers()
    {
        QFETCH(RecordingHost::Answer, answer);
        QFETCH(QStringList, refillRow);
        QFETCH(QStringList, lines);
        m_host->inkList = m_host->refillLog = answer;
        const auto [ink, refill] = openBoth();
        QCOMPARE(ink.rows, 13);
        QCOMPARE(refill.rows, 10);
        QCOMPARE(ink.first, refillRow.mid(1));
        QCOMPARE(refill.first, refillRow);
        QCOMPARE(m_host->logLines, lines);
        QCOMPARE(m_host->freed.count(nullptr), answer.nullRecords ? 2 : 0);
        checkReturned(*m_host);
    }

    // A million records are shown in full and the host's array, sorted in
    // place, comes back once.
    void longLists()
    {
        const int count = 1000000;
        m_host->refillLog.records.reserve(size_t(count));
        // Oldest first, a second apart; hours past 23 still order as numbers.
        for (int i = 0; i < count; ++i)
            m_host->refillLog.records.push_back(RecordingHost::refill(
                2000, 1, 1, i / 3600, (i / 60) % 60, i % 60, "Ink " + QByteArray::number(i), i));
        m_host->inkList = m_host->refillLog; // shown in the host's order
        const QString newest = QStringLiteral("Ink %1").arg(count - 1);

        const auto [ink, refill] = openBoth(count - 1);
        QCOMPARE(ink.rows, count);
        QCOMPARE(refill.rows, count);
        QCOMPARE(ink.first.value(0), QStringLiteral("Ink 0"));
        QCOMPARE(ink.last.value(0), newest);
        QCOMPARE(refill.first.value(1), newest);
        QCOMPARE(refill.last.value(1), QStringLiteral("Ink 0"));
        QVERIFY(m_host->logLines.isEmpty());
        checkReturned(*m_host);
        QCOMPARE(int(m_host->lastFreedCopy.size()), count);
        QCOMPARE(QString::fromLatin1(m_host->lastFreedCopy.front().name), newest);
    }

    // Each SetHost replaces the host; the one replaced is never called again,
    // and a null host is refused without dropping the current one.
    void repeatedSetHost()
    {
        RecordingHost second;
        second.inkList.records = {RecordingHost::ink("Second", 1)};
        QVERIFY((*m_plugin)->SetHost(&second));
        QVERIFY((*m_plugin)->SetHost(&second));
        openBoth();
        checkReturned(second);
        QCOMPARE(m_host->inkListCalls + m_host->refillLogCalls + m_host->freeCalls, 0);

        QVERIFY((*m_plugin)->SetHost(m_host.get()));
        QVERIFY(!(*m_plugin)->SetHost(nullptr));
        openBoth();
        QCOMPARE(second.inkListCalls, 1);
        checkReturned(*m_host);
    }

private:
    // Opens the ink management window, the refill log from it, reads both
    // tables and closes both by their buttons.
    std::pair<TableSeen, TableSeen> openBoth(int lastRow = 0)
    {
        TableSeen ink, refill;
        bool timedOut = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* main) {
            ink = readTable(main, lastRow);
            DialogDriver::whenShown(QStringLiteral("InkRefillLog"), [&](QWidget* log) {
                refill = readTable(log, lastRow);
                DialogDriver::click(log, "pushButton_close");
            }, &timedOut, 120000);
            DialogDriver::click(main, "pushButton_inkRefillLog");
            DialogDriver::click(main, "pushButton_close");
        }, &timedOut, 120000);
        if (!(*m_plugin)->ShowForWindow(nullptr, 0) || timedOut)
            qWarning("a window did not appear or did not close through its button");
        return {ink, refill};
    }

    // Both windows opened once: one fill call each, both arrays back exactly once.
    static void checkReturned(const RecordingHost& host)
    {
        QCOMPARE(host.inkListCalls, 1);
        QCOMPARE(host.refillLogCalls, 1);
        QCOMPARE(host.freeCalls, 2);
        QCOMPARE(host.unknownFrees, 0);
        QCOMPARE(host.outstanding(), 0);
        QCOMPARE(host.badListsReceived, 0);
    }

    PluginLibrary m_library;
    std::unique_ptr<InterfaceHandle> m_plugin;
    std::unique_ptr<RecordingHost> m_host;
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
