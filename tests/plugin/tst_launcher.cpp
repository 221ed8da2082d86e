// The launcher as a host sees it: the built library loaded by path, reached
// through its exports and called back through a recording host.
#include "common/dialogdriver.h"
#include "common/pluginlibrary.h"
#include "common/recordinghost.h"

#include <QPointer>
#include <QTableWidget>
#include <QtTest>

#include <climits>

namespace {

const QString AlreadyShown = QStringLiteral("墨水加密：弹窗已经显示！");

int shownInkDialogs()
{
    int shown = 0;
    const auto widgets = QApplication::topLevelWidgets();
    for (const QWidget* widget : widgets)
        shown += widget->objectName() == QLatin1String("InkManagement") && widget->isVisible();
    return shown;
}

// Gives the host window the outer rectangle (left, top, right, bottom).
void placeOuterRect(QWidget& window, const QRect& outer)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    window.resize(outer.size() - frameExtra);
    window.move(outer.topLeft());
    QTRY_COMPARE(window.frameGeometry(), outer);
}

HWND handleOf(QWidget& window)
{
    return reinterpret_cast<HWND>(window.winId());
}

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: the host pointer is process-wide and cannot be unset.
    void showBeforeSetHostDoesNothing()
    {
        InterfaceHandle plugin(m_library);
        QWidget parent;
        QVERIFY(!plugin->ShowForWindow(nullptr, 0));
        QVERIFY(!plugin->ShowForWidget(&parent, 0));
        QCOMPARE(shownInkDialogs(), 0);
        QVERIFY(!plugin->SetHost(nullptr));
        QVERIFY(!plugin->ShowForWindow(nullptr, 0));
    }

    void nullHostKeepsThePreviousOne()
    {
        InterfaceHandle plugin(m_library);
        RecordingHost first;
        QVERIFY(plugin->SetHost(&first));
        QVERIFY(!plugin->SetHost(nullptr));

        DialogDriver::whenShown(QStringLiteral("InkManagement"),
                                [](QWidget* dialog) { DialogDriver::click(dialog, "pushButton_close"); });
        QVERIFY(plugin->ShowForWindow(nullptr, 0));
        QCOMPARE(first.inkListCalls, 1);
        QCOMPARE(first.freeCalls, 1);
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("wide host") << QRect(QPoint(100, 100), QPoint(1099, 899)) << QPoint(162, 218);
        // Halves truncate toward zero: -375 / 2 is -187, not -188.
        QTest::newRow("narrow host") << QRect(QPoint(0, 0), QPoint(499, 399)) << QPoint(-187, -81);
        QTest::newRow("odd sizes") << QRect(10, 20, 1001, 700) << QPoint(73, 88);
    }

    void placement()
    {
        QFETCH(QRect, outer);
        QFETCH(QPoint, expected);
        InterfaceHandle plugin(m_library);
        RecordingHost host;
        QVERIFY(plugin->SetHost(&host));
        QWidget window;
        placeOuterRect(window, outer);

        QPoint position;
        QSize size;
        bool enabledMeanwhile = true;
        bool modal = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* dialog) {
            position = dialog->pos();
            size = dialog->size();
            enabledMeanwhile = window.isEnabled();
            modal = dialog->isModal();
            DialogDriver::click(dialog, "pushButton_close");
        });
        QVERIFY(plugin->ShowForWindow(handleOf(window), 0));
        QCOMPARE(size, QSize(875, 563));
        QCOMPARE(position, expected);
        QVERIFY(!enabledMeanwhile);
        QVERIFY(modal);
        QVERIFY(window.isEnabled());
        QTRY_COMPARE(QApplication::activeWindow(), &window);
    }

    void unknownHandleStillShows()
    {
        InterfaceHandle plugin(m_library);
        RecordingHost host;
        QVERIFY(plugin->SetHost(&host));
        bool shown = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* dialog) {
            shown = true;
            DialogDriver::click(dialog, "pushButton_close_2");
        });
        QVERIFY(plugin->ShowForWindow(reinterpret_cast<HWND>(quintptr(0x7fff1234)), 0));
        QVERIFY(shown);
    }

    void repeatedRequestsAreRefused()
    {
        InterfaceHandle plugin(m_library);
        InterfaceHandle other(m_library);
        RecordingHost host;
        host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        QVERIFY(plugin->SetHost(&host));
        QWidget window;
        window.show();

        bool sameResult = true, otherResult = true, widgetResult = true;
        int dialogsMeanwhile = 0;
        QStringList linesMeanwhile;
        QPointer<QWidget> first;
        bool firstStillShown = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* dialog) {
            first = dialog;
            sameResult = plugin->ShowForWindow(nullptr, 0);
            widgetResult = plugin->ShowForWidget(&window, 0);
            otherResult = other->ShowForWindow(handleOf(window), 0);
            dialogsMeanwhile = shownInkDialogs();
            linesMeanwhile = host.logLines;
            firstStillShown = dialog->isVisible();
            DialogDriver::click(dialog, "pushButton_close");
        });
        QVERIFY(plugin->ShowForWindow(handleOf(window), 0));
        QVERIFY(!sameResult);
        QVERIFY(!widgetResult);
        QVERIFY(!otherResult);
        QCOMPARE(dialogsMeanwhile, 1);
        QVERIFY(firstStillShown);
        QCOMPARE(linesMeanwhile, (QStringList{AlreadyShown, AlreadyShown, AlreadyShown}));
        QCOMPARE(host.inkListCalls, 1);

        // Free again: the other object may now show.
        DialogDriver::whenShown(QStringLiteral("InkManagement"),
                                [](QWidget* dialog) { DialogDriver::click(dialog, "pushButton_close"); });
        QVERIFY(other->ShowForWindow(nullptr, 0));
    }

    void closePaths_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("result");
        QTest::newRow("close button") << QStringLiteral("pushButton_close") << true;
        QTest::newRow("title-bar button") << QStringLiteral("pushButton_close_2") << true;
        QTest::newRow("window system") << QString() << false;
        QTest::newRow("reject") << QStringLiteral("reject") << false;
    }

    void closePaths()
    {
        QFETCH(QString, how);
        QFETCH(bool, result);
        InterfaceHandle plugin(m_library);
        RecordingHost host;
        host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        QVERIFY(plugin->SetHost(&host));
        QWidget parent;
        parent.show();

        for (int run = 0; run < 2; ++run) {
            auto close = [how](QWidget* dialog) {
                if (how.isEmpty())
                    dialog->close();
                else if (how == QLatin1String("reject"))
                    static_cast<QDialog*>(dialog)->reject();
                else
                    DialogDriver::click(dialog, how.toLatin1().constData());
            };
            DialogDriver::whenShown(QStringLiteral("InkManagement"), close);
            QCOMPARE(plugin->ShowForWindow(nullptr, 0), result);
            DialogDriver::whenShown(QStringLiteral("InkManagement"), close);
            QCOMPARE(plugin->ShowForWidget(&parent, 0), result);
        }
        QCOMPARE(host.inkListCalls, 4);
        QVERIFY(host.logLines.isEmpty());
    }

    void nullWidgetLeavesTheGuardFree()
    {
        InterfaceHandle plugin(m_library);
        RecordingHost host;
        QVERIFY(plugin->SetHost(&host));
        QVERIFY(!plugin->ShowForWidget(nullptr, 0));
        QCOMPARE(host.inkListCalls, 0);
        QVERIFY(host.logLines.isEmpty());

        QWidget parent;
        parent.show();
        QWidget* dialogParent = nullptr;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* dialog) {
            dialogParent = dialog->parentWidget();
            DialogDriver::click(dialog, "pushButton_close");
        });
        // A dialog with a parent is still a window of its own.
        QVERIFY(plugin->ShowForWidget(&parent, 0));
        QCOMPARE(dialogParent, &parent);
    }

    void reservedHasNoEffect_data()
    {
        QTest::addColumn<int>("reserved");
        QTest::newRow("zero") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("negative") << -1;
        QTest::newRow("max") << INT_MAX;
        QTest::newRow("min") << INT_MIN;
    }

    void reservedHasNoEffect()
    {
        QFETCH(int, reserved);
        InterfaceHandle plugin(m_library);
        RecordingHost host;
        host.inkList.records = {RecordingHost::ink("Cyan", 250)};
        QVERIFY(plugin->SetHost(&host));
        QWidget parent;
        parent.show();
        QString cell;
        DialogDriver::whenShown(QStringLiteral("InkManagement"), [&](QWidget* dialog) {
            if (auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList")))
                cell = table->item(0, 1) ? table->item(0, 1)->text() : QString();
            DialogDriver::click(dialog, "pushButton_close");
        });
        QVERIFY(plugin->ShowForWidget(&parent, reserved));
        QCOMPARE(cell, QStringLiteral("250ml"));
    }

    void releaseDestroysTheObject()
    {
        ITintwell* object = m_library.newInterface();
        QVERIFY(object);
        m_library.releaseInterface(object);
        m_library.releaseInterface(nullptr);
    }

private:
    PluginLibrary m_library;
};

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
