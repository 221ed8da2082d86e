#include "devicemodel.h"
#include "inkhost.h"
#include "languagecatalogue.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <cstring>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// False when this Qt lacks the codec, which then stays as it was.
bool useLocalCodePage(const QByteArray& name)
{
    QTextCodec* codec = QTextCodec::codecForName(name);
    if (codec)
        QTextCodec::setCodecForLocale(codec);
    return codec;
}

// The three switches, then the count and first entry of each list: enough to
// see every field of a device file arrive where it belongs.
QString summary(const DeviceModel& m)
{
    QString text = QStringLiteral("%1%2%3|%4:")
                       .arg(int(m.limited)).arg(int(m.failInkList)).arg(int(m.failRefillLog)).arg(m.inks.size());
    if (!m.inks.isEmpty())
        text += m.inks.at(0).name + QStringLiteral("=%1").arg(m.inks.at(0).amount);
    text += QStringLiteral("|%1:").arg(m.refillLog.size());
    if (!m.refillLog.isEmpty()) {
        const DeviceModel::Refill& refill = m.refillLog.at(0);
        text += refill.time.toString(Qt::ISODate) + ' ' + refill.ink + QStringLiteral("=%1").arg(refill.amount);
    }
    return text;
}

} // namespace

// The reference host's own classes: device files and the model they give,
// the IInkHost side of the record contract, and the language catalogue.
class TestHostClasses : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QTextCodec* m_localeCodec = nullptr;

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void init()
    {
        m_localeCodec = QTextCodec::codecForLocale();
        useLocalCodePage("UTF-8");
    }

    void cleanup() { QTextCodec::setCodecForLocale(m_localeCodec); }

    // Defined after the class: moc misreads the raw strings in its body.
    void deviceFile_data();

    void deviceFile()
    {
        QFETCH(QByteArray, codec);
        QFETCH(QByteArray, content);
        QFETCH(QString, result);
        if (!useLocalCodePage(codec))
            QSKIP("this Qt lacks the codec");

        const QString path = write(QStringLiteral("device.json"), content);
        QString error;
        const std::optional<DeviceModel> model = DeviceModel::fromJsonFile(path, &error);
        if (model) {
            QCOMPARE(summary(*model), result);
        } else {
            QVERIFY2(error.startsWith(path + QStringLiteral(": ")), qPrintable(error));
            QVERIFY2(error.contains(result), qPrintable(error));
        }
    }

    void builtInSample()
    {
        const QDateTime now(QDate(2025, 3, 1), QTime(12, 0));
        const DeviceModel model = DeviceModel::sample(now);
        QSet<QString> names;
        for (const DeviceModel::Ink& ink : model.inks)
            names.insert(ink.amount > 0.0 ? ink.name : QString());
        QSet<QDateTime> times;
        for (const DeviceModel::Refill& refill : model.refillLog) {
            const bool fits = refill.time < now && refill.time > now.addYears(-1) && names.contains(refill.ink);
            times.insert(fits && refill.amount > 0.0 ? refill.time : QDateTime());
        }
        // Eight distinct inks, each with some left, and about a year of their
        // refills at distinct times, so the plug-in's newest-first order is unambiguous.
        QVERIFY(model.limited && !model.failInkList && !model.failRefillLog);
        QVERIFY(model.inks.size() == 8 && names.size() == 8 && !names.contains(QString()));
        QVERIFY(model.refillLog.size() >= 24 && model.refillLog.size() <= 60);
        QVERIFY(times.size() == model.refillLog.size() && !times.contains(QDateTime()));
    }

    void records_data()
    {
        QTest::addColumn<QByteArray>("codec");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // what the record field holds

        const QString cyan = QStringLiteral("青");
        QTest::newRow("GB2312") << QByteArray("GB2312") << QStringLiteral("青色") << QByteArray("\xC7\xE0\xC9\xAB");
        QTest::newRow("127 bytes kept") << QByteArray("UTF-8") << QString(127, 'a') << QByteArray(127, 'a');
        QTest::newRow("200 bytes cut to 127") << QByteArray("UTF-8") << QString(200, 'a') << QByteArray(127, 'a');
        // Three bytes a character: 42 of them fill 126 bytes, and cutting
        // inside a 43rd would leave a broken sequence.
        QTest::newRow("whole characters only") << QByteArray("UTF-8") << cyan.repeated(50) << cyan.repeated(42).toUtf8();
        QTest::newRow("no half surrogate pair")
            << QByteArray("UTF-8") << QString(125, 'a') + QStringLiteral("\U0001F58C") << QByteArray(125, 'a');
    }

    void records()
    {
        QFETCH(QByteArray, codec);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        if (!useLocalCodePage(codec))
            QSKIP("this Qt lacks the codec");

        // Device files reject over-long names; a model built in code may still hold one.
        DeviceModel model;
        model.inks = {{"Cyan", 812.5}, {name, 0.5}};
        model.refillLog = {{QDateTime(QDate(2025, 2, 3), QTime(4, 5, 6)), "Cyan", 1000.0},
                           {QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)), name, 500.0}};
        InkHost host(model);
        InkRecordList inks{0, nullptr};
        InkRecordList refills{0, nullptr};
        QVERIFY(host.GetInkList(&inks) && host.GetRefillLog(&refills) && inks.count == 2 && refills.count == 2);
        QByteArrayList names;
        QVector<double> amounts;
        for (const InkRecord* record : {inks.records, inks.records + 1, refills.records, refills.records + 1}) {
            QVERIFY(strnlen(record->name, sizeof record->name) < sizeof record->name);
            names.append(record->name);
            amounts.append(record->amount);
        }
        QCOMPARE(names, QByteArrayList({"Cyan", bytes, "Cyan", bytes}));
        QCOMPARE(amounts, QVector<double>({812.5, 0.5, 1000.0, 500.0}));
        const InkRecord& last = refills.records[1];
        QCOMPARE(QVector<int>({last.year, last.month, last.day, last.hour, last.minute, last.second}),
                 QVector<int>({2024, 12, 31, 23, 59, 58}));
        host.FreeRecords(inks.records);
        host.FreeRecords(refills.records);
    }

    void recordContract_data()
    {
        QTest::addColumn<QString>("device"); // "empty", or which call fails
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("results"); // of the fill calls, in turn
        QTest::addColumn<int>("outstanding");
        QTest::addColumn<QStringList>("problems");

        // I, R: fill a fresh list by GetInkList, GetRefillLog; F, Fn: return
        // the latest or n-th array; X: return a foreign pointer; D: GetRefillLog
        // into a list still holding an array; N: GetInkList without a list; C: check.
        const auto row = [](const char* tag, const char* device, const QString& steps, const QString& results,
                            int outstanding, const QStringList& problems = {}) {
            QTest::newRow(tag) << QString::fromLatin1(device) << steps << results << outstanding << problems;
        };
        row("every array returned", "", "I R F0 F1 C", "11", 0);
        // A failing call still hands out its array, and that must come back too.
        row("failed ink list", "inkList", "I R F1 C", "01", 1,
            {"the array of GetInkList call 1 (2 records) was never returned through FreeRecords"});
        row("failed refill log", "refillLog", "I R F0 F1 C", "10", 0);
        row("empty device hands out nothing", "empty", "I R F F C", "11", 0);
        row("returned twice", "", "I F F C", "1", 0,
            {"the array of GetInkList call 1 (2 records) came back through FreeRecords a second time"});
        row("missing return reported once", "", "I C C F C", "1", 0, {"was never returned"});
        row("foreign pointer", "", "I X F C", "1", 0, {"which this host never handed out"});
        row("list not empty", "", "I D F C", "10", 0, {"GetRefillLog call 2 got a list that was not empty (count 1)"});
        row("no list", "", "N", "0", 0, {"GetInkList call 1 got a null list"});
        // The allocator may hand out a returned address again; its return is then a first one.
        row("reused addresses", "", QStringLiteral("I F ").repeated(20) + 'C', QString(20, '1'), 0);
    }

    void recordContract()
    {
        QFETCH(QString, device);
        QFETCH(QString, steps);
        QFETCH(QString, results);
        QFETCH(int, outstanding);
        QFETCH(QStringList, problems);

        DeviceModel model;
        if (device != "empty") {
            model.inks = {{"Cyan", 1.0}, {"Black", 2.0}};
            model.refillLog = {{QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)), "Cyan", 500.0}};
        }
        model.failInkList = device == "inkList";
        model.failRefillLog = device == "refillLog";
        InkHost host(model);
        QSignalSpy spy(&host, &InkHost::contractProblem);

        QVector<InkRecord*> arrays;
        QString returned;
        InkRecord foreign{};
        for (const QString& step : steps.split(' ')) {
            InkRecordList list{0, nullptr};
            const char op = step.at(0).toLatin1();
            if (op == 'I' || op == 'R') {
                returned += (op == 'R' ? host.GetRefillLog(&list) : host.GetInkList(&list)) ? '1' : '0';
                QCOMPARE(list.count, op == 'R' ? model.refillLog.size() : model.inks.size());
                QCOMPARE(list.records != nullptr, list.count > 0);
                arrays.append(list.records);
            } else if (op == 'D') {
                list = {1, arrays.last()};
                returned += host.GetRefillLog(&list) ? '1' : '0';
            } else if (op == 'N') {
                returned += host.GetInkList(nullptr) ? '1' : '0';
            } else if (op == 'F') {
                host.FreeRecords(step.size() > 1 ? arrays.at(step.mid(1).toInt()) : arrays.last());
            } else if (op == 'X') {
                host.FreeRecords(&foreign);
            } else {
                host.checkAllReturned();
            }
        }
        QCOMPARE(returned, results);
        QCOMPARE(host.outstandingArrays(), outstanding);
        QCOMPARE(host.problemCount(), spy.count());
        QCOMPARE(spy.count(), problems.size());
        for (int i = 0; i < problems.size(); ++i)
            QVERIFY2(spy.at(i).at(0).toString().contains(problems.at(i)), qPrintable(spy.at(i).at(0).toString()));
    }

    void catalogue_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("id"); // made the default, unless negative
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("error"); // when the default cannot be set
        QTest::addColumn<QString>("offered"); // "id:name" joined by commas
        QTest::addColumn<int>("defaultId");

        const auto row = [](const char* tag, const QByteArray& before, int id, const QByteArray& after,
                            const QString& offered, int defaultId, const QString& error = QString()) {
            QTest::newRow(tag) << before << id << after << error << offered << defaultId;
        };
        const auto utf16 = [](const char* defaultLine) {
            return "\xFF\xFE" + QTextCodec::codecForName("UTF-16LE")->fromUnicode(
                QStringLiteral("[LANG_MGR]\r\n%1\r\nLANG0_NAME=简体中文\r\nLANG0_FOLDER=chs\r\nLANG0_SHOW=1\r\n")
                    .arg(QLatin1String(defaultLine)));
        };
        // The shipped file needs its UTF-8 mark: without one the plug-in, like
        // the catalogue, reads GB2312 and the Chinese name comes out garbled.
        const QByteArray shipped = readFile(QStringLiteral(HOST_CATALOGUE));
        row("shipped catalogue: only the digit changes", shipped, 1,
            QByteArray(shipped).replace("DEFAULT=0\r\n", "DEFAULT=1\r\n"), QStringLiteral("0:简体中文,1:English"), 1);
        row("UTF-16LE stays UTF-16LE with its mark", utf16("DEFAULT=0"), 1, utf16("DEFAULT=1"),
            QStringLiteral("0:简体中文"), 1);
        row("hidden and incomplete languages left out",
            "[LANG_MGR]\nDEFAULT=2\nLANG0_NAME=A\nLANG0_FOLDER=a\nLANG0_SHOW=1\nLANG1_NAME=B\nLANG1_FOLDER=b\n"
            "LANG1_SHOW=2\nLANG2_NAME=C\nLANG2_SHOW=1\nLANG3_NAME=D\nLANG3_FOLDER=d\nLANG3_SHOW=1\n",
            -1, {}, "0:A,3:D", 2);
        row("keys outside the section ignored",
            "DEFAULT=5\n[OTHER]\nLANG0_NAME=X\nLANG0_FOLDER=x\nLANG0_SHOW=1\n[LANG_MGR]\n"
            "LANG1_NAME=Y\nLANG1_FOLDER=y\nLANG1_SHOW=1\n", -1, {}, "1:Y", 0);
        row("leading zeros, comments, last value wins",
            "; comment\n[LANG_MGR]\nDEFAULT=1\nDEFAULT=7\nLANG007_NAME=Old\nLANG7_NAME=New\n"
            "# LANG7_SHOW=0\nLANG7_FOLDER=n\nLANG7_SHOW=1\n", -1, {}, "7:New", 7);
        row("indented, LF only, other sections untouched", "[A]\nDEFAULT=3\n[LANG_MGR]\n  DEFAULT = 0\nLANG0_NAME=x\n", 1,
            "[A]\nDEFAULT=3\n[LANG_MGR]\n  DEFAULT =1\nLANG0_NAME=x\n", "", 1);
        // The last DEFAULT counts, so every one in the section is changed.
        row("every DEFAULT of the section", "[LANG_MGR]\nDEFAULT=0\n[LANG_MGR]\nDEFAULT=0\n", 2,
            "[LANG_MGR]\nDEFAULT=2\n[LANG_MGR]\nDEFAULT=2\n", "", 2);
        row("added after the header when missing", "\xEF\xBB\xBF; note\r\n[LANG_MGR]\r\nLANG1_NAME=English\r\n", 1,
            "\xEF\xBB\xBF; note\r\n[LANG_MGR]\r\nDEFAULT=1\r\nLANG1_NAME=English\r\n", "", 1);
        row("no language section, file left alone", "[OTHER]\nDEFAULT=0\n", 1, "[OTHER]\nDEFAULT=0\n", "", 0,
            "no [LANG_MGR] section");
    }

    void catalogue()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, id);
        QFETCH(QByteArray, after);
        QFETCH(QString, error);
        QFETCH(QString, offered);
        QFETCH(int, defaultId);

        const QString path = write(QStringLiteral("Lang.ini"), before);
        LanguageCatalogue catalogue(path);
        QString problem;
        if (id >= 0) {
            QCOMPARE(catalogue.setDefaultId(id, &problem), error.isEmpty());
            QCOMPARE(problem, error.isEmpty() ? QString() : path + QStringLiteral(": ") + error);
            QCOMPARE(readFile(path), after);
            QCOMPARE(catalogue.defaultId(), defaultId);
        }
        // Read back from the file: what the plug-in will find there.
        QVERIFY2(catalogue.read(&problem), qPrintable(problem));
        QStringList found;
        for (const LanguageCatalogue::Language& language : catalogue.languages())
            found.append(QStringLiteral("%1:%2").arg(language.id).arg(language.name));
        QCOMPARE(found.join(','), offered);
        QCOMPARE(catalogue.defaultId(), defaultId);
    }
};

void TestHostClasses::deviceFile_data()
{
    QTest::addColumn<QByteArray>("codec"); // the local code page names must fit
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("result"); // summary() when read, else the problem reported

    const auto row = [](const char* tag, const QByteArray& content, const QString& result,
                        const QByteArray& codec = "UTF-8") { QTest::newRow(tag) << codec << content << result; };
    const auto ink = [](const QString& name) {
        return QByteArray(R"({"inks": [{"name": ")") + name.toUtf8() + R"(", "amount": 1}]})";
    };
    // A valid refill with some fields replaced.
    const auto refill = [](const QByteArray& from, const QByteArray& to) {
        return QByteArray(R"({"inks": [], "refillLog": [{"year": 2025, "month": 1, "day": 2, "hour": 3, "minute": 4,)"
                          R"( "second": 5, "ink": "Cyan", "amount": 500}]})").replace(from, to);
    };

    row("shipped sample", readFile(QStringLiteral(HOST_SAMPLE_DEVICE)),
        "100|6:Cyan=742.5|8:2025-01-14T09:12:40 Black=1000");
    row("switches set", R"({"limited": false, "inks": [], "fail": {"inkList": true, "refillLog": true}})", "011|0:|0:");
    row("broken JSON, line and column", "{\n  \"inks\": [\n    {\"name\": \"Cyan\" \"amount\": 1}\n  ]\n}",
        "invalid JSON at offset 35 (line 3, column 22)");
    row("top level not an object", "[]", "the top level is an array");
    row("no inks", "{}", "missing key \"inks\"");
    row("misspelt key", R"({"inks": [], "limted": true})", "unknown key \"limted\"");
    row("limited not a boolean", R"({"inks": [], "limited": "yes"})", "limited: expected a boolean, found a string");
    row("inks not an array", R"({"inks": {}})", "inks: expected an array, found an object");
    row("ink not an object", R"({"inks": [{"name": "C", "amount": 1}, 3]})", "inks[1]: expected an object, found a number");
    row("ink name a number", R"({"inks": [{"name": 5, "amount": 1}]})", "inks[0].name: expected a string, found a number");
    row("ink amount missing", R"({"inks": [{"name": "Cyan"}]})", "inks[0]: missing key \"amount\"");
    row("negative amount", R"({"inks": [{"name": "Cyan", "amount": -5}]})", "inks[0].amount: -5 is out of range");
    row("refill log not an array", R"({"inks": [], "refillLog": 1})", "refillLog: expected an array, found a number");
    row("refill unknown key", R"({"inks": [], "refillLog": [{"when": 1}]})", "refillLog[0]: unknown key \"when\"");
    row("month 13", refill(R"("month": 1)", R"("month": 13)"), "refillLog[0].month: 13 is out of range 1..12");
    row("30 February", refill(R"("month": 1, "day": 2)", R"("month": 2, "day": 30)"),
        "refillLog[0].day: 30 is out of range 1..28");
    row("hour 24", refill(R"("hour": 3)", R"("hour": 24)"), "refillLog[0].hour: 24 is out of range 0..23");
    row("second 60", refill(R"("second": 5)", R"("second": 60)"), "refillLog[0].second: 60 is out of range 0..59");
    row("fractional minute", refill(R"("minute": 4)", R"("minute": 1.5)"), "refillLog[0].minute: 1.5 is not a whole number");
    row("year as text", refill(R"("year": 2025)", R"("year": "2025")"), "refillLog[0].year: expected a number, found a string");
    row("refill ink too long", refill("Cyan", QByteArray(200, 'y')),
        "refillLog[0].ink: \"" + QString(200, 'y') + "\" takes 200 bytes");
    row("fail not an object", R"({"inks": [], "fail": true})", "fail: expected an object, found a boolean");
    row("fail switch not a boolean", R"({"inks": [], "fail": {"inkList": 1}})",
        "fail.inkList: expected a boolean, found a number");
    row("unknown fail switch", R"({"inks": [], "fail": {"isInkLimited": true}})", "fail: unknown key \"isInkLimited\"");

    // A name must fit the record field in the local code page, whatever the
    // file's own UTF-8 takes: the limit counts bytes of that code page.
    const QString cyan = QStringLiteral("青色");
    const QString ascii127(127, 'c');
    row("127 bytes", ink(ascii127), "100|1:" + ascii127 + "=1|0:");
    row("128 bytes", ink(ascii127 + 'c'),
        "inks[0].name: \"" + ascii127 + "c\" takes 128 bytes in the local code page, at most 127 fit");
    row("GB2312, 120 bytes", ink(cyan.repeated(30)), "100|1:" + cyan.repeated(30) + "=1|0:", "GB2312");
    row("UTF-8, 180 bytes", ink(cyan.repeated(30)), "inks[0].name: \"" + cyan.repeated(30) + "\" takes 180 bytes");
    row("Latin-1 lacks Chinese", ink(cyan), "inks[0].name: \"青色\" cannot be written in the local code page", "ISO-8859-1");
    row("Latin-1 has umlauts", ink(QStringLiteral("Weiß")), "100|1:Weiß=1|0:", "ISO-8859-1");
}

QTEST_GUILESS_MAIN(TestHostClasses)
#include "tst_host_classes.moc"
