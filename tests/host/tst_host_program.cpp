#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Runs the built host as an operator would, without a display.
class TestHostProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void screenshots();
    void refusesToStart_data();
    void refusesToStart();

private:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    static Run run(const QStringList& arguments);
};

TestHostProgram::Run TestHostProgram::run(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(HOST_EXECUTABLE), arguments);
    Run result;
    // A limit only so that a hanging host fails the test instead of the run.
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("the host did not finish: ");
    }
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err += QString::fromLocal8Bit(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    return result;
}

void TestHostProgram::screenshots()
{
    QTemporaryDir dir;
    const QString shots = dir.filePath(QStringLiteral("shots"));
    const Run result = run({QStringLiteral("--screenshot"), shots,
                            QStringLiteral("--device"), QStringLiteral(HOST_SAMPLE_DEVICE)});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QVERIFY2(result.out.contains(QStringLiteral("ShowForWindow returned true")), qPrintable(result.out));
    QVERIFY2(!result.err.contains(QStringLiteral("contract:")), qPrintable(result.err));

    for (const char* name : {"host-window.png", "ink-management.png"}) {
        const QString path = QDir(shots).filePath(QLatin1String(name));
        QVERIFY2(result.out.contains(path), qPrintable(result.out));
        const QImage image(path);
        QVERIFY2(!image.isNull(), name);
        QVERIFY(image.width() > 100 && image.height() > 100);
    }
    // The refill log is optional until the plug-in opens it; then it must be
    // there, and otherwise its absence must be said.
    const QString refillLog = QDir(shots).filePath(QStringLiteral("refill-log.png"));
    if (QFileInfo::exists(refillLog))
        QVERIFY(!QImage(refillLog).isNull());
    else
        QVERIFY2(result.err.contains(QStringLiteral("refill-log.png skipped")), qPrintable(result.err));
}

void TestHostProgram::refusesToStart_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    static QTemporaryDir dir;
    const QString badDevice = dir.filePath(QStringLiteral("bad.json"));
    QFile file(badDevice);
    if (!file.open(QIODevice::WriteOnly) || file.write(R"({"inks": [{"name": "Cyan", "amount": "full"}]})") < 0)
        qFatal("cannot write %s", qPrintable(badDevice));
    file.close();
    const QString missing = dir.filePath(QStringLiteral("missing"));

    QTest::newRow("bad device file") << QStringList{QStringLiteral("--device"), badDevice} << 3
                                     << badDevice + QStringLiteral(": inks[0].amount: expected a number, found a string");
    QTest::newRow("missing device file") << QStringList{QStringLiteral("--device"), missing} << 3
                                         << missing + QStringLiteral(": cannot read the file");
    QTest::newRow("missing plug-in") << QStringList{QStringLiteral("--plugin"), missing} << 5
                                     << missing + QStringLiteral(": no such plug-in library");
    QTest::newRow("library without the exports")
        << QStringList{QStringLiteral("--plugin"), QStringLiteral(LIBRARY_WITHOUT_EXPORTS)} << 5
        << QStringLiteral(LIBRARY_WITHOUT_EXPORTS) + QStringLiteral(": the library has no export \"NewInterface\"");
    QTest::newRow("unknown language") << QStringList{QStringLiteral("--language"), QStringLiteral("42")} << 4
                                      << QStringLiteral("--language 42: not a language of");
    QTest::newRow("stray argument") << QStringList{QStringLiteral("device.json")} << 2
                                    << QStringLiteral("unexpected argument device.json");
}

void TestHostProgram::refusesToStart()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    const Run result = run(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestHostProgram)
#include "tst_host_program.moc"
