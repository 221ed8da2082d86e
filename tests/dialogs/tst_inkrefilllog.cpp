// What the refill log window shows for what the host reports, what it does to
// the host's array, and how it behaves as a window.
#include "common/recordinghost.h"
#include "dialogs/inkrefilllog.h"
#include "plugin/globals.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <random>
#include <tuple>

namespace {

using Time = QVector<int>; // year, month, day, hour, minute, second

// The cells of one row, as the user reads them.
QStringList row(const QTableWidget* table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

bool sameBytes(const InkRecord& a, const InkRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool later(const InkRecord& a, const InkRecord& b)
{
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second)
        > std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

// Every byte random, also those the plug-in has no business with, so that a
// changed field or a record assembled from parts shows; each time field 0 or
// 1, so that every field decides somewhere and many times are equal.
InkRecord noisyRecord(std::mt19937& random, const QByteArray& name)
{
    InkRecord record;
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (size_t i = 0; i < sizeof record; ++i)
        bytes[i] = static_cast<unsigned char>(random());
    std::memcpy(record.name, name.constData(), static_cast<size_t>(name.size()) + 1);
    for (int* field : {&record.year, &record.month, &record.day, &record.hour, &record.minute, &record.second})
        *field = int(random() % 2);
    return record;
}

} // namespace

Q_DECLARE_METATYPE(RecordingHost::Answer)

class TestInkRefillLog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_host.reset(new RecordingHost);
        g_host = m_host.get();
    }

    void cleanup() { g_host = nullptr; }

    // What the window shows for what the host answers: records newest first,
    // times with every field but the year padded to two digits, empty rows up
    // to ten, a vertical scroll bar only beyond them and never a horizontal
    // one. A failure leaves the rows empty, logs its line and hands the
    // array back unsorted.
    void contents_data()
    {
        QTest::addColumn<RecordingHost::Answer>("answer");
        QTest::addColumn<QStringList>("shown"); // time column, newest first
        QTest::addColumn<QStringList>("lines");
        const auto answer = [](bool result, const QVector<Time>& times, std::optional<int> count = {}) {
            RecordingHost::Answer answer;
            answer.result = result;
            answer.count = count;
            for (const Time& time : times)
                answer.records.push_back(RecordingHost::refill(time[0], time[1], time[2], time[3], time[4], time[5],
                                                               "Cyan", 12.5));
            return answer;
        };
        const auto texts = [](const char* joined) {
            return QString::fromLatin1(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
        };
        QTest::newRow("turn of the year")
            << answer(true, {{2024, 5, 1, 10, 0, 0}, {2025, 1, 1, 0, 0, 0}, {2024, 12, 31, 23, 59, 59}})
            << texts("2025/01/01 00:00:00|2024/12/31 23:59:59|2024/05/01 10:00:00") << QStringList();
        QTest::newRow("signed fields, short years")
            << answer(true, {{-1, 1, 1, 0, 0, 0}, {0, 1, 1, 0, 0, 0}, {2024, 1, 1, 0, 0, -5}})
            << texts("2024/01/01 00:00:-5|0/01/01 00:00:00|-1/01/01 00:00:00") << QStringList();
        QTest::newRow("out-of-range values compare as numbers")
            << answer(true, {{2024, 12, 1, 0, 0, 0}, {2024, 13, 1, 0, 0, 0}, {2024, 12, 99, 0, 0, 0}})
            << texts("2024/13/01 00:00:00|2024/12/99 00:00:00|2024/12/01 00:00:00") << QStringList();
        QVector<Time> many;
        QStringList manyShown;
        for (int i = 0; i < 25; ++i) {
            many << Time{2024, 1, 1, 0, 0, i};
            manyShown.prepend(QStringLiteral("2024/01/01 00:00:%1").arg(i, 2, 10, QLatin1Char('0')));
        }
        QTest::newRow("twenty-five") << answer(true, many) << manyShown << QStringList();

        const QVector<Time> oldestFirst{{2020, 1, 1, 0, 0, 0}, {2021, 1, 1, 0, 0, 0}, {2022, 1, 1, 0, 0, 0}};
        const QStringList failed{QStringLiteral("墨水加密：获取加墨记录列表失败！")};
        QTest::newRow("refused") << answer(false, {}) << QStringList() << failed;
        QTest::newRow("refused with an array") << answer(false, oldestFirst) << QStringList() << failed;
        QTest::newRow("empty") << answer(true, {}) << QStringList()
                               << QStringList{QStringLiteral("墨水加密：没有需要显示的加墨记录")};
        QTest::newRow("negative count") << answer(true, oldestFirst, -4) << QStringList() << QStringList();
    }

    void contents()
    {
        QFETCH(RecordingHost::Answer, answer);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, lines);
        m_host->refillLog = answer;
        InkRefillLog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
        QCOMPARE(table->rowCount(), std::max(10, int(shown.size())));
        for (int r = 0; r < table->rowCount(); ++r) {
            const bool filled = r < shown.size();
            const QStringList expected{filled ? shown[r] : QString(), filled ? QStringLiteral("Cyan") : QString(),
                                       filled ? QStringLiteral("12.5ml") : QString()};
            QCOMPARE(row(table, r), expected);
            for (int c = 0; c < 3 && filled; ++c)
                QCOMPARE(Qt::Alignment(table->item(r, c)->textAlignment()), Qt::Alignment(Qt::AlignCenter));
        }
        QCOMPARE(table->verticalScrollBar()->isVisible(), shown.size() > 10);
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        QCOMPARE(table->columnWidth(0) + table->columnWidth(1) + table->columnWidth(2), table->viewport()->width());
        QCOMPARE(m_host->logLines, lines);
        checkReturnedOnce();
        if (answer.records.empty())
            QCOMPARE(m_host->freed, QList<InkRecord*>{nullptr});
        if (shown.isEmpty()) {
            QCOMPARE(m_host->lastFreedCopy.size(), answer.records.size());
            QVERIFY(std::equal(answer.records.begin(), answer.records.end(), m_host->lastFreedCopy.begin(), sameBytes));
        }
    }

    // The host gets its own array back, sorted, in the order the table
    // shows: the same records down to the bytes the plug-in does not read.
    void sortsTheHostsArrayInPlace()
    {
        const int count = 300;
        std::mt19937 random(count);
        for (int i = 0; i < count; ++i)
            m_host->refillLog.records.push_back(noisyRecord(random, "ink " + QByteArray::number(i)));
        InkRecord* handedOut = nullptr;
        m_host->onFill = [&](const InkRecordList& list) { handedOut = list.records; };

        const InkRefillLog dialog;
        checkReturnedOnce();
        QCOMPARE(m_host->freed, QList<InkRecord*>{handedOut});
        std::vector<InkRecord> returned = m_host->lastFreedCopy;
        QCOMPARE(int(returned.size()), count);
        QVERIFY(std::is_sorted(returned.begin(), returned.end(), later));
        const auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
        QCOMPARE(table->rowCount(), count);
        for (int r = 0; r < count; ++r)
            QCOMPARE(row(table, r).value(1), QString::fromLatin1(returned[size_t(r)].name));

        std::vector<InkRecord> original = m_host->refillLog.records;
        for (auto* records : {&returned, &original}) {
            std::sort(records->begin(), records->end(),
                      [](const InkRecord& a, const InkRecord& b) { return std::strcmp(a.name, b.name) < 0; });
        }
        QVERIFY(std::equal(returned.begin(), returned.end(), original.begin(), sameBytes));
    }

    // Only its buttons close it (their effect is seen from the ink
    // management window); keys that would close a dialog do nothing.
    void keysLeaveItOpen_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }

    void keysLeaveItOpen()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        InkRefillLog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_host->refillLogCalls, 1); // nothing read again while open
    }

    // A left-button drag on the title bar, also on its text, moves the window
    // with the mouse until released; one on the content does not.
    void dragging_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("moves");
        QTest::newRow("title") << QStringLiteral("widget_title") << true;
        QTest::newRow("title text") << QStringLiteral("label_title") << true;
        QTest::newRow("content") << QStringLiteral("widget_content") << false;
    }

    void dragging()
    {
        QFETCH(QString, target);
        QFETCH(bool, moves);
        InkRefillLog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.move(300, 200);
        QWidget* widget = dialog.findChild<QWidget*>(target);
        const QPoint start = dialog.frameGeometry().topLeft();
        const QPoint grab = widget->mapToGlobal(QPoint(5, 5));
        const auto send = [widget](QEvent::Type type, const QPoint& global, Qt::MouseButton button,
                                   Qt::MouseButtons buttons) {
            QMouseEvent event(type, widget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        };
        send(QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, grab + QPoint(30, 5), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, grab + QPoint(57, -41), Qt::NoButton, Qt::LeftButton);
        const QPoint afterMoves = dialog.frameGeometry().topLeft();
        send(QEvent::MouseButtonRelease, grab + QPoint(57, -41), Qt::LeftButton, Qt::NoButton);
        send(QEvent::MouseMove, grab + QPoint(100, 100), Qt::NoButton, Qt::NoButton);
        QCOMPARE(afterMoves, moves ? start + QPoint(57, -41) : start);
        QCOMPARE(dialog.frameGeometry().topLeft(), afterMoves);
    }

private:
    void checkReturnedOnce()
    {
        QCOMPARE(m_host->refillLogCalls, 1);
        QCOMPARE(m_host->freeCalls, 1);
        QCOMPARE(m_host->unknownFrees, 0);
        QCOMPARE(m_host->outstanding(), 0);
        QCOMPARE(m_host->badListsReceived, 0);
    }

    std::unique_ptr<RecordingHost> m_host;
};

QTEST_MAIN(TestInkRefillLog)
#include "tst_inkrefilllog.moc"
