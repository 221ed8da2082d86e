// What the ink management window shows for what the host reports, and how it
// behaves as a window.
#include "common/dialogdriver.h"
#include "common/pluginlibrary.h"
#include "common/recordinghost.h"

#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextCodec>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const QString ListFailed = QStringLiteral("墨水加密：获取墨水信息列表失败");
const QString ListEmpty = QStringLiteral("墨水加密：没有需要显示的墨水信息");

struct TableView
{
    int rows = 0;
    int columns = 0;
    QStringList names;   // column 0 of every row, "" for an empty cell
    QStringList amounts; // column 1
    bool verticalBar = false;
    bool horizontalBar = false;
    bool noteVisible = false;
    QVector<Qt::Alignment> alignments;
    int width0 = 0;
};

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

TableView readTable(QWidget* dialog)
{
    TableView view;
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
    if (!table)
        return view;
    view.rows = table->rowCount();
    view.columns = table->columnCount();
    for (int row = 0; row < view.rows; ++row) {
        view.names << cellText(table, row, 0);
        view.amounts << cellText(table, row, 1);
        for (int column = 0; column < 2; ++column) {
            if (const QTableWidgetItem* item = table->item(row, column))
                view.alignments << Qt::Alignment(item->textAlignment());
        }
    }
    view.verticalBar = table->verticalScrollBar()->isVisible();
    view.horizontalBar = table->horizontalScrollBar()->isVisible();
    view.width0 = table->columnWidth(0);
    if (auto* note = dialog->findChild<QLabel*>(QStringLiteral("label_info3")))
        view.noteVisible = note->isVisible();
    return view;
}

QStringList padded(QStringList cells, int rows)
{
    while (cells.size() < rows)
        cells << QString();
    return cells;
}

} // namespace

class TestInkList : public QObject
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

    void contents_data()
    {
        QTest::addColumn<bool>("limited");
        QTest::addColumn<QVector<double>>("amounts");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("plain") << true << QVector<double>{250, 12.5, 0.25}
                               << QStringList{"250ml", "12.5ml", "0.25ml"};
        QTest::newRow("exponents") << true << QVector<double>{1234567, 0.00001, 123456, 0.0001, 1e100}
                                   << QStringList{"1.23457e+06ml", "1e-05ml", "123456ml", "0.0001ml", "1e+100ml"};
        QTest::newRow("rounding") << true << QVector<double>{0.1 + 0.2, 99.99999, 2.5e-7, 0}
                                  << QStringList{"0.3ml", "100ml", "2.5e-07ml", "0ml"};
        QTest::newRow("odd values") << true
                                    << QVector<double>{-5, std::numeric_limits<double>::infinity(),
                                                       std::numeric_limits<double>::quiet_NaN()}
                                    << QStringList{"-5ml", "infml", "nanml"};
        QTest::newRow("unlimited") << false << QVector<double>{250, 12.5}
                                   << QStringList{"Unlimited", "Unlimited"};
    }

    void contents()
    {
        QFETCH(bool, limited);
        QFETCH(QVector<double>, amounts);
        QFETCH(QStringList, expected);
        m_host->limited = limited;
        QStringList names;
        for (int i = 0; i < amounts.size(); ++i) {
            names << QStringLiteral("Ink %1").arg(i);
            m_host->inkList.records.push_back(RecordingHost::ink(names.last().toLatin1(), amounts[i]));
        }

        const TableView view = open();
        QCOMPARE(view.rows, 13);
        QCOMPARE(view.columns, 2);
        QCOMPARE(view.names, padded(names, 13));
        QCOMPARE(view.amounts, padded(expected, 13));
        QCOMPARE(view.noteVisible, !limited);
        QCOMPARE(view.alignments, QVector<Qt::Alignment>(2 * amounts.size(), Qt::AlignCenter));
        QCOMPARE(view.width0, 196);
        QVERIFY(!view.verticalBar);
        QVERIFY(m_host->logLines.isEmpty());
        checkReturnedOnce();
    }

    void longListScrolls()
    {
        for (int i = 0; i < 20; ++i)
            m_host->inkList.records.push_back(RecordingHost::ink("Ink", i));
        const TableView view = open();
        QCOMPARE(view.rows, 20);
        QCOMPARE(view.amounts.at(19), QStringLiteral("19ml"));
        QVERIFY(view.verticalBar);
        QVERIFY(!view.horizontalBar);
        checkReturnedOnce();
    }

    void failures_data()
    {
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("nullRecords");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("refused") << false << 0 << 0 << false << QStringList{ListFailed};
        QTest::newRow("refused with an array") << false << 3 << 3 << false << QStringList{ListFailed};
        QTest::newRow("empty") << true << 0 << 0 << false << QStringList{ListEmpty};
        QTest::newRow("empty with an array") << true << 2 << 0 << false << QStringList{ListEmpty};
        QTest::newRow("negative count") << true << 2 << -4 << false << QStringList();
        QTest::newRow("count without array") << true << 0 << 5 << true << QStringList{ListFailed};
    }

    void failures()
    {
        QFETCH(bool, result);
        QFETCH(int, records);
        QFETCH(int, count);
        QFETCH(bool, nullRecords);
        QFETCH(QStringList, lines);
        m_host->inkList.result = result;
        m_host->inkList.count = count;
        m_host->inkList.nullRecords = nullRecords;
        for (int i = 0; i < records; ++i)
            m_host->inkList.records.push_back(RecordingHost::ink("Ink", 1));

        const TableView view = open();
        QCOMPARE(view.rows, 13);
        QCOMPARE(view.names, padded({}, 13));
        QCOMPARE(view.amounts, padded({}, 13));
        QCOMPARE(m_host->logLines, lines);
        checkReturnedOnce();
    }

    void namesInTheLocalCodePage_data()
    {
        QTest::addColumn<QByteArray>("codec");
        QTest::addColumn<QString>("name");
        QTest::newRow("GB18030") << QByteArray("GB18030") << QStringLiteral("青色墨水");
        QTest::newRow("Latin-1") << QByteArray("ISO-8859-1") << QStringLiteral("Gelb Ölfarbe");
        QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << QStringLiteral("マゼンタ");
    }

    void namesInTheLocalCodePage()
    {
        QFETCH(QByteArray, codec);
        QFETCH(QString, name);
        QTextCodec* local = QTextCodec::codecForName(codec);
        QVERIFY(local);
        QTextCodec* previous = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(local);
        m_host->inkList.records.push_back(RecordingHost::ink(local->fromUnicode(name), 10));
        const TableView view = open();
        QTextCodec::setCodecForLocale(previous);
        QCOMPARE(view.names.value(0), name);
    }

    void nameFillingTheWholeField()
    {
        InkRecord record = RecordingHost::ink("", 1);
        std::memset(record.name, 'A', sizeof record.name);
        // Bytes right after the field belong to the time fields; they must not
        // leak into the name.
        record.year = 0x42424242;
        m_host->inkList.records.push_back(record);
        const TableView view = open();
        QCOMPARE(view.names.value(0), QString(128, QLatin1Char('A')));
    }

    void keysLeaveItOpen_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("escape") << int(Qt::Key_Escape);
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("enter") << int(Qt::Key_Enter);
    }

    void keysLeaveItOpen()
    {
        QFETCH(int, key);
        bool stillOpen = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* dialog) {
            QTest::keyClick(dialog, Qt::Key(key));
            QTest::keyClick(dialog, Qt::Key(key), Qt::KeypadModifier);
            stillOpen = dialog->isVisible();
            DialogDriver::click(dialog, "pushButton_close");
        });
        QVERIFY((*m_plugin)->ShowForWindow(nullptr, 0));
        QVERIFY(stillOpen);
    }

    void dragging_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("title, left") << QStringLiteral("widget_title") << int(Qt::LeftButton) << true;
        QTest::newRow("title, right") << QStringLiteral("widget_title") << int(Qt::RightButton) << false;
        QTest::newRow("title, middle") << QStringLiteral("widget_title") << int(Qt::MiddleButton) << false;
        QTest::newRow("content, left") << QStringLiteral("widget_content") << int(Qt::LeftButton) << false;
    }

    void dragging()
    {
        QFETCH(QString, target);
        QFETCH(int, button);
        QFETCH(bool, moves);
        QPoint start, afterMoves, afterRelease, grabbedAfter;
        QPoint grabbedBefore;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* dialog) {
            dialog->move(300, 200);
            QWidget* widget = dialog->findChild<QWidget*>(target);
            start = dialog->frameGeometry().topLeft();
            const QPoint grab = widget->mapToGlobal(QPoint(40, 10));
            grabbedBefore = grab - start;
            const auto b = Qt::MouseButton(button);
            send(widget, QEvent::MouseButtonPress, grab, b, b);
            send(widget, QEvent::MouseMove, grab + QPoint(30, 5), Qt::NoButton, b);
            send(widget, QEvent::MouseMove, grab + QPoint(57, -41), Qt::NoButton, b);
            afterMoves = dialog->frameGeometry().topLeft();
            grabbedAfter = grab + QPoint(57, -41) - afterMoves;
            send(widget, QEvent::MouseButtonRelease, grab + QPoint(57, -41), b, Qt::NoButton);
            send(widget, QEvent::MouseMove, grab + QPoint(100, 100), Qt::NoButton, Qt::NoButton);
            afterRelease = dialog->frameGeometry().topLeft();
            DialogDriver::click(dialog, "pushButton_close");
        });
        QVERIFY((*m_plugin)->ShowForWindow(nullptr, 0));
        if (moves) {
            QCOMPARE(afterMoves, start + QPoint(57, -41));
            QCOMPARE(grabbedAfter, grabbedBefore);
        } else {
            QCOMPARE(afterMoves, start);
        }
        QCOMPARE(afterRelease, afterMoves);
    }

    void windowShape()
    {
        Qt::WindowFlags flags;
        bool translucent = false;
        QSize minimum, maximum;
        QString title;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* dialog) {
            flags = dialog->windowFlags();
            translucent = dialog->testAttribute(Qt::WA_TranslucentBackground);
            minimum = dialog->minimumSize();
            maximum = dialog->maximumSize();
            title = dialog->windowTitle();
            DialogDriver::click(dialog, "pushButton_close");
        });
        QVERIFY((*m_plugin)->ShowForWindow(nullptr, 0));
        QCOMPARE(int(flags), int(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
        QCOMPARE(int(flags), 264203);
        QVERIFY(translucent);
        QCOMPARE(minimum, QSize(875, 563));
        QCOMPARE(maximum, QSize(875, 563));
        QCOMPARE(title, QStringLiteral("Ink Management"));
    }

private:
    static void send(QWidget* widget, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
                     Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, widget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

    TableView open()
    {
        TableView view;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&view](QWidget* dialog) {
            view = readTable(dialog);
            DialogDriver::click(dialog, "pushButton_close");
        });
        const bool closed = (*m_plugin)->ShowForWindow(nullptr, 0);
        if (!closed)
            qWarning("the dialog did not close through its button");
        return view;
    }

    void checkReturnedOnce()
    {
        QCOMPARE(m_host->inkListCalls, 1);
        QCOMPARE(m_host->freeCalls, 1);
        QCOMPARE(m_host->unknownFrees, 0);
        QCOMPARE(m_host->outstanding(), 0);
        QCOMPARE(m_host->badListsReceived, 0);
    }

    PluginLibrary m_library;
    std::unique_ptr<InterfaceHandle> m_plugin;
    std::unique_ptr<RecordingHost> m_host;
};

QTEST_MAIN(TestInkList)
#include "tst_inklist.moc"
