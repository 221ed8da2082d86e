// The hosts' loader helper: what it says when a library cannot serve, and
// that the interface object it owns goes back exactly once, with the library
// following it out of the process.
#include "plugin/vqtintwellloader.h"

#include "common/dialogdriver.h"
#include "common/recordinghost.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#if defined(Q_OS_WIN)
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

namespace {

bool libraryIsMapped(const QString& path)
{
#if defined(Q_OS_WIN)
    return GetModuleHandleW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16())) != nullptr;
#else
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
#endif
}

std::string local(const QString& path)
{
#if defined(Q_OS_WIN)
    return path.toStdString(); // the loader takes UTF-8 on Windows
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString errorOf(const VqTintwellLoader& loader)
{
    return QString::fromStdString(loader.errorString());
}

const QString StandIn = QStringLiteral(STANDIN_COMPLETE);

} // namespace

class TestLoader : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatCannotServe_data();
    void refusesWhatCannotServe();
    void releasesOnScopeExit();
    void moves_data();
    void moves();
    void reloadReleasesTheFirstObject();
    void drivesTheRealLibrary();
};

void TestLoader::refusesWhatCannotServe_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("fragments");

    static QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("libMissing.so"));
    const QString text = dir.filePath(QStringLiteral("notalibrary.so"));
    QFile file(text);
    if (!file.open(QIODevice::WriteOnly) || file.write("not a library\n") < 0)
        qFatal("cannot write %s", qPrintable(text));
    file.close();

#if defined(Q_OS_WIN)
    const QString noSuchFile = QStringLiteral("(error 126)");
    const QString noSuchSymbol = QStringLiteral("(error 127)");
#else
    const QString noSuchFile = QStringLiteral("No such file");
    const QString noSuchSymbol = QStringLiteral("undefined symbol");
#endif

    QTest::newRow("missing file")
        << missing << QStringList{missing + QStringLiteral(": cannot load the library: "), noSuchFile};
    QTest::newRow("not a library")
        << text << QStringList{text + QStringLiteral(": cannot load the library: ")};
    QTest::newRow("no exports")
        << QStringLiteral(STANDIN_NO_EXPORTS)
        << QStringList{QStringLiteral(STANDIN_NO_EXPORTS ": the library has no export \"NewInterface\""),
                       noSuchSymbol};
    QTest::newRow("no ReleaseInterface")
        << QStringLiteral(STANDIN_NEW_ONLY)
        << QStringList{QStringLiteral(STANDIN_NEW_ONLY ": the library has no export \"ReleaseInterface\""),
                       noSuchSymbol};
    QTest::newRow("no object")
        << QStringLiteral(STANDIN_NULL_OBJECT)
        << QStringList{QStringLiteral(STANDIN_NULL_OBJECT ": NewInterface returned no object")};
    QTest::newRow("no path") << QString() << QStringList{QStringLiteral(": no library file given")};
}

void TestLoader::refusesWhatCannotServe()
{
    QFETCH(QString, path);
    QFETCH(QStringList, fragments);

    VqTintwellLoader loader;
    QVERIFY(!loader.load(local(path)));
    QVERIFY(!loader.isLoaded());
    QVERIFY(!loader);
    QCOMPARE(loader.get(), nullptr);
    QCOMPARE(QString::fromStdString(loader.path()), path);
    const QString error = errorOf(loader);
    QVERIFY2(error.startsWith(path), qPrintable(error));
    for (const QString& fragment : fragments)
        QVERIFY2(error.contains(fragment), qPrintable(error));
    // Nothing of a refused library stays in the process.
    if (!path.isEmpty())
        QVERIFY(!libraryIsMapped(path));
}

void TestLoader::releasesOnScopeExit()
{
    RecordingHost host;
    {
        VqTintwellLoader loader(local(StandIn));
        QVERIFY2(loader.isLoaded(), qPrintable(errorOf(loader)));
        QVERIFY(loader.errorString().empty());
        QVERIFY(loader->SetHost(&host));
        QVERIFY(libraryIsMapped(StandIn));
        QVERIFY(host.logLines.isEmpty());
    }
    QCOMPARE(host.logLines, QStringList{QStringLiteral("released")});
    QVERIFY(!libraryIsMapped(StandIn));
}

void TestLoader::moves_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("construction") << QStringLiteral("construct");
    QTest::newRow("assignment to an empty loader") << QStringLiteral("assign-empty");
    QTest::newRow("assignment to a loaded one") << QStringLiteral("assign-loaded");
    QTest::newRow("assignment to itself") << QStringLiteral("self");
}

void TestLoader::moves()
{
    QFETCH(QString, kind);

    RecordingHost moved;
    RecordingHost overwritten;
    {
        VqTintwellLoader source(local(StandIn));
        QVERIFY(source->SetHost(&moved));
        ITintwell* const object = source.get();

        if (kind == QLatin1String("self")) {
            VqTintwellLoader& alias = source;
            source = std::move(alias);
            QCOMPARE(source.get(), object);
            QVERIFY(moved.logLines.isEmpty());
        } else {
            std::unique_ptr<VqTintwellLoader> target;
            if (kind == QLatin1String("construct")) {
                target = std::make_unique<VqTintwellLoader>(std::move(source));
            } else if (kind == QLatin1String("assign-empty")) {
                target = std::make_unique<VqTintwellLoader>();
                *target = std::move(source);
            } else {
                target = std::make_unique<VqTintwellLoader>(local(StandIn));
                QVERIFY((*target)->SetHost(&overwritten));
                *target = std::move(source);
                // The object the target held goes back at once.
                QCOMPARE(overwritten.logLines, QStringList{QStringLiteral("released")});
            }
            QCOMPARE(target->get(), object);
            QCOMPARE(QString::fromStdString(target->path()), StandIn);
            QVERIFY(!source.isLoaded());
            QCOMPARE(source.get(), nullptr);
            // An emptied loader releases nothing.
            source.reset();
            QVERIFY(moved.logLines.isEmpty());
            QVERIFY(libraryIsMapped(StandIn));
        }
    }
    QCOMPARE(moved.logLines, QStringList{QStringLiteral("released")});
    QCOMPARE(overwritten.logLines.size(), kind == QLatin1String("assign-loaded") ? 1 : 0);
    QVERIFY(!libraryIsMapped(StandIn));
}

void TestLoader::reloadReleasesTheFirstObject()
{
    RecordingHost first;
    RecordingHost second;
    VqTintwellLoader loader(local(StandIn));
    QVERIFY(loader->SetHost(&first));
    QVERIFY(loader.load(local(StandIn)));
    QCOMPARE(first.logLines, QStringList{QStringLiteral("released")});
    QVERIFY(loader->SetHost(&second));

    // A failed load leaves nothing loaded either.
    QVERIFY(!loader.load(local(QStringLiteral(STANDIN_NEW_ONLY))));
    QCOMPARE(second.logLines, QStringList{QStringLiteral("released")});
    QVERIFY(!libraryIsMapped(StandIn));
    QVERIFY(!libraryIsMapped(QStringLiteral(STANDIN_NEW_ONLY)));
}

// The built library through the loader, twice over, as a host that unloads
// and loads it again meets it.
void TestLoader::drivesTheRealLibrary()
{
    const QString plugin = QStringLiteral(VQ_PLUGIN_PATH);
    QVERIFY(!libraryIsMapped(plugin));
    RecordingHost host;
    host.inkList.records = {RecordingHost::ink("Cyan", 250), RecordingHost::ink("Black", 12.5)};
    QWidget parent;
    for (int round = 0; round < 2; ++round) {
        VqTintwellLoader loader(local(plugin));
        QVERIFY2(loader.isLoaded(), qPrintable(errorOf(loader)));
        QVERIFY(loader->SetHost(&host));
        bool timedOut = false;
        DialogDriver::whenShown(QStringLiteral("InkManagement"),
                                [](QWidget* dialog) { DialogDriver::click(dialog, "pushButton_close"); },
                                &timedOut);
        QVERIFY(loader->ShowForWidget(&parent, 0));
        QVERIFY(!timedOut);
        QVERIFY(libraryIsMapped(plugin));
        loader.reset();
        QVERIFY(!loader.isLoaded());
        QVERIFY(!libraryIsMapped(plugin));
    }
    QCOMPARE(host.inkListCalls, 2);
    QCOMPARE(host.outstanding(), 0);
    QVERIFY(host.logLines.isEmpty());
}

QTEST_MAIN(TestLoader)
#include "tst_loader.moc"
