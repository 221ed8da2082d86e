// SPDX-License-Identifier: MIT
// The reference host as an operator runs it, headless: from a directory of
// its own holding the host, the library and the Lang folder.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        const QDir bin(QStringLiteral(HOST_BIN_DIR));
        const QStringList files{QStringLiteral("tintwell-host"), QStringLiteral(PLUGIN_FILE_NAME),
                                QStringLiteral("Lang/chs/VqTintwell.qm"),
                                QStringLiteral("Lang/en/VqTintwell.qm")};
        for (const QString& file : files) {
            QVERIFY(QDir(m_dir->path()).mkpath(QFileInfo(file).path()));
            QVERIFY(QFile::copy(bin.filePath(file), m_dir->filePath(file)));
        }
        QVERIFY(QFile::copy(QStringLiteral(HOST_CATALOGUE),
                            m_dir->filePath(QStringLiteral("Lang/Lang.ini"))));
    }

    // What a run prints and its exit status. %DIR% stands for the host's
    // directory; device files are written there first.
    void run_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // a line of standard output, or of standard error
        QTest::addColumn<QString>("errors"); // all of standard error
        const auto row = [](const char* name, const char* arguments, const char* device, int status,
                            const char* output, const char* errors = "") {
            QTest::newRow(name) << QString::fromUtf8(arguments) << QByteArray(device) << status
                                << QString::fromUtf8(output) << QString::fromUtf8(errors);
        };
        row("sample device", "--screenshot %DIR%/shots", "", 0, "ShowForWindow returned true");
        row("device file", "--screenshot %DIR%/shots --device %DIR%/device.json",
            R"({"inks": [{"name": "Cyan", "amount": 1}], "fail": {"inkList": true}})", 0,
            "ShowForWindow returned true",
            "tintwell-host: plug-in log: 墨水加密：获取墨水信息列表失败\n"
            "tintwell-host: plug-in log: 墨水加密：没有需要显示的加墨记录\n");
        row("language", "--screenshot %DIR%/shots --language 1", "", 0,
            "Language English; SetHost returned true");
        row("no display", "", "", 2,
            "tintwell-host: no display; --screenshot DIR saves pictures instead");
        row("unknown language", "--screenshot %DIR%/shots --language 7", "", 2,
            "%DIR%/Lang/Lang.ini offers no language 7");
        row("no library", "--screenshot %DIR%/shots --library %DIR%/none", "", 3,
            "tintwell-host: Cannot load library %DIR%/none");
        row("not JSON", "--screenshot %DIR%/shots --device %DIR%/device.json", "{", 2,
            "tintwell-host: device.json: unterminated object at byte 1");
        row("negative amount", "--screenshot %DIR%/shots --device %DIR%/device.json",
            R"({"inks": [{"name": "Cyan", "amount": -1}]})", 2,
            "tintwell-host: device.json: inks[0]: \"amount\" must be a number of millilitres, 0 or "
            "more");
        row("no real time", "--screenshot %DIR%/shots --device %DIR%/device.json",
            R"({"inks": [], "refillLog": [{"ink": "Cyan", "amount": 5, "year": 2025, "month": 2, "day": 30}]})",
            2,
            "tintwell-host: device.json: refillLog[0]: year, month, day, hour, minute and second "
            "must make a real "
            "time");
    }

    void run()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, device);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, errors);
        QFile file(m_dir->filePath(QStringLiteral("device.json")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(device) == device.size());
        file.close();
        QProcess host;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        host.setProcessEnvironment(environment);
        host.setProgram(m_dir->filePath(QStringLiteral("tintwell-host")));
        host.setArguments(arguments.replace(QStringLiteral("%DIR%"), m_dir->path())
                              .split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QVERIFY(host.open());
        QVERIFY(host.waitForFinished(60000));
        const QString out = QString::fromUtf8(host.readAllStandardOutput());
        const QString err = QString::fromUtf8(host.readAllStandardError());
        QCOMPARE(host.exitCode(), status);
        QVERIFY2((out + err).contains(output.replace(QStringLiteral("%DIR%"), m_dir->path())),
                 qPrintable(out + err));
        if (status != 0)
            return;
        QCOMPARE(err, errors);
        for (const char* picture : {"host-window.png", "ink-management.png", "refill-log.png"})
            QVERIFY(!QImage(m_dir->filePath(QStringLiteral("shots/")) + QLatin1String(picture))
                         .isNull());
        // The language switch rewrites DEFAULT alone and keeps the mark,
        // without which the plug-in would read the catalogue as GB2312.
        QFile catalogue(m_dir->filePath(QStringLiteral("Lang/Lang.ini")));
        QVERIFY(catalogue.open(QIODevice::ReadOnly));
        const QByteArray text = catalogue.readAll();
        QVERIFY(text.startsWith("\xEF\xBB\xBF[LANG_MGR]\r\n"));
        QCOMPARE(text.contains("\nDEFAULT=1\r\n"),
                 arguments.contains(QStringLiteral("--language 1")));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestHost)
#include "tst_host.moc"
