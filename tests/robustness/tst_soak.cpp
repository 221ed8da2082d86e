// Both windows opened and closed many times in one process, as an operator
// does all day. Every array must come back and no window outlive its cycle;
// the sanitizer build of this test is the leak check.
#include "common/dialogdriver.h"
#include "common/pluginlibrary.h"
#include "common/recordinghost.h"

#include <QtTest>

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void openAndCloseBothWindows()
    {
        const int cycles = qEnvironmentVariableIsSet("VQ_SOAK_CYCLES")
            ? qEnvironmentVariableIntValue("VQ_SOAK_CYCLES") : 1000;
        PluginLibrary library;
        InterfaceHandle tintwell(library);
        RecordingHost host;
        host.inkList.records = {RecordingHost::ink("Cyan", 250), RecordingHost::ink("Black", 12.5)};
        host.refillLog.records = {RecordingHost::refill(2026, 3, 1, 8, 0, 0, "Cyan", 500),
                                  RecordingHost::refill(2026, 5, 2, 9, 30, 0, "Black", 250)};
        QVERIFY(tintwell->SetHost(&host));
        QWidget parent;
        parent.show();
        const int topLevelsBefore = QApplication::topLevelWidgets().size();

        for (int cycle = 0; cycle < cycles; ++cycle) {
            bool timedOut = false;
            DialogDriver::whenShown(QStringLiteral("InkManagement"), [&timedOut](QWidget* inkWindow) {
                DialogDriver::whenShown(QStringLiteral("InkRefillLog"), [](QWidget* refillLog) {
                    DialogDriver::click(refillLog, "pushButton_close");
                }, &timedOut);
                DialogDriver::click(inkWindow, "pushButton_inkRefillLog"); // returns once the log is closed
                DialogDriver::click(inkWindow, "pushButton_close");
            }, &timedOut);
            // Both ways a host opens the window take their turn.
            const bool shown = cycle % 2 == 0 ? tintwell->ShowForWidget(&parent, 0)
                                              : tintwell->ShowForWindow(reinterpret_cast<HWND>(parent.winId()), 0);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            const QByteArray where = "cycle " + QByteArray::number(cycle);
            QVERIFY2(!timedOut && shown, where);
            QVERIFY2(host.outstanding() == 0, where);
            QVERIFY2(QApplication::topLevelWidgets().size() == topLevelsBefore, where);
        }
        QCOMPARE(host.inkListCalls, cycles);
        QCOMPARE(host.refillLogCalls, cycles);
        QCOMPARE(host.freeCalls, 2 * cycles);
        QCOMPARE(host.unknownFrees, 0);
        QVERIFY(host.logLines.isEmpty());
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
