// The refill log opened from the ink management window, through the
// library's exports as a host drives it.
#include "common/dialogdriver.h"
#include "common/pluginlibrary.h"
#include "common/recordinghost.h"

#include <QTableWidget>
#include <QtTest>

class TestRefillLogOpening : public QObject
{
    Q_OBJECT

private slots:
    // Centred over the main window, even off the screen's left edge:
    // (875 - 700) / 2 = 87, (563 - 439) / 2 = 62. Either button ends only the
    // refill log; every opening reads the history afresh and hands it back.
    void openedOverTheMainWindow_data()
    {
        QTest::addColumn<QPoint>("mainPosition");
        QTest::addColumn<QPoint>("expected");
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << QPoint(100, 50) << QPoint(187, 112) << "pushButton_close";
        QTest::newRow("title bar") << QPoint(-301, -21) << QPoint(-214, 41) << "pushButton_close_2";
    }

    void openedOverTheMainWindow()
    {
        QFETCH(QPoint, mainPosition);
        QFETCH(QPoint, expected);
        QFETCH(QString, button);
        PluginLibrary library;
        InterfaceHandle plugin(library);
        RecordingHost host;
        host.refillLog.records = {RecordingHost::refill(2024, 5, 1, 10, 0, 0, "Cyan", 100),
                                  RecordingHost::refill(2025, 1, 1, 0, 0, 0, "Magenta", 50)};
        QVERIFY(plugin->SetHost(&host));

        QVector<QPoint> positions;
        QStringList firstTimes;
        bool mainStillOpen = false;
        bool timedOut = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* main) {
            main->move(mainPosition);
            for (int i = 0; i < 2; ++i) {
                DialogDriver::whenShown(QStringLiteral("InkRefillLog"), [&](QWidget* refill) {
                    positions << refill->pos();
                    const auto* table = refill->findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
                    firstTimes << (table && table->item(0, 0) ? table->item(0, 0)->text() : QString());
                    DialogDriver::click(refill, qPrintable(button));
                }, &timedOut);
                DialogDriver::click(main, "pushButton_inkRefillLog");
            }
            mainStillOpen = main->isVisible() && !DialogDriver::findShown(QStringLiteral("InkRefillLog"));
            DialogDriver::click(main, "pushButton_close");
        }, &timedOut);
        QVERIFY(plugin->ShowForWindow(nullptr, 0));
        QVERIFY(!timedOut);
        QCOMPARE(positions, (QVector<QPoint>{expected, expected}));
        QCOMPARE(firstTimes, (QStringList{"2025/01/01 00:00:00", "2025/01/01 00:00:00"}));
        QVERIFY(mainStillOpen);
        QCOMPARE(host.refillLogCalls, 2);
        QCOMPARE(host.freeCalls, 3); // the ink list and two histories
        QCOMPARE(host.outstanding(), 0);
        QCOMPARE(host.unknownFrees, 0);
    }
};

QTEST_MAIN(TestRefillLogOpening)
#include "tst_refilllogopening.moc"
