#include "devicemodel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

class TestDeviceFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shippedSample();
    void badFile_data();
    void badFile();
    void unreadableFile();
    void nameInLocalCodePage_data();
    void nameInLocalCodePage();
    void builtInSample();

private:
    QString write(const QByteArray& content);

    QTemporaryDir m_dir;
    QTextCodec* m_localeCodec = nullptr;
};

void TestDeviceFile::init()
{
    m_localeCodec = QTextCodec::codecForLocale();
}

void TestDeviceFile::cleanup()
{
    QTextCodec::setCodecForLocale(m_localeCodec);
}

QString TestDeviceFile::write(const QByteArray& content)
{
    const QString path = m_dir.filePath(QStringLiteral("device.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestDeviceFile::shippedSample()
{
    QString error;
    const std::optional<DeviceModel> model =
        DeviceModel::fromJsonFile(QStringLiteral(HOST_SAMPLE_DEVICE), &error);
    QVERIFY2(model, qPrintable(error));
    QVERIFY(model->limited);
    QVERIFY(!model->failInkList);
    QVERIFY(!model->failRefillLog);
    QCOMPARE(model->inks.size(), 6);
    QCOMPARE(model->inks.at(0).name, QStringLiteral("Cyan"));
    QCOMPARE(model->inks.at(0).amount, 742.5);
    QCOMPARE(model->refillLog.size(), 8);
    QCOMPARE(model->refillLog.at(0).time, QDateTime(QDate(2025, 1, 14), QTime(9, 12, 40)));
    QCOMPARE(model->refillLog.at(0).ink, QStringLiteral("Black"));
    QCOMPARE(model->refillLog.at(0).amount, 1000.0);
}

void TestDeviceFile::badFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");

    // A valid refill with some fields replaced.
    const auto withRefill = [](const QJsonObject& changes) {
        QJsonObject entry{{QStringLiteral("year"), 2025}, {QStringLiteral("month"), 1},
                          {QStringLiteral("day"), 2},     {QStringLiteral("hour"), 3},
                          {QStringLiteral("minute"), 4},  {QStringLiteral("second"), 5},
                          {QStringLiteral("ink"), QStringLiteral("Cyan")},
                          {QStringLiteral("amount"), 500}};
        for (auto it = changes.begin(); it != changes.end(); ++it)
            entry.insert(it.key(), it.value());
        const QJsonObject device{{QStringLiteral("inks"), QJsonArray()},
                                 {QStringLiteral("refillLog"), QJsonArray{entry}}};
        return QJsonDocument(device).toJson();
    };

    QTest::newRow("empty file") << QByteArray() << "invalid JSON at offset 0";
    QTest::newRow("broken JSON, line and column")
        << QByteArray("{\n  \"inks\": [\n    {\"name\": \"Cyan\" \"amount\": 1}\n  ]\n}")
        << "invalid JSON at offset 35 (line 3, column 22)";
    QTest::newRow("top level not an object") << QByteArray("[]") << "the top level is an array";
    QTest::newRow("no inks") << QByteArray("{}") << "missing key \"inks\"";
    QTest::newRow("misspelt key") << QByteArray(R"({"inks": [], "limted": true})")
                                  << "unknown key \"limted\"";
    QTest::newRow("limited not a boolean") << QByteArray(R"({"inks": [], "limited": "yes"})")
                                           << "limited: expected a boolean, found a string";
    QTest::newRow("inks not an array") << QByteArray(R"({"inks": {}})")
                                       << "inks: expected an array, found an object";
    QTest::newRow("ink not an object") << QByteArray(R"({"inks": [{"name": "C", "amount": 1}, 3]})")
                                       << "inks[1]: expected an object, found a number";
    QTest::newRow("ink name a number") << QByteArray(R"({"inks": [{"name": 5, "amount": 1}]})")
                                       << "inks[0].name: expected a string, found a number";
    QTest::newRow("ink amount missing") << QByteArray(R"({"inks": [{"name": "Cyan"}]})")
                                        << "inks[0]: missing key \"amount\"";
    QTest::newRow("negative amount") << QByteArray(R"({"inks": [{"name": "Cyan", "amount": -5}]})")
                                     << "inks[0].amount: -5 is out of range";
    QTest::newRow("ink name too long")
        << QByteArray(R"({"inks": [{"name": ")" + QByteArray(128, 'x') + R"(", "amount": 1}]})")
        << "inks[0].name: \"" + QString(128, QLatin1Char('x')) + "\" takes 128 bytes";
    QTest::newRow("refill log not an array") << QByteArray(R"({"inks": [], "refillLog": 1})")
                                             << "refillLog: expected an array, found a number";
    QTest::newRow("month 13") << withRefill({{QStringLiteral("month"), 13}}) << "refillLog[0].month: 13 is out of range 1..12";
    QTest::newRow("30 February") << withRefill({{QStringLiteral("month"), 2}, {QStringLiteral("day"), 30}})
                                 << "refillLog[0].day: 30 is out of range 1..28";
    QTest::newRow("hour 24") << withRefill({{QStringLiteral("hour"), 24}}) << "refillLog[0].hour: 24 is out of range 0..23";
    QTest::newRow("second 60") << withRefill({{QStringLiteral("second"), 60}}) << "refillLog[0].second: 60 is out of range 0..59";
    QTest::newRow("fractional minute") << withRefill({{QStringLiteral("minute"), 1.5}})
                                       << "refillLog[0].minute: 1.5 is not a whole number";
    QTest::newRow("year as text") << withRefill({{QStringLiteral("year"), QStringLiteral("2025")}})
                                  << "refillLog[0].year: expected a number, found a string";
    QTest::newRow("refill ink too long") << withRefill({{QStringLiteral("ink"), QString(200, QLatin1Char('y'))}})
                                         << "refillLog[0].ink: \"" + QString(200, QLatin1Char('y')) + "\" takes 200 bytes";
    QTest::newRow("refill unknown key")
        << QByteArray(R"({"inks": [], "refillLog": [{"when": 1}]})") << "refillLog[0]: unknown key \"when\"";
    QTest::newRow("fail not an object") << QByteArray(R"({"inks": [], "fail": true})")
                                        << "fail: expected an object, found a boolean";
    QTest::newRow("fail switch not a boolean") << QByteArray(R"({"inks": [], "fail": {"inkList": 1}})")
                                               << "fail.inkList: expected a boolean, found a number";
    QTest::newRow("unknown fail switch") << QByteArray(R"({"inks": [], "fail": {"isInkLimited": true}})")
                                         << "fail: unknown key \"isInkLimited\"";
}

void TestDeviceFile::badFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    const QString path = write(content);
    QString error;
    QVERIFY(!DeviceModel::fromJsonFile(path, &error));
    QVERIFY2(error.startsWith(path + QStringLiteral(": ")), qPrintable(error));
    QVERIFY2(error.contains(problem), qPrintable(error));
}

void TestDeviceFile::unreadableFile()
{
    const QString path = m_dir.filePath(QStringLiteral("missing.json"));
    QString error;
    QVERIFY(!DeviceModel::fromJsonFile(path, &error));
    QVERIFY2(error.startsWith(path + QStringLiteral(": cannot read the file: ")), qPrintable(error));
}

void TestDeviceFile::nameInLocalCodePage_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem"); // empty when the name is accepted

    const QString cyan = QStringLiteral("青色");
    QTest::newRow("ASCII, 127 bytes") << QByteArray("UTF-8") << QString(127, QLatin1Char('c')) << QString();
    QTest::newRow("ASCII, 128 bytes") << QByteArray("UTF-8") << QString(128, QLatin1Char('c'))
                                      << "takes 128 bytes in the local code page, at most 127 fit";
    // Sixty Chinese characters are 120 bytes in GB2312 but 180 in UTF-8:
    // the limit counts bytes of the local code page, not characters.
    QTest::newRow("GB2312, 120 bytes") << QByteArray("GB2312") << cyan.repeated(30) << QString();
    QTest::newRow("UTF-8, 180 bytes") << QByteArray("UTF-8") << cyan.repeated(30) << "takes 180 bytes";
    QTest::newRow("Latin-1 lacks Chinese") << QByteArray("ISO-8859-1") << cyan
                                           << "cannot be written in the local code page";
    QTest::newRow("Latin-1 has umlauts") << QByteArray("ISO-8859-1") << QStringLiteral("Weiß") << QString();
}

void TestDeviceFile::nameInLocalCodePage()
{
    QFETCH(QByteArray, codec);
    QFETCH(QString, name);
    QFETCH(QString, problem);
    QTextCodec* local = QTextCodec::codecForName(codec);
    if (!local)
        QSKIP("this Qt lacks the codec");
    QTextCodec::setCodecForLocale(local);

    // The file itself is always UTF-8, whatever the local code page.
    const QString path = write(QByteArray(R"({"inks": [{"name": ")") + name.toUtf8() + R"(", "amount": 1}]})");
    QString error;
    const std::optional<DeviceModel> model = DeviceModel::fromJsonFile(path, &error);
    if (problem.isEmpty()) {
        QVERIFY2(model, qPrintable(error));
        QCOMPARE(model->inks.at(0).name, name);
    } else {
        QVERIFY(!model);
        QVERIFY2(error.startsWith(path + QStringLiteral(": inks[0].name: ")), qPrintable(error));
        QVERIFY2(error.contains(problem), qPrintable(error));
    }
}

void TestDeviceFile::builtInSample()
{
    const QDateTime now(QDate(2025, 3, 1), QTime(12, 0));
    const DeviceModel model = DeviceModel::sample(now);

    QVERIFY(model.limited);
    QVERIFY(!model.failInkList);
    QVERIFY(!model.failRefillLog);
    QCOMPARE(model.inks.size(), 8);
    QSet<QString> names;
    for (const DeviceModel::Ink& ink : model.inks) {
        QVERIFY(!ink.name.isEmpty());
        QVERIFY(ink.amount > 0.0);
        names.insert(ink.name);
    }
    QCOMPARE(names.size(), model.inks.size());

    QVERIFY(model.refillLog.size() >= 24 && model.refillLog.size() <= 60);
    QSet<QDateTime> times;
    for (const DeviceModel::Refill& refill : model.refillLog) {
        QVERIFY2(refill.time < now && refill.time > now.addYears(-1),
                 qPrintable(refill.time.toString(Qt::ISODate)));
        QVERIFY2(names.contains(refill.ink), qPrintable(refill.ink));
        QVERIFY(refill.amount > 0.0);
        times.insert(refill.time);
    }
    // Distinct times, so the plug-in's newest-first order is unambiguous.
    QCOMPARE(times.size(), model.refillLog.size());
}

QTEST_GUILESS_MAIN(TestDeviceFile)
#include "tst_host_devicefile.moc"
