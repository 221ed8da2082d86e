// The ink management window as a host meets it: the built library loaded by
// path, reached through its exports and called back through a recording host.
#include "common/dialogdriver.h"
#include "common/pluginlibrary.h"
#include "common/recordinghost.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextCodec>
#include <QtTest>

#include <climits>

namespace {

const QString Ink = QStringLiteral("InkManagement");
const QString AlreadyShown = QStringLiteral("墨水加密：弹窗已经显示！");
const QString ListFailed = QStringLiteral("墨水加密：获取墨水信息列表失败");
const QString ListEmpty = QStringLiteral("墨水加密：没有需要显示的墨水信息");

// Once the ink window shows: 'look' at it, then close it through its button.
void whenShown(const std::function<void(QWidget*)>& look)
{
    DialogDriver::whenShown(Ink, [=](QWidget* dialog) {
        look(dialog);
        DialogDriver::click(dialog, "pushButton_close");
    });
}

} // namespace

class TestInkWindow : public QObject
{
    Q_OBJECT

private slots:
    // The host pointer is process-wide and cannot be unset, so the hostless
    // requests come before every test. Ink names arrive in a Chinese code page.
    void initTestCase()
    {
        QWidget parent;
        QVERIFY(!m_plugin->ShowForWindow(nullptr, 0));
        QVERIFY(!m_plugin->ShowForWidget(&parent, 0));
        QVERIFY(!m_plugin->SetHost(nullptr));
        QVERIFY(!m_plugin->ShowForWindow(nullptr, 0));
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("GB18030"));
    }

    void init()
    {
        m_host.reset(new RecordingHost);
        m_host->inkList.records = {RecordingHost::ink("Cyan", 250)};
        QVERIFY(m_plugin->SetHost(m_host.get()));
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("wide host") << QRect(QPoint(100, 100), QPoint(1099, 899)) << QPoint(162, 218);
        // Halves truncate toward zero: -375 / 2 is -187, not -188.
        QTest::newRow("narrow host") << QRect(QPoint(0, 0), QPoint(499, 399)) << QPoint(-187, -81);
    }

    void placement()
    {
        QFETCH(QRect, outer);
        QFETCH(QPoint, expected);
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.resize(outer.size() - (window.frameGeometry().size() - window.geometry().size()));
        window.move(outer.topLeft());
        QTRY_COMPARE(window.frameGeometry(), outer);
        QRect geometry;
        bool enabledMeanwhile = true;
        whenShown([&](QWidget* dialog) {
            geometry = QRect(dialog->pos(), dialog->size());
            enabledMeanwhile = window.isEnabled();
        });
        QVERIFY(m_plugin->ShowForWindow(handleOf(window), 0));
        QCOMPARE(geometry, QRect(expected, QSize(875, 563)));
        QVERIFY(!enabledMeanwhile);
        QVERIFY(window.isEnabled());
        QTRY_COMPARE(QApplication::activeWindow(), &window);
    }

    // Requests while a window is open are refused, through the same object or
    // another, and leave the open one as it is (a second window would block
    // them in its own exec()).
    void repeatedRequestsAreRefused()
    {
        InterfaceHandle other(m_library);
        QWidget window;
        QList<bool> results;
        QStringList linesMeanwhile;
        whenShown([&](QWidget* dialog) {
            results << m_plugin->ShowForWindow(nullptr, 0) << m_plugin->ShowForWidget(&window, 0)
                    << other->ShowForWindow(handleOf(window), 0) << dialog->isVisible();
            linesMeanwhile = m_host->logLines;
        });
        QVERIFY(m_plugin->ShowForWindow(handleOf(window), 0));
        QCOMPARE(results, (QList<bool>{false, false, false, true}));
        QCOMPARE(linesMeanwhile, (QStringList{AlreadyShown, AlreadyShown, AlreadyShown}));
        QCOMPARE(m_host->inkListCalls, 1);
    }

    // The title-bar button makes a request succeed as the Close button does,
    // the window system's close fails it; each request shows a new window,
    // whatever 'reserved' and the handle say. A null widget is refused
    // without reading the list or taking the guard.
    void closePaths()
    {
        QWidget parent;
        parent.show();
        QStringList cells;
        QList<QWidget*> parents;
        const auto close = [&](QWidget* dialog) {
            cells << tableOf(dialog)->item(0, 1)->text();
            parents << dialog->parentWidget();
            if (cells.size() == 1)
                DialogDriver::click(dialog, "pushButton_close_2");
            else
                dialog->close();
        };
        DialogDriver::whenShown(Ink, close);
        QVERIFY(m_plugin->ShowForWindow(reinterpret_cast<HWND>(quintptr(0x7fff1234)), INT_MAX));
        QVERIFY(!m_plugin->ShowForWidget(nullptr, 0));
        DialogDriver::whenShown(Ink, close);
        QVERIFY(!m_plugin->ShowForWidget(&parent, INT_MIN));
        QCOMPARE(cells, (QStringList{QStringLiteral("250ml"), QStringLiteral("250ml")}));
        QCOMPARE(parents, (QList<QWidget*>{nullptr, &parent}));
        QCOMPARE(m_host->inkListCalls, 2);
        QVERIFY(m_host->logLines.isEmpty());
    }

    // Every call of the factory makes a new parentless object that answers a
    // cast by name for both its parts, and ReleaseInterface destroys it.
    void interfaceObjects()
    {
        ITintwell* const first = m_library.newInterface();
        ITintwell* const second = m_library.newInterface();
        QVERIFY(first != second);
        QPointer<QObject> object(dynamic_cast<QObject*>(first));
        QVERIFY(object);
        QCOMPARE(object->parent(), nullptr);
        QCOMPARE(object->qt_metacast("ITintwell"), static_cast<void*>(first));
        QCOMPARE(object->qt_metacast("CTintwell"), static_cast<void*>(object.data()));
        m_library.releaseInterface(first);
        QVERIFY(object.isNull());
        m_library.releaseInterface(second);
        m_library.releaseInterface(nullptr);
    }

    // Rows in the host's order, at least 13; every array back exactly once.
    void contents_data()
    {
        QTest::addColumn<bool>("limited");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("count");
        QTest::addColumn<QVector<double>>("amounts");
        QTest::addColumn<QString>("cells"); // amounts column of the filled rows
        QTest::addColumn<QString>("line");  // to the host's log
        QTest::newRow("limited") << true << true << 11
            << QVector<double>{250, 12.5, 0.25, 1234567, 0.00001, 123456, 0.0001, 99.99999, 0.1 + 0.2, 2.5e-7, 0}
            << "250ml 12.5ml 0.25ml 1.23457e+06ml 1e-05ml 123456ml 0.0001ml 100ml 0.3ml 2.5e-07ml 0ml" << "";
        QTest::newRow("unlimited") << false << true << 2 << QVector<double>{250, 12.5} << "Unlimited Unlimited" << "";
        QTest::newRow("twenty scroll") << true << true << 20
            << QVector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}
            << "0ml 1ml 2ml 3ml 4ml 5ml 6ml 7ml 8ml 9ml 10ml 11ml 12ml 13ml 14ml 15ml 16ml 17ml 18ml 19ml" << "";
        QTest::newRow("refused") << true << false << 0 << QVector<double>() << "" << ListFailed;
        QTest::newRow("refused with an array") << true << false << 3 << QVector<double>{1, 2, 3} << "" << ListFailed;
        QTest::newRow("empty") << true << true << 0 << QVector<double>() << "" << ListEmpty;
        QTest::newRow("empty with an array") << true << true << 0 << QVector<double>{1, 2} << "" << ListEmpty;
        QTest::newRow("negative count") << true << true << -4 << QVector<double>{1, 2} << "" << "";
    }

    void contents()
    {
        QFETCH(bool, limited);
        QFETCH(bool, result);
        QFETCH(int, count);
        QFETCH(QVector<double>, amounts);
        QFETCH(QString, cells);
        QFETCH(QString, line);
        m_host->limited = limited;
        m_host->inkList.result = result;
        m_host->inkList.count = count;
        m_host->inkList.records.clear();
        for (int i = 0; i < amounts.size(); ++i)
            m_host->inkList.records.push_back(RecordingHost::ink(("墨水 " + QString::number(i)).toLocal8Bit(), amounts[i]));
        const QStringList filled = cells.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QStringList expected;
        for (int i = 0; i < qMax(13, filled.size()); ++i)
            expected << (i < filled.size() ? QStringLiteral("墨水 %1|%2").arg(i).arg(filled[i]) : QStringLiteral("|"));

        QStringList rows;
        bool centred = true, verticalBar = false, note = false;
        whenShown([&](QWidget* dialog) {
            QTableWidget* table = tableOf(dialog);
            const auto text = [&](int row, int column) {
                const QTableWidgetItem* item = table->item(row, column);
                centred = centred && (!item || item->textAlignment() == Qt::AlignCenter);
                return item ? item->text() : QString();
            };
            for (int row = 0; row < table->rowCount(); ++row)
                rows << text(row, 0) + QLatin1Char('|') + text(row, 1);
            verticalBar = table->verticalScrollBar()->isVisible();
            note = dialog->findChild<QWidget*>(QStringLiteral("label_info3"))->isVisible();
        });
        QVERIFY(m_plugin->ShowForWindow(nullptr, 0));
        QCOMPARE(rows, expected);
        QVERIFY(centred);
        QCOMPARE(note, !limited);
        QCOMPARE(verticalBar, filled.size() > 13);
        QCOMPARE(m_host->logLines, line.isEmpty() ? QStringList() : QStringList{line});
        // Fill calls, FreeRecords calls, unknown frees, arrays still out, dirty lists.
        QCOMPARE((QVector<int>{m_host->inkListCalls, m_host->freeCalls, m_host->unknownFrees, m_host->outstanding(),
                               m_host->badListsReceived}),
                 (QVector<int>{1, 1, 0, 0, 0}));
    }

    // Return, Enter and Escape leave it open, and its title bar drags it (the
    // drag itself is shared with the refill log and tested there).
    void framelessWindow()
    {
        bool stillOpen = true;
        QPoint moved;
        whenShown([&](QWidget* dialog) {
            for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
                QTest::keyClick(dialog, key);
                stillOpen = stillOpen && dialog->isVisible();
            }
            QWidget* title = dialog->findChild<QWidget*>(QStringLiteral("widget_title"));
            const QPoint start = dialog->pos(), grab = title->mapToGlobal(QPoint(40, 10)), to = grab + QPoint(57, -41);
            QMouseEvent press(QEvent::MouseButtonPress, title->mapFromGlobal(grab), grab, Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent move(QEvent::MouseMove, title->mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(title, &press);
            QApplication::sendEvent(title, &move);
            moved = dialog->pos() - start;
        });
        QVERIFY(m_plugin->ShowForWindow(nullptr, 0));
        QVERIFY(stillOpen);
        QCOMPARE(moved, QPoint(57, -41));
    }

private:
    static HWND handleOf(QWidget& window) { return reinterpret_cast<HWND>(window.winId()); }
    static QTableWidget* tableOf(QWidget* w) { return w->findChild<QTableWidget*>("tableWidget_inkList"); }

    PluginLibrary m_library;
    InterfaceHandle m_plugin{m_library};
    std::unique_ptr<RecordingHost> m_host;
};

QTEST_MAIN(TestInkWindow)
#include "tst_inkwindow.moc"
