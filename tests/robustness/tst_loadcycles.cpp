// The library loaded and unloaded over and over in one host process, and a
// host that ends without unloading it.
#include "common/dialogdriver.h"
#include "common/recordinghost.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QtTest>

#include <dlfcn.h>

namespace {

const QString StyleSheet = QStringLiteral(":/Tintwell/res/qss/style.qss");

bool libraryIsMapped()
{
    void* handle = dlopen(VQ_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

int openFileDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size();
}

} // namespace

class TestLoadCycles : public QObject
{
    Q_OBJECT

private slots:
    // Load, NewInterface, SetHost, open and close the window, ReleaseInterface,
    // unload: each time the library really leaves, taking its resources along.
    void cycles()
    {
        const int cycles = qEnvironmentVariableIsSet("VQ_LOAD_CYCLES")
            ? qEnvironmentVariableIntValue("VQ_LOAD_CYCLES") : 1000;
        RecordingHost host;
        host.inkList.records = {RecordingHost::ink("Cyan", 250), RecordingHost::ink("Black", 12.5)};
        QWidget parent;
        int fdsAfterFirst = 0;
        for (int cycle = 0; cycle < cycles; ++cycle) {
            QLibrary library(QStringLiteral(VQ_PLUGIN_PATH));
            QVERIFY2(library.load(), qPrintable(library.errorString()));
            QVERIFY(QFile::exists(StyleSheet));
            auto newInterface = reinterpret_cast<VqNewInterfaceFn>(library.resolve("NewInterface"));
            auto releaseInterface = reinterpret_cast<VqReleaseInterfaceFn>(library.resolve("ReleaseInterface"));
            QVERIFY(newInterface && releaseInterface);

            ITintwell* object = newInterface();
            QVERIFY(object->SetHost(&host));
            bool timedOut = false;
            DialogDriver::whenShown(QStringLiteral("InkManagement"),
                                    [](QWidget* dialog) { DialogDriver::click(dialog, "pushButton_close"); },
                                    &timedOut);
            const bool closed = object->ShowForWidget(&parent, 0);
            releaseInterface(object);
            QVERIFY(!timedOut && closed);
            // Deferred deletions of the window's objects must run while their code is still there.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

            QVERIFY(library.unload());
            QVERIFY2(!libraryIsMapped(), qPrintable(QStringLiteral("cycle %1").arg(cycle)));
            QVERIFY(!QFile::exists(StyleSheet));
            if (cycle == 0)
                fdsAfterFirst = openFileDescriptors();
        }
        QCOMPARE(host.inkListCalls, cycles);
        QCOMPARE(host.freeCalls, cycles);
        QCOMPARE(host.outstanding(), 0);
        QCOMPARE(host.unknownFrees, 0);
        QVERIFY(host.logLines.isEmpty());
        // The activity log of an unloaded library does not stay open.
        QCOMPARE(openFileDescriptors(), fdsAfterFirst);
    }

    // The host destroys its application object and leaves main without
    // unloading: the library's static destruction must not need Qt's application.
    void exitWithoutUnloading()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/exitwithoutunload"),
                    {QStringLiteral(VQ_PLUGIN_PATH)});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        QVERIFY2(!output.contains("Sanitizer") && !output.contains("runtime error"), output.constData());
    }
};

QTEST_MAIN(TestLoadCycles)
#include "tst_loadcycles.moc"
