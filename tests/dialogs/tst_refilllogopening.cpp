// The refill log opened from the ink management window, through the
// library's exports as a host drives it.
#include "common/dialogdriver.h"
#include "common/pluginlibrary.h"
#include "common/recordinghost.h"

#include <QTableWidget>
#include <QtTest>

namespace {

struct RefillLogSeen
{
    bool shown = false;
    QPoint position;
    QString firstTime;
    bool mainVisible = false;
};

} // namespace

class TestRefillLogOpening : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_plugin.reset(new InterfaceHandle(m_library)); }
    void cleanupTestCase() { m_plugin.reset(); }

    void init()
    {
        m_host.reset(new RecordingHost);
        QVERIFY((*m_plugin)->SetHost(m_host.get()));
        m_host->refillLog.records = {
            RecordingHost::refill(2024, 5, 1, 10, 0, 0, "Cyan", 100),
            RecordingHost::refill(2025, 1, 1, 0, 0, 0, "Magenta", 50),
        };
    }

    void centredOverTheMainWindow_data()
    {
        QTest::addColumn<QPoint>("mainPosition");
        QTest::addColumn<QPoint>("expected");
        // (875 - 700) / 2 = 87, (563 - 439) / 2 = 62
        QTest::newRow("typical") << QPoint(100, 50) << QPoint(187, 112);
        QTest::newRow("left of the screen") << QPoint(-301, -21) << QPoint(-214, 41);
    }

    void centredOverTheMainWindow()
    {
        QFETCH(QPoint, mainPosition);
        QFETCH(QPoint, expected);
        const RefillLogSeen seen = openRefillLog(mainPosition);
        QVERIFY(seen.shown);
        QCOMPARE(seen.position, expected);
        QVERIFY(seen.mainVisible);
        QCOMPARE(seen.firstTime, QStringLiteral("2025/01/01 00:00:00"));
    }

    // Either button ends only the refill log; the main window stays open, and
    // every opening reads the history afresh and hands it back.
    void closingReturnsToTheMainWindow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << QStringLiteral("pushButton_close");
        QTest::newRow("title bar") << QStringLiteral("pushButton_close_2");
    }

    void closingReturnsToTheMainWindow()
    {
        QFETCH(QString, button);
        int openings = 0;
        bool mainStillOpen = false;
        bool timedOut = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* main) {
            for (int i = 0; i < 2; ++i) {
                DialogDriver::whenShown(QStringLiteral("InkRefillLog"), [&](QWidget* refill) {
                    ++openings;
                    DialogDriver::click(refill, qPrintable(button));
                }, &timedOut);
                DialogDriver::click(main, "pushButton_inkRefillLog");
            }
            mainStillOpen = main->isVisible() && !DialogDriver::findShown(QStringLiteral("InkRefillLog"));
            DialogDriver::click(main, "pushButton_close");
        }, &timedOut);
        QVERIFY((*m_plugin)->ShowForWindow(nullptr, 0));
        QVERIFY(!timedOut);
        QCOMPARE(openings, 2);
        QVERIFY(mainStillOpen);
        QCOMPARE(m_host->refillLogCalls, 2);
        QCOMPARE(m_host->freeCalls, 3); // the ink list and two histories
        QCOMPARE(m_host->outstanding(), 0);
        QCOMPARE(m_host->unknownFrees, 0);
    }

private:
    RefillLogSeen openRefillLog(const QPoint& mainPosition)
    {
        RefillLogSeen seen;
        bool timedOut = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* main) {
            main->move(mainPosition);
            DialogDriver::whenShown(QStringLiteral("InkRefillLog"), [&](QWidget* refill) {
                seen.shown = true;
                seen.position = refill->pos();
                seen.mainVisible = main->isVisible();
                if (auto* table = refill->findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList")))
                    seen.firstTime = table->item(0, 0) ? table->item(0, 0)->text() : QString();
                DialogDriver::click(refill, "pushButton_close");
            }, &timedOut);
            DialogDriver::click(main, "pushButton_inkRefillLog");
            DialogDriver::click(main, "pushButton_close");
        }, &timedOut);
        if (!(*m_plugin)->ShowForWindow(nullptr, 0))
            qWarning("the main window did not close through its button");
        if (timedOut)
            qWarning("a window did not appear");
        return seen;
    }

    PluginLibrary m_library;
    std::unique_ptr<InterfaceHandle> m_plugin;
    std::unique_ptr<RecordingHost> m_host;
};

QTEST_MAIN(TestRefillLogOpening)
#include "tst_refilllogopening.moc"
