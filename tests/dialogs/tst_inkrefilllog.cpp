// What the refill log window shows for what the host reports, what it does to
// the host's array, and how it behaves as a window.
#include "common/recordinghost.h"
#include "dialogs/inkrefilllog.h"
#include "plugin/globals.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

const QString LogFailed = QStringLiteral("墨水加密：获取加墨记录列表失败！");
const QString LogEmpty = QStringLiteral("墨水加密：没有需要显示的加墨记录");

using Time = QVector<int>; // year, month, day, hour, minute, second

InkRecord refillAt(const Time& t, const QByteArray& name, double amount = 1)
{
    return RecordingHost::refill(t[0], t[1], t[2], t[3], t[4], t[5], name, amount);
}

QTableWidget* tableOf(const QWidget& dialog)
{
    return dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
}

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

QStringList column(const QTableWidget* table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << cellText(table, row, column);
    return texts;
}

QStringList names(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromLatin1(text);
    return list;
}

QStringList padded(QStringList cells, int rows)
{
    while (cells.size() < rows)
        cells << QString();
    return cells;
}

bool sameBytes(const InkRecord& a, const InkRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool later(const InkRecord& a, const InkRecord& b)
{
    const int x[] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
    const int y[] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
    return std::lexicographical_compare(std::begin(y), std::end(y), std::begin(x), std::end(x));
}

// Every byte of the record set, also those the plug-in has no business with,
// so that a changed field or a record assembled from parts shows.
InkRecord noisyRecord(std::mt19937& random, const QByteArray& name)
{
    InkRecord record;
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (size_t i = 0; i < sizeof record; ++i)
        bytes[i] = static_cast<unsigned char>(random());
    std::memcpy(record.name, name.constData(), static_cast<size_t>(name.size()) + 1);
    record.amount = random() % 1000 / 4.0;
    record.year = 2020 + int(random() % 3);
    record.month = 1 + int(random() % 2);
    record.day = 1 + int(random() % 2);
    record.hour = int(random() % 2);
    record.minute = int(random() % 2);
    record.second = int(random() % 2); // many equal times
    return record;
}

} // namespace

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

    void newestFirst_data()
    {
        QTest::addColumn<QVector<Time>>("times");
        QTest::addColumn<QStringList>("expected"); // names "r<index in the host's order>"

        QTest::newRow("turn of the year")
            << QVector<Time>{{2024, 5, 1, 10, 0, 0}, {2025, 1, 1, 0, 0, 0}, {2024, 12, 31, 23, 59, 59}}
            << names({"r1", "r2", "r0"});
        const char* fields[] = {"year", "month", "day", "hour", "minute", "second"};
        for (int field = 0; field < 6; ++field) {
            Time earlier{2024, 6, 15, 12, 30, 30};
            Time later = earlier;
            ++later[field];
            QTest::newRow(qPrintable(QStringLiteral("only the %1 differs").arg(QLatin1String(fields[field]))))
                << QVector<Time>{earlier, later} << names({"r1", "r0"});
        }
        QTest::newRow("earlier field decides")
            << QVector<Time>{{2024, 1, 31, 23, 59, 59}, {2024, 2, 1, 0, 0, 0}, {2023, 12, 31, 23, 59, 59}}
            << names({"r1", "r0", "r2"});
        QTest::newRow("signed fields")
            << QVector<Time>{{-1, 1, 1, 0, 0, 0}, {0, 1, 1, 0, 0, 0}, {2024, 1, 1, 0, 0, -5}}
            << names({"r2", "r1", "r0"});
        QTest::newRow("out-of-range values compare as numbers")
            << QVector<Time>{{2024, 12, 1, 0, 0, 0}, {2024, 13, 1, 0, 0, 0}, {2024, 12, 99, 0, 0, 0}}
            << names({"r1", "r2", "r0"});
        QTest::newRow("single record") << QVector<Time>{{2024, 1, 1, 0, 0, 0}} << names({"r0"});
    }

    void newestFirst()
    {
        QFETCH(QVector<Time>, times);
        QFETCH(QStringList, expected);
        for (int i = 0; i < times.size(); ++i)
            m_host->refillLog.records.push_back(refillAt(times[i], QByteArray("r") + QByteArray::number(i)));

        const InkRefillLog dialog;
        QCOMPARE(column(tableOf(dialog), 1), padded(expected, 10));
        QVERIFY(m_host->logLines.isEmpty());
        checkReturnedOnce();
    }

    // The host gets its own array back, reordered: every record intact down
    // to the bytes the plug-in does not read, and in the order the table shows.
    void sortsTheHostsArrayInPlace_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("two") << 2;
        QTest::newRow("many equal times") << 40;
        QTest::newRow("long history") << 300;
    }

    void sortsTheHostsArrayInPlace()
    {
        QFETCH(int, count);
        std::mt19937 random(static_cast<std::mt19937::result_type>(count));
        for (int i = 0; i < count; ++i)
            m_host->refillLog.records.push_back(noisyRecord(random, "ink " + QByteArray::number(i)));
        const std::vector<InkRecord> original = m_host->refillLog.records;
        InkRecord* handedOut = nullptr;
        m_host->onFill = [&](const InkRecordList& list) { handedOut = list.records; };

        const InkRefillLog dialog;
        checkReturnedOnce();
        QCOMPARE(m_host->freed, QList<InkRecord*>{handedOut});

        const std::vector<InkRecord>& returned = m_host->lastFreedCopy;
        QCOMPARE(int(returned.size()), count);
        QVERIFY(std::is_sorted(returned.begin(), returned.end(), later));
        std::vector<bool> used(original.size());
        for (const InkRecord& record : returned) {
            const auto match = std::find_if(original.begin(), original.end(), [&](const InkRecord& o) {
                return sameBytes(o, record) && !used[size_t(&o - original.data())];
            });
            QVERIFY2(match != original.end(), record.name);
            used[size_t(match - original.begin())] = true;
        }

        const QTableWidget* table = tableOf(dialog);
        QCOMPARE(table->rowCount(), std::max(count, 10));
        for (int row = 0; row < count; ++row)
            QCOMPARE(cellText(table, row, 1), QString::fromLatin1(returned[size_t(row)].name));
    }

    void rowContents_data()
    {
        QTest::addColumn<Time>("time");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("timeText");
        QTest::addColumn<QString>("amountText");

        const auto row = [](const char* name, const Time& time, double amount, const char* timeText,
                            const char* amountText) {
            QTest::newRow(name) << time << amount << QString::fromLatin1(timeText)
                                << QString::fromLatin1(amountText);
        };
        row("padded fields", {2025, 3, 7, 9, 5, 2}, 100, "2025/03/07 09:05:02", "100ml");
        row("short year", {999, 1, 2, 3, 4, 5}, 50, "999/01/02 03:04:05", "50ml");
        row("small amount", {2024, 10, 10, 10, 10, 10}, 0.00001, "2024/10/10 10:10:10", "1e-05ml");
        row("large amount", {2024, 1, 1, 0, 0, 0}, 1234567, "2024/01/01 00:00:00", "1.23457e+06ml");
    }

    void rowContents()
    {
        QFETCH(Time, time);
        QFETCH(double, amount);
        QFETCH(QString, timeText);
        QFETCH(QString, amountText);
        m_host->refillLog.records.push_back(refillAt(time, "Cyan", amount));

        const InkRefillLog dialog;
        const QTableWidget* table = tableOf(dialog);
        QCOMPARE(cellText(table, 0, 0), timeText);
        QCOMPARE(cellText(table, 0, 1), QStringLiteral("Cyan"));
        QCOMPARE(cellText(table, 0, 2), amountText);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(Qt::Alignment(table->item(0, c)->textAlignment()), Qt::Alignment(Qt::AlignCenter));
    }

    void padding_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("rows");
        QTest::newRow("three") << 3 << 10;
        QTest::newRow("ten") << 10 << 10;
        QTest::newRow("eleven") << 11 << 11;
    }

    void padding()
    {
        QFETCH(int, records);
        QFETCH(int, rows);
        for (int i = 0; i < records; ++i)
            m_host->refillLog.records.push_back(refillAt({2024, 1, 1, 0, 0, i}, "Ink"));

        const InkRefillLog dialog;
        const QTableWidget* table = tableOf(dialog);
        QCOMPARE(table->rowCount(), rows);
        QCOMPARE(table->columnCount(), 3);
        for (int row = 0; row < rows; ++row) {
            for (int c = 0; c < 3; ++c)
                QCOMPARE(table->item(row, c) != nullptr, row < records);
        }
        QCOMPARE(table->columnWidth(0), 205);
        QCOMPARE(table->columnWidth(1), 206);
    }

    void scrollBars_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("vertical");
        QTest::newRow("padded") << 3 << false;
        QTest::newRow("twenty-five") << 25 << true;
    }

    void scrollBars()
    {
        QFETCH(int, records);
        QFETCH(bool, vertical);
        for (int i = 0; i < records; ++i)
            m_host->refillLog.records.push_back(refillAt({2024, 1, 1, 0, 0, i}, "A rather long ink name"));

        InkRefillLog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QTableWidget* table = tableOf(dialog);
        QCOMPARE(table->rowCount(), std::max(records, 10));
        QCOMPARE(table->verticalScrollBar()->isVisible(), vertical);
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        // The last column fills what the scroll bar leaves, no more.
        QCOMPARE(table->columnWidth(0) + table->columnWidth(1) + table->columnWidth(2),
                 table->viewport()->width());
    }

    void failures_data()
    {
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("nullRecords");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("refused") << false << 0 << 0 << false << QStringList{LogFailed};
        QTest::newRow("refused with an array") << false << 3 << 3 << false << QStringList{LogFailed};
        QTest::newRow("empty") << true << 0 << 0 << false << QStringList{LogEmpty};
        QTest::newRow("empty with an array") << true << 2 << 0 << false << QStringList{LogEmpty};
        QTest::newRow("negative count") << true << 3 << -4 << false << QStringList();
        QTest::newRow("count without array") << true << 0 << 5 << true << QStringList{LogFailed};
    }

    void failures()
    {
        QFETCH(bool, result);
        QFETCH(int, records);
        QFETCH(int, count);
        QFETCH(bool, nullRecords);
        QFETCH(QStringList, lines);
        m_host->refillLog.result = result;
        m_host->refillLog.count = count;
        m_host->refillLog.nullRecords = nullRecords;
        // Oldest first, so that a sort would show in the returned array.
        for (int i = 0; i < records; ++i)
            m_host->refillLog.records.push_back(refillAt({2020 + i, 1, 1, 0, 0, 0}, "Ink"));

        const InkRefillLog dialog;
        const QTableWidget* table = tableOf(dialog);
        QCOMPARE(table->rowCount(), 10);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(column(table, c), padded({}, 10));
        QCOMPARE(m_host->logLines, lines);
        checkReturnedOnce();
        if (records == 0) {
            QCOMPARE(m_host->freed, QList<InkRecord*>{nullptr});
        } else {
            QCOMPARE(int(m_host->lastFreedCopy.size()), records);
            for (int i = 0; i < records; ++i)
                QVERIFY(sameBytes(m_host->lastFreedCopy[size_t(i)], m_host->refillLog.records[size_t(i)]));
        }
    }

    void closeButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << QStringLiteral("pushButton_close");
        QTest::newRow("title bar") << QStringLiteral("pushButton_close_2");
    }

    void closeButtons()
    {
        QFETCH(QString, button);
        InkRefillLog dialog;
        auto* target = dialog.findChild<QPushButton*>(button);
        QVERIFY(target);
        QTimer::singleShot(0, &dialog, [&]() {
            target->click();
            if (dialog.isVisible())
                dialog.reject(); // never hang in exec()
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(m_host->refillLogCalls, 1); // nothing read again while open
    }

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
        QCOMPARE(dialog.result(), int(QDialog::Rejected)); // untouched since show()
    }

    void dragging_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("title, left") << QStringLiteral("widget_title") << int(Qt::LeftButton) << true;
        // The label ignores presses, which then reach the title bar.
        QTest::newRow("title text, left") << QStringLiteral("label_title") << int(Qt::LeftButton) << true;
        QTest::newRow("title, right") << QStringLiteral("widget_title") << int(Qt::RightButton) << false;
        QTest::newRow("content, left") << QStringLiteral("widget_content") << int(Qt::LeftButton) << false;
    }

    void dragging()
    {
        QFETCH(QString, target);
        QFETCH(int, button);
        QFETCH(bool, moves);
        InkRefillLog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.move(300, 200);
        QWidget* widget = dialog.findChild<QWidget*>(target);
        QVERIFY(widget);

        const QPoint start = dialog.frameGeometry().topLeft();
        const QPoint grab = widget->mapToGlobal(QPoint(5, 5));
        const QPoint grabbedBefore = grab - start;
        const auto b = Qt::MouseButton(button);
        const QPoint end = grab + QPoint(57, -41);
        send(widget, QEvent::MouseButtonPress, grab, b, b);
        send(widget, QEvent::MouseMove, grab + QPoint(30, 5), Qt::NoButton, b);
        send(widget, QEvent::MouseMove, end, Qt::NoButton, b);
        const QPoint afterMoves = dialog.frameGeometry().topLeft();
        send(widget, QEvent::MouseButtonRelease, end, b, Qt::NoButton);
        send(widget, QEvent::MouseMove, end + QPoint(100, 100), Qt::NoButton, Qt::NoButton);

        if (moves) {
            QCOMPARE(afterMoves, start + QPoint(57, -41));
            QCOMPARE(end - afterMoves, grabbedBefore); // the grabbed point stays under the mouse
        } else {
            QCOMPARE(afterMoves, start);
        }
        QCOMPARE(dialog.frameGeometry().topLeft(), afterMoves);
    }

private:
    static void send(QWidget* widget, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
                     Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, widget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

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
