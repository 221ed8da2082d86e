#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Runs the built host as an operator would, without a display.
class TestHostProgram : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1; // also when the host crashed or hung
        QString out;
        QString err;
    };

    static Run run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(HOST_EXECUTABLE), arguments);
        // A limit only so that a hanging host fails the test instead of the run.
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
        }
        Run result;
        if (process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode();
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

private Q_SLOTS:
    void screenshots()
    {
        QTemporaryDir dir;
        const QDir shots(dir.filePath(QStringLiteral("shots")));
        const Run result = run({"--screenshot", shots.path(), "--device", HOST_SAMPLE_DEVICE});
        QVERIFY2(result.exitCode == 0 && !result.err.contains("contract:"), qPrintable(result.err));
        QVERIFY2(result.out.contains("ShowForWindow returned true"), qPrintable(result.out));
        for (const char* name : {"host-window.png", "ink-management.png"}) {
            const QString path = shots.filePath(QLatin1String(name));
            const QImage image(path);
            QVERIFY2(result.out.contains(path) && image.width() > 100 && image.height() > 100, name);
        }
        // The refill log is optional until the plug-in opens it; then it must
        // be there, and otherwise its absence must be said.
        const QString refillLog = shots.filePath(QStringLiteral("refill-log.png"));
        QVERIFY2(QFileInfo::exists(refillLog) ? !QImage(refillLog).isNull()
                                              : result.err.contains("refill-log.png skipped"),
                 qPrintable(result.err));
    }

    void refusesToStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");

        static QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("missing"));
        const QString noExports = QStringLiteral(LIBRARY_WITHOUT_EXPORTS);
        // The device file reader's own message, naming the file, reaches the operator.
        QTest::newRow("missing device file") << QStringList{"--device", missing} << 3
                                             << missing + ": cannot read the file: ";
        QTest::newRow("missing plug-in") << QStringList{"--plugin", missing} << 5
                                         << missing + ": no such plug-in library";
        QTest::newRow("library without the exports") << QStringList{"--plugin", noExports} << 5
                                                     << noExports + ": the library has no export \"NewInterface\"";
        QTest::newRow("unknown language") << QStringList{"--language", "42"} << 4
                                          << QStringLiteral("--language 42: not a language of");
        QTest::newRow("stray argument") << QStringList{"device.json"} << 2
                                        << QStringLiteral("unexpected argument device.json");
    }

    void refusesToStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
    }
};

QTEST_GUILESS_MAIN(TestHostProgram)
#include "tst_host_program.moc"
