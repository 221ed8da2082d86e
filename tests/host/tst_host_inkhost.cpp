#include "inkhost.h"

#include <QSignalSpy>
#include <QTextCodec>
#include <QtTest>

#include <cstring>

namespace {

DeviceModel twoInks()
{
    DeviceModel model;
    model.inks = {{QStringLiteral("Cyan"), 812.5}, {QStringLiteral("青色"), 0.0}};
    model.refillLog = {{QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)), QStringLiteral("Cyan"), 500.0},
                       {QDateTime(QDate(2025, 2, 3), QTime(4, 5, 6)), QStringLiteral("青色"), 1000.0}};
    return model;
}

QByteArray nameOf(const InkRecord& record)
{
    return QByteArray(record.name, static_cast<int>(strnlen(record.name, sizeof record.name)));
}

} // namespace

class TestInkHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void inkList_data();
    void inkList();
    void refillLogTimes();
    void failingCallsStillHandOutArrays_data();
    void failingCallsStillHandOutArrays();
    void emptyListHandsOutNothing();
    void longNamesAreCut_data();
    void longNamesAreCut();
    void contractBreaches_data();
    void contractBreaches();
    void reusedAddressIsNoDoubleReturn();

private:
    QTextCodec* m_localeCodec = nullptr;
};

void TestInkHost::init()
{
    m_localeCodec = QTextCodec::codecForLocale();
}

void TestInkHost::cleanup()
{
    QTextCodec::setCodecForLocale(m_localeCodec);
}

void TestInkHost::inkList_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QByteArray>("secondName");

    QTest::newRow("UTF-8") << QByteArray("UTF-8") << QByteArray("\xE9\x9D\x92\xE8\x89\xB2");
    QTest::newRow("GB2312") << QByteArray("GB2312") << QByteArray("\xC7\xE0\xC9\xAB");
}

void TestInkHost::inkList()
{
    QFETCH(QByteArray, codec);
    QFETCH(QByteArray, secondName);
    QTextCodec* local = QTextCodec::codecForName(codec);
    if (!local)
        QSKIP("this Qt lacks the codec");
    QTextCodec::setCodecForLocale(local);

    InkHost host(twoInks());
    QSignalSpy problems(&host, &InkHost::contractProblem);
    InkRecordList list{0, nullptr};
    QVERIFY(host.GetInkList(&list));
    QCOMPARE(list.count, 2);
    QVERIFY(list.records);
    QCOMPARE(nameOf(list.records[0]), QByteArray("Cyan"));
    QCOMPARE(list.records[0].amount, 812.5);
    QCOMPARE(nameOf(list.records[1]), secondName);
    QCOMPARE(list.records[1].amount, 0.0);
    QCOMPARE(host.outstandingArrays(), 1);

    host.FreeRecords(list.records);
    host.checkAllReturned();
    QCOMPARE(host.outstandingArrays(), 0);
    QCOMPARE(problems.count(), 0);
}

void TestInkHost::refillLogTimes()
{
    InkHost host(twoInks());
    InkRecordList list{0, nullptr};
    QVERIFY(host.GetRefillLog(&list));
    QCOMPARE(list.count, 2);
    const InkRecord& first = list.records[0];
    QCOMPARE(nameOf(first), QByteArray("Cyan"));
    QCOMPARE(first.amount, 500.0);
    const int fields[] = {first.year, first.month, first.day, first.hour, first.minute, first.second};
    const int expected[] = {2024, 12, 31, 23, 59, 58};
    QVERIFY(std::equal(std::begin(fields), std::end(fields), std::begin(expected)));
    QCOMPARE(list.records[1].month, 2);
    QCOMPARE(list.records[1].second, 6);
    host.FreeRecords(list.records);
    QCOMPARE(host.problemCount(), 0);
}

void TestInkHost::failingCallsStillHandOutArrays_data()
{
    QTest::addColumn<bool>("failInkList");
    QTest::addColumn<bool>("failRefillLog");

    QTest::newRow("ink list fails") << true << false;
    QTest::newRow("refill log fails") << false << true;
    QTest::newRow("both fail") << true << true;
}

void TestInkHost::failingCallsStillHandOutArrays()
{
    QFETCH(bool, failInkList);
    QFETCH(bool, failRefillLog);
    DeviceModel model = twoInks();
    model.failInkList = failInkList;
    model.failRefillLog = failRefillLog;
    InkHost host(model);

    // The plug-in must return the array after a failed call too, so the
    // host hands one out to see that it does.
    InkRecordList inks{0, nullptr};
    InkRecordList refills{0, nullptr};
    QCOMPARE(host.GetInkList(&inks), !failInkList);
    QCOMPARE(host.GetRefillLog(&refills), !failRefillLog);
    QVERIFY(inks.records && refills.records);
    QCOMPARE(host.outstandingArrays(), 2);

    host.FreeRecords(refills.records);
    QSignalSpy problems(&host, &InkHost::contractProblem);
    host.checkAllReturned();
    QCOMPARE(problems.count(), 1);
    QVERIFY(problems.at(0).at(0).toString().startsWith(QStringLiteral("the array of GetInkList")));
}

void TestInkHost::emptyListHandsOutNothing()
{
    InkHost host(DeviceModel{});
    InkRecordList list{0, nullptr};
    QVERIFY(host.GetInkList(&list));
    QCOMPARE(list.count, 0);
    QVERIFY(!list.records);
    QVERIFY(host.GetRefillLog(&list));
    QVERIFY(!list.records);
    host.FreeRecords(nullptr);
    host.checkAllReturned();
    QCOMPARE(host.problemCount(), 0);
}

void TestInkHost::longNamesAreCut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("127 ASCII bytes kept") << QString(127, QLatin1Char('a')) << QString(127, QLatin1Char('a'));
    QTest::newRow("200 ASCII bytes cut to 127") << QString(200, QLatin1Char('a')) << QString(127, QLatin1Char('a'));
    // Three bytes a character: 42 of them fill 126 bytes, a 43rd would
    // overflow, and cutting inside it would leave a broken sequence.
    const QString cyan = QStringLiteral("青");
    QTest::newRow("whole characters only") << cyan.repeated(50) << cyan.repeated(42);
    QTest::newRow("no half surrogate pair")
        << QString(125, QLatin1Char('a')) + QStringLiteral("\U0001F58C") << QString(125, QLatin1Char('a'));
}

void TestInkHost::longNamesAreCut()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    // Device files reject such names; a model built in code may still hold one.
    DeviceModel model;
    model.inks = {{name, 1.0}};
    InkHost host(model);
    InkRecordList list{0, nullptr};
    QVERIFY(host.GetInkList(&list));
    QVERIFY(strnlen(list.records[0].name, sizeof list.records[0].name) < sizeof list.records[0].name);
    QCOMPARE(QString::fromUtf8(nameOf(list.records[0])), expected);
    host.FreeRecords(list.records);
}

void TestInkHost::contractBreaches_data()
{
    QTest::addColumn<QString>("breach");
    QTest::addColumn<QString>("message");

    QTest::newRow("returned twice") << "twice" << "came back through FreeRecords a second time";
    QTest::newRow("never returned") << "never" << "was never returned through FreeRecords";
    QTest::newRow("foreign pointer") << "foreign" << "which this host never handed out";
    QTest::newRow("list not empty") << "dirty" << "got a list that was not empty";
}

void TestInkHost::contractBreaches()
{
    QFETCH(QString, breach);
    QFETCH(QString, message);

    InkHost host(twoInks());
    QSignalSpy problems(&host, &InkHost::contractProblem);
    InkRecordList list{0, nullptr};
    QVERIFY(host.GetInkList(&list));
    InkRecord* const array = list.records;

    if (breach == QLatin1String("twice")) {
        host.FreeRecords(array);
        host.FreeRecords(array);
    } else if (breach == QLatin1String("never")) {
        host.checkAllReturned();
        // Reported once, not again at every later check.
        host.checkAllReturned();
        host.FreeRecords(array);
    } else if (breach == QLatin1String("foreign")) {
        InkRecord foreign{};
        host.FreeRecords(&foreign);
        host.FreeRecords(array);
    } else {
        InkRecordList dirty{1, array};
        QVERIFY(!host.GetRefillLog(&dirty));
        host.FreeRecords(array);
    }
    host.checkAllReturned();

    QCOMPARE(problems.count(), 1);
    QCOMPARE(host.problemCount(), 1);
    QVERIFY2(problems.at(0).at(0).toString().contains(message), qPrintable(problems.at(0).at(0).toString()));
}

void TestInkHost::reusedAddressIsNoDoubleReturn()
{
    // The allocator may hand out a returned address again; its return is
    // then a first one.
    InkHost host(twoInks());
    for (int i = 0; i < 20; ++i) {
        InkRecordList list{0, nullptr};
        QVERIFY(host.GetInkList(&list));
        host.FreeRecords(list.records);
    }
    host.checkAllReturned();
    QCOMPARE(host.problemCount(), 0);
}

QTEST_GUILESS_MAIN(TestInkHost)
#include "tst_host_inkhost.moc"
