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

// What a host hears that calls before it has its QApplication, and then with
// a QCoreApplication only: main asks before it makes the test's application.
QList<bool> g_withoutApplication;
QStringList g_linesWithoutApplication;

const auto handleOf = [](QWidget& window) { return reinterpret_cast<HWND>(window.winId()); };

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

const auto meet = [](const QPoint& a, const QPoint& b) { return qAbs(a.x() - b.x()) <= 2 && qAbs(a.y() - b.y()) <= 2; };

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
    void placement()
    {
        const QRect outer(QPoint(100, 100), QPoint(1099, 899));
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
            QCOMPARE(geometry, QRect(162, 218, 875, 563));
            QCOMPARE(refillLog, QRect(249, 280, 700, 439));
        } else {
            QVERIFY(meet(geometry.center(), outer.center()));
            QVERIFY(meet(refillLog.center(), geometry.center()));
        }
        QCOMPARE(refillLogResult, int(QDialog::Accepted));
        QVERIFY(inkStaysOpen);
        QVERIFY(!enabledMeanwhile);
        QVERIFY(takesInput(window));
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
        // Over a handle that names no window: where Qt puts a dialog of its
        // own, not centred over nothing at the screen's corner.
        DialogDriver::whenShown(Ink, "pushButton_close", [&](QWidget* dialog) { geometry = outerRect(*dialog); });
        QVERIFY(m_plugin->ShowForWindow(reinterpret_cast<HWND>(quintptr(0x7ffffff0)), 0));
        QVERIFY(geometry.left() >= 0 && geometry.top() >= 0);
    }

    // A request through the object whose window is open brings that window
    // forward, unless a host was handed over since, and the window stays.
    // (Only offscreen puts the open window behind another: a window system
    // keeps the focus on a modal window. What each show answers, the lines of
    // refused requests and hosts handed over meanwhile are the host fuzzer's.)
    void requestsWhileOpen()
    {
        QWidget window;
        window.show();
        QList<bool> results;
        const bool offscreen = QGuiApplication::platformName() == "offscreen";
        const auto comesForward = [&](QWidget* dialog) {
            window.activateWindow();
            QVERIFY(!offscreen || QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
            results << m_plugin->ShowForWindow(nullptr, 0);
            results << (offscreen && QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }, 500));
        };
        DialogDriver::whenShown(Ink, "pushButton_close", [&](QWidget* dialog) {
            comesForward(dialog);
            results << m_plugin->SetHost(m_host.get());
            comesForward(dialog);
            results << dialog->isVisible();
        });
        QVERIFY(m_plugin->ShowForWindow(handleOf(window), 0));
        QCOMPARE(results, (QList<bool>{false, offscreen, true, false, false, true}));
        QCOMPARE(m_host->logLines, (QStringList{AlreadyShown, AlreadyShown}));
    }

    // The host may close its window while ours is open over it, from its own
    // timers and signals. A widget it gave as parent takes the window with it,
    // an open refill log closing first: the show answers false, and the next
    // one goes ahead. (The widget alone, and a native window, which leaves
    // the window open: the host fuzzer's.)
    void parentGoes()
    {
        m_host->refillLog.records = {inkRecord("Cyan", 12.5, {2025, 1, 1})};
        auto parent = std::make_unique<QWidget>();
        parent->show();
        QPointer<QWidget> inkWindow;
        bool refillLogStayed = true;
        DialogDriver::whenShown(Ink, nullptr, [&](QWidget* dialog) {
            inkWindow = dialog;
            DialogDriver::whenShown("InkRefillLog", "pushButton_close", [&](QWidget* refills) {
                parent.reset();
                refillLogStayed = refills->isVisible();
            });
            DialogDriver::click(dialog, "pushButton_inkRefillLog");
            if (inkWindow)
                DialogDriver::click(inkWindow, "pushButton_close");
        });
        QVERIFY(!m_plugin->ShowForWidget(parent.get(), 0));
        QVERIFY(!refillLogStayed && !inkWindow);
        QCOMPARE(m_host->fillCalls, 2);
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

    // Every failure to load names the file and what is wrong with it, until
    // a load succeeds.
    void loaderErrors()
    {
        VqTintwellLoader loader;
        const std::pair<QString, QString> failures[] = {
            {"", "No library file given to load the VqTintwell plug-in from"},
            {"/nonexistent/VqTintwell",
             "Cannot load library " + QDir::toNativeSeparators("/nonexistent/VqTintwell") + ": "},
            {VQ_NOT_A_PLUGIN, VQ_NOT_A_PLUGIN " is not the VqTintwell plug-in: it does not export NewInterface"},
            {VQ_HALF_PLUGIN, VQ_HALF_PLUGIN " is not the VqTintwell plug-in: it does not export ReleaseInterface"}};
        for (const auto& [path, error] : failures) {
            QVERIFY(!loader.load(path) && !loader.object());
            QVERIFY2(loader.errorString().startsWith(error), qPrintable(loader.errorString()));
        }
        // A file that failed is not kept loaded.
        QVERIFY(!QLibrary(VQ_HALF_PLUGIN).isLoaded());
        QVERIFY(loader.load(QStringLiteral(VQ_PLUGIN_PATH)) && loader.errorString().isEmpty());
    }

    // The host unloads the library while the ink window is open (a plug-in
    // manager shutting down): through the loader, which releases the object
    // alone, once, or with the object kept. The show returns to the host, a
    // new load shows the window again, and once that is released and
    // unloaded the library is gone from the process, and its log file too.
    void unloading_data()
    {
        QTest::addColumn<bool>("released");
        QTest::newRow("released, then unloaded") << true;
        QTest::newRow("unloaded, object kept") << false;
    }

    void unloading()
    {
        QFETCH(bool, released);
        // Qt 6.4 unloads at the first unload of any QLibrary of the file.
        m_plugin.unload();
        m_library.unload();
#ifndef Q_OS_WIN
        const int openFiles = QDir(QStringLiteral("/proc/self/fd")).count();
#endif
        VqTintwellLoader loader;
        QLibrary library(QStringLiteral(VQ_PLUGIN_PATH));
        ITintwell* object = nullptr;
        VqReleaseInterfaceFn release = nullptr;
        if (released) {
            // A load over a loaded one releases the object it had.
            QVERIFY(loader.load(QStringLiteral(VQ_PLUGIN_PATH)));
            const QPointer<QObject> first(dynamic_cast<QObject*>(loader.object()));
            QVERIFY(first && loader.load(QStringLiteral(VQ_PLUGIN_PATH)) && !first);
            object = loader.object();
        } else {
            QVERIFY(library.load());
            object = reinterpret_cast<VqNewInterfaceFn>(library.resolve("NewInterface"))();
            release = reinterpret_cast<VqReleaseInterfaceFn>(library.resolve("ReleaseInterface"));
        }
        QVERIFY(object->SetHost(m_host.get()));
        DialogDriver::whenShown(Ink, "pushButton_close", [&](QWidget*) {
            loader.release();
            loader.unload();
            library.unload();
        });
        QVERIFY(object->ShowForWindow(nullptr, 0));
        QVERIFY(m_plugin.load(QStringLiteral(VQ_PLUGIN_PATH)) && m_plugin->SetHost(m_host.get()));
        // A kept object belongs to the library, which is still loaded.
        if (release)
            release(object);
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
        QVERIFY(m_plugin.load(QStringLiteral(VQ_PLUGIN_PATH)));
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
