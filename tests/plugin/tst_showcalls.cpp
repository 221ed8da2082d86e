// SPDX-License-Identifier: MIT
// The show calls as a host makes them: the built library loaded by path,
// reached through its two exports and called back through a recording host.
#include "plugin/vqtintwellloader.h"
#include "testsupport/dialogdriver.h"
#include "testsupport/recordinghost.h"

#include <QDialog>
#include <QtTest>

#include <memory>

#ifdef Q_OS_WIN
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

namespace {

const QString Ink = QStringLiteral("InkManagement");
const QString AlreadyShown = QStringLiteral("墨水加密：弹窗已经显示！");
const QString NoApplication = QStringLiteral("墨水加密：SetHost refused: there is no QApplication yet; create the "
                                             "QApplication before calling the library");
const QString CoreApplication =
    QStringLiteral("墨水加密：SetHost refused: a QCoreApplication cannot show windows; the host "
                   "must create a QApplication");
const QString OtherThread = QStringLiteral(" refused: called from a thread other than the "
                                           "QApplication's; call the library on the GUI thread");

// What a host hears that calls before it has its QApplication, and then with
// a QCoreApplication only: main asks before it makes the test's application.
QList<bool> g_withoutApplication;
QStringList g_linesWithoutApplication;

HWND handleOf(QWidget& window)
{
    return reinterpret_cast<HWND>(window.winId());
}

// A window's outer rectangle as the window system has it, in its pixels.
QRect outerRect(QWidget& window)
{
#ifdef Q_OS_WIN
    RECT rect{};
    GetWindowRect(handleOf(window), &rect);
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
#else
    return window.frameGeometry();
#endif
}

void setOuterRect(QWidget& window, const QRect& outer)
{
#ifdef Q_OS_WIN
    SetWindowPos(handleOf(window), nullptr, outer.x(), outer.y(), outer.width(), outer.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
#else
    window.resize(outer.size() - (window.frameGeometry().size() - window.geometry().size()));
    window.move(outer.topLeft());
#endif
}

bool meet(const QPoint& a, const QPoint& b)
{
    return qAbs(a.x() - b.x()) <= 2 && qAbs(a.y() - b.y()) <= 2;
}

bool takesInput(QWidget& window)
{
#ifdef Q_OS_WIN
    return IsWindowEnabled(handleOf(window));
#else
    return window.isEnabled();
#endif
}

} // namespace

class TestShowCalls : public QObject
{
    Q_OBJECT

private slots:
    // The host pointer is process-wide and cannot be unset, so the requests
    // without a host come first.
    void initTestCase()
    {
        QVERIFY2(m_plugin.load(QStringLiteral(VQ_PLUGIN_PATH)), qPrintable(m_plugin.errorString()));
        QVERIFY(m_library.load());
        m_create = reinterpret_cast<VqNewInterfaceFn>(m_library.resolve("NewInterface"));
        m_release = reinterpret_cast<VqReleaseInterfaceFn>(m_library.resolve("ReleaseInterface"));
        QCOMPARE(g_withoutApplication, (QList<bool>{false, false, false, false, false}));
        QCOMPARE(g_linesWithoutApplication, (QStringList{NoApplication, CoreApplication, CoreApplication}));
        QWidget parent;
        QVERIFY(!m_plugin->ShowForWidget(&parent, 0));
        QVERIFY(!m_plugin->SetHost(nullptr));
        QVERIFY(!m_plugin->ShowForWindow(nullptr, 0));
    }

    void init()
    {
        m_host = std::make_unique<RecordingHost>();
        m_host->inkList.records = {inkRecord("Cyan", 250)};
        QVERIFY(m_plugin->SetHost(m_host.get()));
    }

    void cleanup() { QVERIFY(m_host->keptContract()); }

    // Centred over the host window's outer rectangle (given as left, top,
    // right, bottom), halves truncated toward zero; the host window disabled
    // meanwhile, enabled and in front afterwards. The refill log opens
    // centred over the ink window and leaves it open; its OK button accepts
    // it. On a screen Windows scales, where the host window's pixels are not
    // Qt's, the centres meet within rounding.
    void placement_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QPoint>("ink");
        QTest::addColumn<QPoint>("refills");
        QTest::newRow("100 100 1100 900")
            << QRect(QPoint(100, 100), QPoint(1099, 899)) << QPoint(162, 218) << QPoint(249, 280);
    }

    void placement()
    {
        QFETCH(QRect, outer);
        QFETCH(QPoint, ink);
        QFETCH(QPoint, refills);
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        setOuterRect(window, outer);
        QVERIFY(QTest::qWaitFor([&] { return outerRect(window) == outer; }));
        QRect geometry, refillLog;
        bool enabledMeanwhile = true, inkStaysOpen = false;
        int refillLogResult = -1;
        DialogDriver::whenShown(Ink, "pushButton_close", [&](QWidget* dialog) {
            geometry = outerRect(*dialog);
            enabledMeanwhile = takesInput(window);
            DialogDriver::whenShown("InkRefillLog", nullptr, [&](QWidget* refills) {
                refillLog = outerRect(*refills);
                DialogDriver::click(refills, "pushButton_close");
                refillLogResult = static_cast<QDialog*>(refills)->result();
            });
            DialogDriver::click(dialog, "pushButton_inkRefillLog");
            inkStaysOpen = dialog->isVisible();
        });
        QVERIFY(m_plugin->ShowForWindow(handleOf(window), 0));
        if (window.devicePixelRatioF() == 1) {
            QCOMPARE(geometry, QRect(ink, QSize(875, 563)));
            QCOMPARE(refillLog, QRect(refills, QSize(700, 439)));
        } else {
            QVERIFY(meet(geometry.center(), outer.center()));
            QVERIFY(meet(refillLog.center(), geometry.center()));
        }
        QCOMPARE(refillLogResult, int(QDialog::Accepted));
        QVERIFY(inkStaysOpen);
        QVERIFY(!enabledMeanwhile);
        QVERIFY(takesInput(window));
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
    }

    // While a window is open every request is refused with one line to the
    // host, through the same object or another, and the open one goes on;
    // one through the same object brings it forward, unless a host was
    // handed over since. A null host is refused and the one in use stays; a
    // host handed over takes over at once: it hears the refusals and serves
    // the refill log. (Only offscreen puts the open window behind another:
    // a window system keeps the focus on a modal window.)
    void requestsWhileOpen()
    {
        const std::unique_ptr<ITintwell, VqReleaseInterfaceFn> other(m_create(), m_release);
        QWidget window;
        window.show();
        RecordingHost next;
        next.refillLog.records = {inkRecord("Cyan", 12.5, {2025, 1, 1})};
        QList<bool> results;
        QStringList linesMeanwhile;
        const bool offscreen = QGuiApplication::platformName() == "offscreen";
        // A request through the first object, made while the host's window
        // is active: whether the open window comes forward.
        const auto comesForward = [&](QWidget* dialog) {
            window.activateWindow();
            QVERIFY(!offscreen || QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
            results << m_plugin->ShowForWindow(nullptr, 0);
            results << (offscreen && QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }, 500));
        };
        DialogDriver::whenShown(Ink, "pushButton_close", [&](QWidget* dialog) {
            results << m_plugin->ShowForWidget(&window, 0) << other->ShowForWindow(handleOf(window), 0)
                    << other->ShowForWidget(nullptr, 0) << m_plugin->SetHost(nullptr)
                    << other->ShowForWindow(nullptr, 0);
            comesForward(dialog);
            results << m_plugin->SetHost(&next) << other->ShowForWindow(nullptr, 0);
            comesForward(dialog);
            results << dialog->isVisible();
            linesMeanwhile = m_host->logLines;
            DialogDriver::whenShown("InkRefillLog", "pushButton_close");
            DialogDriver::click(dialog, "pushButton_inkRefillLog");
        });
        QVERIFY(m_plugin->ShowForWindow(handleOf(window), 0));
        QCOMPARE(results,
                 (QList<bool>{false, false, false, false, false, false, offscreen, true, false, false, false, true}));
        QCOMPARE(linesMeanwhile, (QStringList{AlreadyShown, AlreadyShown, AlreadyShown, AlreadyShown, AlreadyShown}));
        QCOMPARE(m_host->fillCalls, 1);
        QCOMPARE(next.fillCalls, 1);
        QCOMPARE(next.logLines, (QStringList{AlreadyShown, AlreadyShown}));
        QVERIFY(next.keptContract());
    }

    // True only when one of the window's buttons closed it; each call shows
    // a new window, with the host's widget as parent or none, whatever
    // 'reserved' and an unknown handle say. A null widget is refused without
    // taking the guard.
    void results()
    {
        QWidget parent;
        QVERIFY(!m_plugin->ShowForWidget(nullptr, 0));
        QWidget* parentMeanwhile = nullptr;
        DialogDriver::whenShown(Ink, "pushButton_close_2",
                                [&](QWidget* dialog) { parentMeanwhile = dialog->parentWidget(); });
        QVERIFY(m_plugin->ShowForWidget(&parent, INT_MIN));
        QCOMPARE(parentMeanwhile, &parent);
        // Closed by the window system, not by a button.
        const auto close = [&](QWidget* dialog) {
            parentMeanwhile = dialog->parentWidget();
            dialog->close();
        };
        DialogDriver::whenShown(Ink, nullptr, close);
        QVERIFY(!m_plugin->ShowForWidget(&parent, 0));
        DialogDriver::whenShown(Ink, nullptr, close);
        QVERIFY(!m_plugin->ShowForWindow(reinterpret_cast<HWND>(quintptr(0x7fff1234)), INT_MAX));
        QCOMPARE(parentMeanwhile, nullptr);
        QCOMPARE(m_host->fillCalls, 3);
        QVERIFY(m_host->logLines.isEmpty());
    }

    // Calls from another thread than the application's are refused, each
    // with a line to the host in use, which stays. (Callbacks that throw are
    // the host fuzzer's.)
    void otherThread()
    {
        RecordingHost other;
        QWidget parent;
        QList<bool> results;
        const std::unique_ptr<QThread> worker(QThread::create([&] {
            results << m_plugin->SetHost(&other) << m_plugin->ShowForWindow(nullptr, 0)
                    << m_plugin->ShowForWidget(&parent, 0);
        }));
        worker->start();
        QVERIFY(worker->wait());
        QCOMPARE(results, (QList<bool>{false, false, false}));
        QCOMPARE(m_host->logLines,
                 (QStringList{"墨水加密：SetHost" + OtherThread, "墨水加密：ShowForWindow" + OtherThread,
                              "墨水加密：ShowForWidget" + OtherThread}));
        QVERIFY(other.logLines.isEmpty() && m_host->fillCalls == 0);
    }

    // The host may close its window while ours is open over it, from its own
    // timers and signals. A widget it gave as parent takes the window with it,
    // and an open refill log closes first: the show answers false, and the
    // next one goes ahead. Over a native window the window stays until the
    // operator closes it.
    void parentGoes_data()
    {
        QTest::addColumn<bool>("widget");
        QTest::addColumn<bool>("refillLog");
        QTest::newRow("widget") << true << false;
        QTest::newRow("widget, refill log open") << true << true;
        QTest::newRow("native window, refill log open") << false << true;
    }

    void parentGoes()
    {
        QFETCH(bool, widget);
        QFETCH(bool, refillLog);
        m_host->refillLog.records = {inkRecord("Cyan", 12.5, {2025, 1, 1})};
        auto parent = std::make_unique<QWidget>();
        parent->show();
        const HWND handle = handleOf(*parent);
        QPointer<QWidget> inkWindow;
        bool stayed = false, refillLogStayed = false;
        DialogDriver::whenShown(Ink, nullptr, [&](QWidget* dialog) {
            inkWindow = dialog;
            if (refillLog) {
                DialogDriver::whenShown("InkRefillLog", "pushButton_close", [&](QWidget* refills) {
                    parent.reset();
                    refillLogStayed = refills->isVisible();
                });
                DialogDriver::click(dialog, "pushButton_inkRefillLog");
            } else {
                parent.reset();
            }
            stayed = inkWindow && inkWindow->isVisible();
            if (inkWindow)
                DialogDriver::click(inkWindow, "pushButton_close");
        });
        QCOMPARE(widget ? m_plugin->ShowForWidget(parent.get(), 0) : m_plugin->ShowForWindow(handle, 0), !widget);
        QCOMPARE(stayed, !widget);
        QCOMPARE(refillLogStayed, refillLog && !widget);
        QCOMPARE(m_host->fillCalls, refillLog ? 2 : 1);
        QWidget next;
        DialogDriver::whenShown(Ink, "pushButton_close");
        QVERIFY(m_plugin->ShowForWidget(&next, 0));
    }

    // Every call of the factory makes a new parentless object that answers a
    // cast by name for both its parts; ReleaseInterface destroys it. (Releases
    // during a show are the host fuzzer's.)
    void interfaceObjects()
    {
        ITintwell* const first = m_create();
        ITintwell* const second = m_create();
        QVERIFY(first != second);
        const QPointer<QObject> object(dynamic_cast<QObject*>(first));
        QVERIFY(object && !object->parent());
        QCOMPARE(object->qt_metacast("ITintwell"), static_cast<void*>(first));
        QCOMPARE(object->qt_metacast("CTintwell"), static_cast<void*>(object.data()));
        m_release(first);
        QVERIFY(!object);
        m_release(second);
        m_release(nullptr);
    }

    // Every failure to load names the file and what is wrong with it.
    void loaderErrors()
    {
        const std::pair<QString, QString> failures[] = {
            {"", "No library file given to load the VqTintwell plug-in from"},
            {"/nonexistent/VqTintwell",
             "Cannot load library " + QDir::toNativeSeparators("/nonexistent/VqTintwell") + ": "},
            {VQ_NOT_A_PLUGIN, VQ_NOT_A_PLUGIN " is not the VqTintwell plug-in: it does not export NewInterface"},
            {VQ_HALF_PLUGIN, VQ_HALF_PLUGIN " is not the VqTintwell plug-in: it does not export ReleaseInterface"}};
        for (const auto& [path, error] : failures) {
            VqTintwellLoader loader;
            QVERIFY(!loader.load(path) && !loader.object());
            QVERIFY2(loader.errorString().startsWith(error), qPrintable(loader.errorString()));
        }
    }

    // Load, show, release and unload, again and again: each time the library
    // goes from the process, and with it its log file.
    void loadShowUnload()
    {
        // Qt 6.4 unloads at the first unload of any QLibrary of the file.
        m_plugin.unload();
        m_library.unload();
#ifndef Q_OS_WIN
        const int openFiles = QDir(QStringLiteral("/proc/self/fd")).count();
#endif
        for (int cycle = 0; cycle < 5; ++cycle) {
            QVERIFY(m_plugin.load(QStringLiteral(VQ_PLUGIN_PATH)));
            QVERIFY(m_plugin->SetHost(m_host.get()));
            DialogDriver::whenShown(Ink, "pushButton_close");
            QVERIFY(m_plugin->ShowForWindow(nullptr, 0));
            m_plugin.unload();
#ifdef Q_OS_WIN
            QVERIFY(!GetModuleHandleW(L"VqTintwell.dll"));
            // An open file cannot be deleted on Windows.
            QVERIFY(QDir(QCoreApplication::applicationDirPath() + "/Log").removeRecursively());
#else
            QVERIFY(!dlopen(VQ_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD));
            QCOMPARE(QDir(QStringLiteral("/proc/self/fd")).count(), openFiles);
#endif
        }
    }

private:
    VqTintwellLoader m_plugin;
    // The exports themselves, for more interface objects.
    QLibrary m_library{QStringLiteral(VQ_PLUGIN_PATH)};
    VqNewInterfaceFn m_create = nullptr;
    VqReleaseInterfaceFn m_release = nullptr;
    std::unique_ptr<RecordingHost> m_host;
};

int main(int argc, char** argv)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    // As most Qt 5 desktop applications do on Windows (set by the scaled runs).
    if (qEnvironmentVariableIsSet("VQ_HIGH_DPI"))
        QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
#endif
    {
        VqTintwellLoader plugin;
        RecordingHost host;
        if (plugin.load(QStringLiteral(VQ_PLUGIN_PATH))) {
            g_withoutApplication << plugin->ShowForWindow(nullptr, 0) << plugin->SetHost(&host);
            {
                const QCoreApplication core(argc, argv);
                g_withoutApplication << plugin->SetHost(&host) << plugin->ShowForWindow(nullptr, 0);
            }
            // A QML program's application shows no widgets either.
            const QGuiApplication gui(argc, argv);
            g_withoutApplication << plugin->SetHost(&host);
        }
        g_linesWithoutApplication = host.logLines;
    }
    QApplication application(argc, argv);
    TestShowCalls test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_showcalls.moc"
