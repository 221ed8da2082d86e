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

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>

#include <langinfo.h>

namespace {

const QString ListFailed = QStringLiteral("墨水加密：获取墨水信息列表失败");
const QString ListEmpty = QStringLiteral("墨水加密：没有需要显示的墨水信息");
const QString LogFailed = QStringLiteral("墨水加密：获取加墨记录列表失败！");
const QString LogEmpty = QStringLiteral("墨水加密：没有需要显示的加墨记录");

bool later(const InkRecord& a, const InkRecord& b)
{
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second)
        > std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

// The rows as the operator reads them, cells joined by '|', and whether
// every filled cell is centred.
QStringList rows(const QDialog& dialog, bool* centred)
{
    const auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
    QStringList rows;
    *centred = true;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem* item = table->item(r, c);
            *centred = *centred && (!item || item->textAlignment() == Qt::AlignCenter);
            cells << (item ? item->text() : QString());
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// The last column stretches to the table's width, whatever it was given.
QVector<int> columnWidths(const QDialog& dialog)
{
    const auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
    QVector<int> widths;
    for (int c = 0; c < table->columnCount() - 1; ++c)
        widths << table->columnWidth(c);
    return widths;
}

} // namespace

Q_DECLARE_METATYPE(RecordingHost::Answer)

class TestTables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { CTranslatorMgr::instance()->loadTranslator(); }

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

    // The ink list in the host's order: names, amounts to six significant
    // digits or "Unlimited" with the note shown, at least 13 rows and a
    // vertical scroll bar beyond them. A refusal or an empty list is logged.
    void inkList_data()
    {
        QTest::addColumn<bool>("limited");
        QTest::addColumn<RecordingHost::Answer>("answer");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("lines");
        const auto answer = [](const QVector<double>& amounts, bool result = true, std::optional<int> count = {}) {
            RecordingHost::Answer answer;
            for (double amount : amounts)
                answer.records.push_back(
                    RecordingHost::ink("Ink " + QByteArray::number(int(answer.records.size())), amount));
            answer.result = result;
            answer.count = count;
            return answer;
        };
        const auto shown = [](const char* amounts) {
            QStringList rows;
            const QStringList texts = QString::fromLatin1(amounts).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const QString& amount : texts)
                rows << QStringLiteral("Ink %1|%2").arg(rows.size()).arg(amount);
            return rows;
        };
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("limited")
            << true << answer({250, 12.5, 0.25, 1234567, 0.00001, 123456, 0.0001, 99.99999, 0.1 + 0.2, -2.5e-7, 0, inf})
            << shown("250ml 12.5ml 0.25ml 1.23457e+06ml 1e-05ml 123456ml 0.0001ml 100ml 0.3ml -2.5e-07ml 0ml infml")
            << QStringList();
        QTest::newRow("unlimited") << false << answer({250, 12.5}) << shown("Unlimited Unlimited") << QStringList();
        QVector<double> twenty(20, 1);
        QTest::newRow("twenty") << true << answer(twenty) << shown(QByteArray("1ml ").repeated(20).constData())
                                << QStringList();
        QTest::newRow("refused") << true << answer({}, false) << QStringList() << QStringList{ListFailed};
        QTest::newRow("refused with an array")
            << true << answer({1, 2}, false) << QStringList() << QStringList{ListFailed};
        QTest::newRow("empty") << true << answer({}) << QStringList() << QStringList{ListEmpty};
        QTest::newRow("empty with an array")
            << true << answer({1, 2}, true, 0) << QStringList() << QStringList{ListEmpty};
        QTest::newRow("negative count") << true << answer({1, 2}, true, -4) << QStringList() << QStringList();
        RecordingHost::Answer noArray = answer({}, true, 3);
        noArray.noArray = true;
        QTest::newRow("count without an array") << true << noArray << QStringList() << QStringList{ListFailed};
    }

    void inkList()
    {
        QFETCH(bool, limited);
        QFETCH(RecordingHost::Answer, answer);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, lines);
        m_host->limited = limited;
        m_host->inkList = answer;
        InkManagement dialog(0);
        QCOMPARE(columnWidths(dialog), (QVector<int>{196}));
        dialog.show();
        bool centred = false;
        const QStringList expected = shown + QVector<QString>(qMax(0, 13 - shown.size()), QStringLiteral("|")).toList();
        QCOMPARE(rows(dialog, &centred), expected);
        QVERIFY(centred);
        const auto* table = dialog.findChild<QTableWidget*>();
        QCOMPARE(table->verticalScrollBar()->isVisible(), shown.size() > 13);
        QCOMPARE(table->verticalScrollBar()->width(), shown.size() > 13 ? 6 : table->verticalScrollBar()->width());
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        QCOMPARE(dialog.findChild<QWidget*>(QStringLiteral("label_info3"))->isVisible(), !limited);
        QCOMPARE(m_host->logLines, lines);
        QCOMPARE(m_host->fillCalls, 1);
    }

    // The refill log newest first: times with every field but the year
    // padded to two digits, fields compared as signed numbers, at least 10
    // rows. A refusal, an empty history or a negative count sorts nothing.
    void refillLog_data()
    {
        QTest::addColumn<RecordingHost::Answer>("answer");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("lines");
        const auto answer = [](const std::vector<std::vector<int>>& times, bool result = true,
                               std::optional<int> count = {}) {
            RecordingHost::Answer answer;
            for (const auto& time : times)
                answer.records.push_back(RecordingHost::refill(time, "Cyan", 50 * double(answer.records.size()) + 0.5));
            answer.result = result;
            answer.count = count;
            return answer;
        };
        const auto shown = [](const char* rows) { return QString::fromLatin1(rows).split(QLatin1Char(',')); };
        QTest::newRow("turn of the year")
            << answer({{2024, 5, 1, 10, 0, 0}, {2025, 1, 1, 0, 0, 0}, {2024, 12, 31, 23, 59, 59}})
            << shown("2025/01/01 00:00:00|Cyan|50.5ml,2024/12/31 23:59:59|Cyan|100.5ml,2024/05/01 10:00:00|Cyan|0.5ml")
            << QStringList();
        QTest::newRow("signed, short and out of range")
            << answer({{-1, 1, 1, 0, 0, 0}, {999, 1, 2, 3, 4, 5}, {2024, 13, 1, 0, 0, -5}, {2024, 12, 99, 0, 0, 0}})
            << shown("2024/13/01 00:00:-5|Cyan|100.5ml,2024/12/99 00:00:00|Cyan|150.5ml,"
                     "999/01/02 03:04:05|Cyan|50.5ml,-1/01/01 00:00:00|Cyan|0.5ml")
            << QStringList();
        std::vector<std::vector<int>> many;
        QStringList manyShown;
        for (int i = 0; i < 12; ++i) {
            many.push_back({2024, 1, 1, 0, 0, i});
            manyShown.prepend(
                QStringLiteral("2024/01/01 00:00:%1|Cyan|%2ml").arg(i, 2, 10, QLatin1Char('0')).arg(50 * i + 0.5));
        }
        QTest::newRow("twelve") << answer(many) << manyShown << QStringList();
        const std::vector<std::vector<int>> three{{2020, 1, 1}, {2021, 1, 1}, {2022, 1, 1}};
        QTest::newRow("refused") << answer({}, false) << QStringList() << QStringList{LogFailed};
        QTest::newRow("refused with an array") << answer(three, false) << QStringList() << QStringList{LogFailed};
        QTest::newRow("empty") << answer({}) << QStringList() << QStringList{LogEmpty};
        QTest::newRow("negative count") << answer(three, true, -4) << QStringList() << QStringList();
    }

    void refillLog()
    {
        QFETCH(RecordingHost::Answer, answer);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, lines);
        m_host->refillLog = answer;
        InkRefillLog dialog;
        QCOMPARE(columnWidths(dialog), (QVector<int>{205, 206}));
        dialog.show();
        bool centred = false;
        const QStringList expected =
            shown + QVector<QString>(qMax(0, 10 - shown.size()), QStringLiteral("||")).toList();
        QCOMPARE(rows(dialog, &centred), expected);
        QVERIFY(centred);
        const auto* table = dialog.findChild<QTableWidget*>();
        QCOMPARE(table->verticalScrollBar()->isVisible(), shown.size() > 10);
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        QCOMPARE(m_host->logLines, lines);
        // Unsorted unless shown.
        if (shown.isEmpty() && !answer.records.empty())
            QCOMPARE(m_host->lastReturned[0].year, answer.records[0].year);
    }

    // The host gets its own array back sorted as the table shows it: the same
    // records down to the bytes the plug-in has no business with. Each time
    // field is 0 or 1, so that every field decides somewhere.
    void sortsTheHostsArrayInPlace()
    {
        std::mt19937 random(300);
        for (int i = 0; i < 300; ++i) {
            InkRecord record;
            std::generate_n(reinterpret_cast<unsigned char*>(&record), sizeof record, [&] { return random(); });
            qsnprintf(record.name, sizeof record.name, "ink %d", i);
            for (int* field : {&record.year, &record.month, &record.day, &record.hour, &record.minute, &record.second})
                *field = int(random() % 2);
            m_host->refillLog.records.push_back(record);
        }
        const InkRefillLog dialog;
        std::vector<InkRecord> returned = m_host->lastReturned;
        QVERIFY(std::is_sorted(returned.begin(), returned.end(), later));
        bool centred = false;
        const QStringList shown = rows(dialog, &centred);
        for (size_t r = 0; r < returned.size(); ++r)
            QCOMPARE(shown[int(r)].section(QLatin1Char('|'), 1, 1), QString::fromLatin1(returned[r].name));
        const auto byName = [](const InkRecord& a, const InkRecord& b) { return std::strcmp(a.name, b.name) < 0; };
        std::vector<InkRecord> original = m_host->refillLog.records;
        std::sort(returned.begin(), returned.end(), byName);
        std::sort(original.begin(), original.end(), byName);
        QVERIFY(std::equal(returned.begin(), returned.end(), original.begin(),
                           [](const InkRecord& a, const InkRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }));
    }

    // Names come from the code set of the process's locale, read only within
    // their 128 bytes. Run under a GB2312 locale too, by its own CTest entry.
    void names_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        const bool gb2312 = qstrcmp(nl_langinfo(CODESET), "GB2312") == 0;
        QTest::newRow("local code set") << QByteArray(gb2312 ? "\xC7\xE0\xC9\xAB" : "\xE9\x9D\x92\xE8\x89\xB2")
                                        << QStringLiteral("青色");
        QTest::newRow("all 128 bytes") << QByteArray(128, 'A') << QString(128, QLatin1Char('A'));
        QTest::newRow("127 bytes") << QByteArray(127, 'A') + '\0' << QString(127, QLatin1Char('A'));
    }

    void names()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QVERIFY(qEnvironmentVariableIsEmpty("VQ_CODESET") || qgetenv("VQ_CODESET") == nl_langinfo(CODESET));
        InkRecord record = RecordingHost::refill({2025, 1, 1});
        std::memcpy(record.name, bytes.constData(), size_t(bytes.size()));
        m_host->inkList.records = {record};
        m_host->refillLog.records = {record};
        const InkManagement ink(0);
        const InkRefillLog refills;
        for (const QDialog* dialog : {static_cast<const QDialog*>(&ink), static_cast<const QDialog*>(&refills)}) {
            const auto* table = dialog->findChild<QTableWidget*>();
            QCOMPARE(table->item(0, table->columnCount() - 2)->text(), shown);
        }
    }

private:
    std::unique_ptr<RecordingHost> m_host;
};

QTEST_MAIN(TestTables)
#include "tst_tables.moc"
