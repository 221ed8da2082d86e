// SPDX-License-Identifier: MIT
// What the two tables show for what the host answers, what happens to the
// host's arrays, and what the host hears about it.
#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "testsupport/recordinghost.h"

#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

#include <cstring>
#include <limits>

#ifdef Q_OS_WIN
#  include <windows.h>
#else
#  include <langinfo.h>
#endif

namespace {

using Rows = QVector<QStringList>;

const QString ListFailed = QStringLiteral("墨水加密：获取墨水信息列表失败");
const QString ListEmpty = QStringLiteral("墨水加密：没有需要显示的墨水信息");
const QString LogFailed = QStringLiteral("墨水加密：获取加墨记录列表失败！");
const QString LogEmpty = QStringLiteral("墨水加密：没有需要显示的加墨记录");

// The code set local 8-bit text is in: the ANSI code page on Windows (936
// is GB2312's), the locale's elsewhere.
QByteArray localCodeSet()
{
#ifdef Q_OS_WIN
    return GetACP() == 936 ? "GB2312" : QByteArray::number(uint(GetACP()));
#else
    return nl_langinfo(CODESET);
#endif
}

QTableWidget* tableOf(const QDialog& dialog)
{
    return dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
}

// The rows as an operator reads them, the empty ones at the end left out.
Rows shownRows(const QDialog& dialog)
{
    const QTableWidget* table = tableOf(dialog);
    Rows rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        rows << cells;
    }
    while (!rows.isEmpty() && rows.last().join(QString()).isEmpty())
        rows.removeLast();
    return rows;
}

RecordingHost::Answer answer(const std::vector<InkRecord>& records, bool result = true,
                             std::optional<int> count = {})
{
    RecordingHost::Answer answer;
    answer.records = records;
    answer.result = result;
    answer.count = count;
    return answer;
}

QStringList namesOf(const std::vector<InkRecord>& records)
{
    QStringList names;
    for (const InkRecord& record : records)
        names << QString::fromLatin1(record.name);
    return names;
}

} // namespace

Q_DECLARE_METATYPE(RecordingHost::Answer)

class TestTables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        CTranslatorMgr::instance()->loadTranslator();
        // A host with a large font of its own: the rows keep their height.
        QApplication::setFont(QFont(QApplication::font().family(), 40));
    }

    void init()
    {
        m_host = std::make_unique<RecordingHost>();
        g_host = m_host.get();
    }

    void cleanup()
    {
        QVERIFY(m_host->keptContract());
        g_host = nullptr;
    }

    // The ink list in the host's order, amounts to six significant digits or
    // "Unlimited" with the note shown, at least 13 rows, a vertical scroll
    // bar beyond them. A refusal or an empty list is told to the host.
    void inkList_data()
    {
        QTest::addColumn<bool>("limited");
        QTest::addColumn<RecordingHost::Answer>("answer");
        QTest::addColumn<Rows>("shown");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QStringList>("lines");
        const auto ink = RecordingHost::ink;
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("limited")
            << true
            << answer({ink("Cyan", 250), ink("Black", 12.5), ink("Cyan", 0.25),
                       ink("Cyan", 1234567), ink("Cyan", 0.00001), ink("Cyan", 123456),
                       ink("Cyan", 0.0001), ink("Cyan", 99.99999), ink("Cyan", 0.1 + 0.2),
                       ink("Cyan", -2.5e-7), ink("Cyan", 0), ink("Cyan", inf)})
            << Rows{{"Cyan", "250ml"},         {"Black", "12.5ml"}, {"Cyan", "0.25ml"},
                    {"Cyan", "1.23457e+06ml"}, {"Cyan", "1e-05ml"}, {"Cyan", "123456ml"},
                    {"Cyan", "0.0001ml"},      {"Cyan", "100ml"},   {"Cyan", "0.3ml"},
                    {"Cyan", "-2.5e-07ml"},    {"Cyan", "0ml"},     {"Cyan", "infml"}}
            << 13 << QStringList();
        const auto row = [](const char* name, const RecordingHost::Answer& answer,
                            const QStringList& lines, bool limited = true) {
            QTest::newRow(name) << limited << answer << Rows() << 13 << lines;
        };
        QTest::newRow("unlimited")
            << false << answer({ink("Cyan", 250), ink("Black", 12.5)})
            << Rows{{"Cyan", "Unlimited"}, {"Black", "Unlimited"}} << 13 << QStringList();
        QTest::newRow("twenty") << true << answer(std::vector<InkRecord>(20, ink("Cyan", 1)))
                                << Rows(20, {"Cyan", "1ml"}) << 20 << QStringList();
        row("refused", answer({}, false), {ListFailed});
        row("refused with an array", answer({ink("Cyan", 1)}, false), {ListFailed});
        row("empty", answer({}), {ListEmpty});
        row("empty with an array", answer({ink("Cyan", 1)}, true, 0), {ListEmpty});
        row("negative count", answer({ink("Cyan", 1)}, true, -4), {});
        RecordingHost::Answer noArray = answer({}, true, 3);
        noArray.noArray = true;
        row("count without an array", noArray, {ListFailed});
    }

    void inkList()
    {
        QFETCH(bool, limited);
        QFETCH(RecordingHost::Answer, answer);
        QFETCH(Rows, shown);
        QFETCH(int, rowCount);
        QFETCH(QStringList, lines);
        m_host->limited = limited;
        m_host->inkList = answer;
        InkManagement dialog(0);
        dialog.show();
        QCOMPARE(shownRows(dialog), shown);
        QCOMPARE(tableOf(dialog)->rowCount(), rowCount);
        QCOMPARE(tableOf(dialog)->verticalScrollBar()->isVisible(), rowCount > 13);
        QVERIFY(!tableOf(dialog)->horizontalScrollBar()->isVisible());
        QCOMPARE(dialog.findChild<QWidget*>(QStringLiteral("label_info3"))->isVisible(), !limited);
        QCOMPARE(m_host->logLines, lines);
        QCOMPARE(m_host->fillCalls, 1);
    }

    // The refill log newest first, sorted in the host's own array: times
    // with every field but the year padded to two digits, fields compared
    // as signed numbers, at least 10 rows. A refusal, an empty history or a
    // negative count sorts nothing.
    void refillLog_data()
    {
        QTest::addColumn<RecordingHost::Answer>("answer");
        QTest::addColumn<Rows>("shown");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QStringList>("lines");
        const auto refill = [](const std::vector<int>& time, const QByteArray& name = "Cyan",
                               double amount = 12.5) {
            return RecordingHost::refill(time, name, amount);
        };
        QTest::newRow("turn of the year") << answer({refill({2024, 5, 1, 10, 0, 0}, "A", 0.5),
                                                     refill({2025, 1, 1, 0, 0, 0}, "B", 50),
                                                     refill({2024, 12, 31, 23, 59, 59}, "C", 100)})
                                          << Rows{{"2025/01/01 00:00:00", "B", "50ml"},
                                                  {"2024/12/31 23:59:59", "C", "100ml"},
                                                  {"2024/05/01 10:00:00", "A", "0.5ml"}}
                                          << 10 << QStringList();
        QTest::newRow("every field decides") << answer(
            {refill({2024, 1, 1, 0, 1, 0}, "minute"), refill({2024, 1, 1, 0, 0, 0}, "none"),
             refill({2025, 1, 1, 0, 0, 0}, "year"), refill({2024, 1, 2, 0, 0, 0}, "day"),
             refill({2024, 1, 1, 0, 0, 1}, "second"), refill({2024, 2, 1, 0, 0, 0}, "month"),
             refill({2024, 1, 1, 1, 0, 0}, "hour")})
                                             << Rows{{"2025/01/01 00:00:00", "year", "12.5ml"},
                                                     {"2024/02/01 00:00:00", "month", "12.5ml"},
                                                     {"2024/01/02 00:00:00", "day", "12.5ml"},
                                                     {"2024/01/01 01:00:00", "hour", "12.5ml"},
                                                     {"2024/01/01 00:01:00", "minute", "12.5ml"},
                                                     {"2024/01/01 00:00:01", "second", "12.5ml"},
                                                     {"2024/01/01 00:00:00", "none", "12.5ml"}}
                                             << 10 << QStringList();
        QTest::newRow("signed, short and out of range")
            << answer({refill({-1, 1, 1, 0, 0, 0}, "A", 1e-5),
                       refill({999, 1, 2, 3, 4, 5}, "B", 1234567),
                       refill({2024, 13, 1, 0, 0, -5}, "C", 12),
                       refill({2024, 12, 99, 0, 0, 0}, "D", 0.25)})
            << Rows{{"2024/13/01 00:00:-5", "C", "12ml"},
                    {"2024/12/99 00:00:00", "D", "0.25ml"},
                    {"999/01/02 03:04:05", "B", "1.23457e+06ml"},
                    {"-1/01/01 00:00:00", "A", "1e-05ml"}}
            << 10 << QStringList();
        QTest::newRow("eleven") << answer(
            std::vector<InkRecord>(11, refill({2024, 1, 1, 0, 0, 0}, "A", 2)))
                                << Rows(11, {"2024/01/01 00:00:00", "A", "2ml"}) << 11
                                << QStringList();
        const std::vector<InkRecord> three{refill({2020, 1, 1}, "A", 1),
                                           refill({2022, 1, 1}, "B", 1),
                                           refill({2021, 1, 1}, "C", 1)};
        const auto row = [](const char* name, const RecordingHost::Answer& answer,
                            const QStringList& lines) {
            QTest::newRow(name) << answer << Rows() << 10 << lines;
        };
        row("refused", answer({}, false), {LogFailed});
        row("refused with an array", answer(three, false), {LogFailed});
        row("empty", answer({}), {LogEmpty});
        row("negative count", answer(three, true, -4), {});
    }

    void refillLog()
    {
        QFETCH(RecordingHost::Answer, answer);
        QFETCH(Rows, shown);
        QFETCH(int, rowCount);
        QFETCH(QStringList, lines);
        for (size_t i = 0; i < answer.records.size(); ++i)
            std::memset(answer.records[i].reserved, int(i), sizeof answer.records[i].reserved);
        m_host->refillLog = answer;
        InkRefillLog dialog;
        dialog.show();
        QCOMPARE(shownRows(dialog), shown);
        QCOMPARE(tableOf(dialog)->rowCount(), rowCount);
        QCOMPARE(tableOf(dialog)->verticalScrollBar()->isVisible(), rowCount > 10);
        QVERIFY(!tableOf(dialog)->horizontalScrollBar()->isVisible());
        QCOMPARE(m_host->logLines, lines);
        // The host's own array comes back in the order shown, or as it was
        // when nothing is shown, each record whole with the bytes the plug-in
        // has no business with.
        QStringList order;
        for (const QStringList& row : shown)
            order << row[1];
        QCOMPARE(namesOf(m_host->lastReturned), shown.isEmpty() ? namesOf(answer.records) : order);
        for (const InkRecord& back : m_host->lastReturned)
            QVERIFY(std::any_of(answer.records.begin(), answer.records.end(),
                                [&](const InkRecord& sent) {
                                    return std::memcmp(&sent, &back, sizeof sent) == 0;
                                }));
    }

    // Names come from the local code set, read only within their 128 bytes.
    // Run under a GB2312 locale or code page too, by its own CTest entry.
    void names_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        const bool gb2312 = localCodeSet() == "GB2312";
        QTest::newRow("local code set")
            << QByteArray(gb2312 ? "\xC7\xE0\xC9\xAB" : "\xE9\x9D\x92\xE8\x89\xB2")
            << QStringLiteral("青色");
        QTest::newRow("all 128 bytes") << QByteArray(128, 'A') << QString(128, QLatin1Char('A'));
        QTest::newRow("127 bytes") << QByteArray(127, 'A') + '\0' << QString(127, QLatin1Char('A'));
    }

    void names()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QVERIFY(qEnvironmentVariableIsEmpty("VQ_CODESET")
                || qgetenv("VQ_CODESET") == localCodeSet());
        InkRecord record = RecordingHost::refill({2025, 1, 1});
        std::memcpy(record.name, bytes.constData(), size_t(bytes.size()));
        m_host->inkList.records = {record};
        m_host->refillLog.records = {record};
        const InkManagement ink(0);
        const InkRefillLog refills;
        QCOMPARE(tableOf(ink)->item(0, 0)->text(), shown);
        QCOMPARE(tableOf(refills)->item(0, 1)->text(), shown);
    }

private:
    std::unique_ptr<RecordingHost> m_host;
};

QTEST_MAIN(TestTables)
#include "tst_tables.moc"
