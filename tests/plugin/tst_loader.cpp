// The hosts' loader helper, against stand-in libraries: what it says when a
// library cannot serve, and that the interface object it owns goes back
// exactly once, with the library following it out of the process.
#include "plugin/vqtintwellloader.h"

#include "common/recordinghost.h"

#include <QtTest>

#if defined(Q_OS_WIN)
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

namespace {

bool libraryIsMapped(const std::string& path)
{
#if defined(Q_OS_WIN)
    const QString native = QDir::toNativeSeparators(QString::fromStdString(path));
    return GetModuleHandleW(reinterpret_cast<const wchar_t*>(native.utf16())) != nullptr;
#else
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
#endif
}

const std::string StandIn = STANDIN_COMPLETE;
const QStringList Released{QStringLiteral("released")};

} // namespace

class TestLoader : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatCannotServe_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message"); // follows the path
        QTest::addColumn<bool>("reason");     // the platform's reason follows the message
        QTest::newRow("missing file")
            << QStringLiteral(STANDIN_COMPLETE ".missing") << ": cannot load the library: " << true;
        QTest::newRow("no exports")
            << QStringLiteral(STANDIN_NO_EXPORTS) << ": the library has no export \"NewInterface\" (" << true;
        QTest::newRow("no ReleaseInterface")
            << QStringLiteral(STANDIN_NEW_ONLY) << ": the library has no export \"ReleaseInterface\" (" << true;
        QTest::newRow("no object")
            << QStringLiteral(STANDIN_NULL_OBJECT) << ": NewInterface returned no object" << false;
        QTest::newRow("no path") << QString() << ": no library file given" << false;
    }

    void refusesWhatCannotServe()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        QFETCH(bool, reason);
        const std::string file = path.toStdString();
        VqTintwellLoader loader;
        QVERIFY(!loader.load(file));
        QCOMPARE(loader.get(), nullptr);
        QCOMPARE(loader.path(), file);
        const QString error = QString::fromStdString(loader.errorString());
        if (reason)
            QVERIFY2(error.startsWith(path + message) && error.size() > (path + message).size(), qPrintable(error));
        else
            QCOMPARE(error, path + message);
        // Nothing of a refused library stays in the process.
        QVERIFY(file.empty() || !libraryIsMapped(file));
    }

    // A loader releases its object exactly once: when it loads again (also
    // when that load fails), when another loader is moved over it, or when it
    // goes; moving it, even onto itself, hands the object on.
    void releasesItsObjectOnce()
    {
        RecordingHost first, second, third, fourth;
        {
            VqTintwellLoader a(StandIn);
            QVERIFY2(a.isLoaded(), a.errorString().c_str());
            QVERIFY(a->SetHost(&first));
            QVERIFY(a.load(StandIn));
            QVERIFY(a.errorString().empty());
            QCOMPARE(first.logLines, Released);
            QVERIFY(a->SetHost(&second));
            ITintwell* const object = a.get();
            VqTintwellLoader& alias = a;
            a = std::move(alias);
            QCOMPARE(a.get(), object);
            VqTintwellLoader b(std::move(a));
            QCOMPARE(a.get(), nullptr);
            VqTintwellLoader c(StandIn);
            QVERIFY(c->SetHost(&third));
            c = std::move(b);
            QCOMPARE(third.logLines, Released);
            QCOMPARE(c.get(), object);
            QCOMPARE(c.path(), StandIn);
            a.reset();
            b.reset();
            VqTintwellLoader d(StandIn);
            QVERIFY(d->SetHost(&fourth));
            QVERIFY(!d.load(STANDIN_NEW_ONLY));
            QCOMPARE(fourth.logLines, Released);
            QVERIFY(second.logLines.isEmpty());
            QVERIFY(libraryIsMapped(StandIn));
        }
        for (const RecordingHost* host : {&first, &second, &third, &fourth})
            QCOMPARE(host->logLines, Released);
        QVERIFY(!libraryIsMapped(StandIn));
        QVERIFY(!libraryIsMapped(STANDIN_NEW_ONLY));
    }
};

QTEST_MAIN(TestLoader)
#include "tst_loader.moc"
