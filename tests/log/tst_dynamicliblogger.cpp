// The activity logger: which file a run writes to, what it writes, when it
// moves on, what it deletes, and that it survives every way the file system
// can refuse it.
#include "log/dynamicliblogger.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <initializer_list>
#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#include <ctime>
#include <sys/resource.h>
#endif

namespace {

constexpr qint64 Limit = 209715200;
const QString Prefix = QStringLiteral("Activity");
const QString TimePattern = QStringLiteral("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}");

// Test data is written as plain literals; the library's headers forbid the
// implicit conversion.
QString str(const char* text)
{
    return QString::fromUtf8(text);
}

QStringList list(std::initializer_list<const char*> texts)
{
    QStringList result;
    for (const char* text : texts)
        result << str(text);
    return result;
}

QString headerPattern()
{
    return QStringLiteral("========== Log Session Started at %1 ==========\n").arg(TimePattern);
}

// Everything from 'offset' on, so that 200 MiB files are never read whole.
QByteArray tail(const QString& path, qint64 offset = 0)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return QByteArray();
    return file.readAll();
}

void matchesWhole(const QByteArray& text, const QString& pattern)
{
    const QRegularExpression re(QLatin1Char('^') + pattern + QLatin1Char('$'));
    QVERIFY2(re.match(QString::fromUtf8(text)).hasMatch(), text.left(300).constData());
}

// "name" is a file holding "old\n", "name=full" and "name=below" sparse files
// at and one byte below the limit, "name/" a directory.
void createEntry(const QDir& dir, const QString& entry)
{
    if (entry.endsWith(QLatin1Char('/'))) {
        QVERIFY(dir.mkpath(entry));
        return;
    }
    const QStringList parts = entry.split(QLatin1Char('='));
    QFile file(dir.filePath(parts.first()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (parts.size() == 1)
        file.write("old\n");
    else
        QVERIFY(file.resize(parts.last() == QLatin1String("full") ? Limit : Limit - 1));
}

void setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

class LogThread : public QThread
{
public:
    LogThread(DynamicLibLogger* logger, int id, int lines)
        : m_logger(logger), m_id(id), m_lines(lines) {}

protected:
    void run() override
    {
        const QString padding(200, QLatin1Char('x'));
        for (int i = 0; i < m_lines; ++i)
            m_logger->log(DynamicLibLogger::Debug, QStringLiteral("t%1 n%2 %3").arg(m_id).arg(i).arg(padding));
    }

private:
    DynamicLibLogger* const m_logger;
    const int m_id;
    const int m_lines;
};

} // namespace

class TestDynamicLibLogger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifdef Q_OS_UNIX
        // A zone away from UTC, so that a tag in UTC would show.
        qputenv("TZ", "CST-8");
        tzset();
#endif
    }

    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        QVERIFY(m_tmp->isValid());
        m_dir = m_tmp->path() + QStringLiteral("/Log/Activity");
    }

    void cleanup() { DynamicLibLogger::destroyInstance(); }

    void startupChoosesFile_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("continued");

        QTest::newRow("empty") << QStringList() << str("Activity1.log") << false;
        QTest::newRow("newest continued") << list({"Activity1.log", "Activity2.log"}) << str("Activity2.log") << true;
        QTest::newRow("numbers compare as integers") << list({"Activity12.log", "Activity9.log"}) << str("Activity12.log") << true;
        // The number is continued under its plain name.
        QTest::newRow("leading zeros") << list({"Activity007.log", "Activity3.log"}) << str("Activity7.log") << true;
        QTest::newRow("leading dot") << list({".Activity5.log", "Activity2.log"}) << str("Activity5.log") << true;
        QTest::newRow("two dots are foreign") << list({"..Activity5.log", "Activity2.log"}) << str("Activity2.log") << true;
        QTest::newRow("foreign names")
            << list({"activity4.log", "Activity.log", "Activity4.log.bak", "Activity4.txt", "Activity3.log/", "XActivity4.log"})
            << str("Activity1.log") << false;
#ifndef Q_OS_WIN
        // The name must end at ".log": a line feed after it makes it foreign.
        QTest::newRow("line feed after the name") << list({"Activity4.log\n", "Activity2.log"}) << str("Activity2.log") << true;
#endif
        QTest::newRow("zero never continued") << list({"Activity0.log"}) << str("Activity1.log") << false;
        // A number that does not fit reads as 0 and takes no part in the search.
        QTest::newRow("overflow never continued") << list({"Activity3.log", "Activity2147483648.log"}) << str("Activity3.log") << true;
        QTest::newRow("largest int") << list({"Activity3.log", "Activity2147483647.log"}) << str("Activity2147483647.log") << true;
        QTest::newRow("newest below limit") << list({"Activity1.log", "Activity2.log=below"}) << str("Activity2.log") << true;
        QTest::newRow("newest at limit") << list({"Activity1.log", "Activity2.log=full"}) << str("Activity1.log") << false;
        QTest::newRow("newest at limit, no 1") << list({"Activity2.log=full"}) << str("Activity1.log") << false;
    }

    void startupChoosesFile()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, written);
        QFETCH(bool, continued);

        QDir dir(m_dir);
        QVERIFY(dir.mkpath(QStringLiteral(".")));
        for (const QString& entry : entries)
            createEntry(dir, entry);
        const QStringList before = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QString path = dir.filePath(written);
        const bool existed = QFileInfo::exists(path);
        const qint64 oldSize = existed ? QFileInfo(path).size() : 0;
        QHash<QString, qint64> sizes;
        for (const QString& name : before)
            sizes.insert(name, QFileInfo(dir.filePath(name)).size());

        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        QCOMPARE(logger->currentLogFilePath(), path);
        matchesWhole(tail(path, oldSize), (continued ? str("\n") : QString()) + headerPattern());

        // Nothing else is touched, removed or created.
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
                 before.size() + (existed ? 0 : 1));
        for (const QString& name : before) {
            if (name != written)
                QCOMPARE(QFileInfo(dir.filePath(name)).size(), sizes.value(name));
        }
    }

    void createsMissingDirectories()
    {
        const QString deep = m_tmp->path() + QStringLiteral("/a/b/../c/Activity");
        DynamicLibLogger* logger = DynamicLibLogger::instance(deep, Prefix, 365);
        const QString expected = QDir(m_tmp->path()).absoluteFilePath(QStringLiteral("a/c/Activity/Activity1.log"));
        QCOMPARE(logger->currentLogFilePath(), QDir::cleanPath(expected));
        matchesWhole(tail(expected), headerPattern());
    }

    void secondInstanceReturnsFirst()
    {
        DynamicLibLogger* first = DynamicLibLogger::instance(m_dir, Prefix, 365);
        const QString other = m_tmp->path() + QStringLiteral("/Other");
        QCOMPARE(DynamicLibLogger::instance(other, QStringLiteral("Else"), 0), first);
        first->log(DynamicLibLogger::Info, QStringLiteral("here"));
        QVERIFY(!QFileInfo::exists(other));
        QVERIFY(tail(m_dir + QStringLiteral("/Activity1.log")).endsWith("] [INFO] here\n"));
    }

    void lineFormat_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("written");

        QTest::newRow("debug") << 0 << str("a") << str("[DEBUG] a");
        QTest::newRow("info") << 1 << str("a") << str("[INFO] a");
        QTest::newRow("warning") << 2 << str("a") << str("[WARNING] a");
        QTest::newRow("error") << 3 << str("a") << str("[ERROR] a");
        QTest::newRow("fatal") << 4 << str("a") << str("[FATAL] a");
        QTest::newRow("above range") << 5 << str("a") << str("[UNKNOWN] a");
        QTest::newRow("negative") << -1 << str("a") << str("[UNKNOWN] a");
        QTest::newRow("empty message ends with a blank") << 1 << str("") << str("[INFO] ");
        QTest::newRow("placeholders stay") << 1 << str("%1 %2 %3 %L1") << str("[INFO] %1 %2 %3 %L1");
        QTest::newRow("line breaks stay") << 3 << str("one\ntwo\n") << str("[ERROR] one\ntwo\n");
        QTest::newRow("utf-8 banner") << 1 << QStringLiteral("\t——————————进入墨水加密界面——————————")
                                      << QStringLiteral("[INFO] \t——————————进入墨水加密界面——————————");
    }

    void lineFormat()
    {
        QFETCH(int, level);
        QFETCH(QString, message);
        QFETCH(QString, written);

        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        logger->log(static_cast<DynamicLibLogger::LogLevel>(level), message);
        matchesWhole(tail(m_dir + QStringLiteral("/Activity1.log")),
                     headerPattern() + QStringLiteral("\\[%1\\] ").arg(TimePattern)
                         + QRegularExpression::escape(written) + QStringLiteral("\n"));
    }

    void timeTagIsLocalTimeOfWriting()
    {
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        const QRegularExpression tag(QStringLiteral("^\\[(%1)\\] ").arg(TimePattern));
        // Lines half a second apart cross second boundaries.
        for (int i = 0; i < 4; ++i) {
            const QDateTime before = QDateTime::currentDateTime();
            logger->log(DynamicLibLogger::Info, QString());
            const QDateTime after = QDateTime::currentDateTime();
            const QList<QByteArray> lines = tail(logger->currentLogFilePath()).split('\n');
            const QString last = QString::fromUtf8(lines.at(lines.size() - 2));
            const QRegularExpressionMatch match = tag.match(last);
            QVERIFY2(match.hasMatch(), qPrintable(last));
            const QDateTime written = QDateTime::fromString(match.captured(1), str("yyyy-MM-dd hh:mm:ss.zzz"));
            QVERIFY2(before <= written && written <= after, qPrintable(last));
            QTest::qSleep(500);
        }
    }

    void movesOnOneLinePerFullFile()
    {
        QDir dir(m_dir);
        QVERIFY(dir.mkpath(QStringLiteral(".")));
        createEntry(dir, QStringLiteral("Activity1.log=full"));
        createEntry(dir, QStringLiteral("Activity2.log=full"));

        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        for (const char* text : {"A", "B", "C"})
            logger->log(DynamicLibLogger::Info, QLatin1String(text));

        const QString line = QStringLiteral("\\[%1\\] \\[INFO\\] ").arg(TimePattern);
        matchesWhole(tail(dir.filePath(QStringLiteral("Activity1.log")), Limit), headerPattern());
        matchesWhole(tail(dir.filePath(QStringLiteral("Activity2.log")), Limit), line + QStringLiteral("A\n"));
        // A file reached by moving on gets no header.
        matchesWhole(tail(dir.filePath(QStringLiteral("Activity3.log"))), line + QStringLiteral("B\n") + line + QStringLiteral("C\n"));

        QVERIFY(logger->rotateLogFile());
        QCOMPARE(logger->currentLogFilePath(), dir.filePath(QStringLiteral("Activity4.log")));
        QVERIFY(QFileInfo::exists(logger->currentLogFilePath()));
    }

    void retention_data()
    {
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("removed");

        const QDateTime now = QDateTime::currentDateTime();
        const QDate today = now.date();
        QTest::newRow("365 days") << now.addDays(-365) << 365 << false;
        QTest::newRow("366 days") << now.addDays(-366) << 365 << true;
        QTest::newRow("midnight of day 365") << QDateTime(today.addDays(-365), QTime(0, 0)) << 365 << false;
        // Less than 366 * 24 hours ago, yet 366 midnights back.
        QTest::newRow("late on day 366") << QDateTime(today.addDays(-366), QTime(23, 59, 59)) << 365 << true;
        QTest::newRow("yesterday, retention 1") << QDateTime(today.addDays(-1), QTime(0, 0)) << 1 << false;
        QTest::newRow("two days, retention 1") << QDateTime(today.addDays(-2), QTime(23, 59)) << 1 << true;
        QTest::newRow("future") << now.addDays(400) << 365 << false;
        QTest::newRow("far past") << QDateTime(QDate(1901, 12, 14), QTime(0, 0)) << 365 << true;
        QTest::newRow("retention 0") << now.addDays(-5000) << 0 << false;
        QTest::newRow("retention -1") << now.addDays(-5000) << -1 << false;
    }

    void retention()
    {
        QFETCH(QDateTime, modified);
        QFETCH(int, days);
        QFETCH(bool, removed);

        QVERIFY(QDir().mkpath(m_dir));
        const QString path = m_dir + QStringLiteral("/Activity4.log");
        createEntry(QDir(m_dir), QStringLiteral("Activity4.log"));
        setModified(path, modified);

        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, days);
        QCOMPARE(QFileInfo::exists(path), !removed);
        // The clean-up runs before the search: a removed newest file is not continued.
        QCOMPARE(logger->currentLogFilePath(), removed ? m_dir + QStringLiteral("/Activity1.log") : path);

        // A file that expired while running goes only on request.
        createEntry(QDir(m_dir), QStringLiteral("Activity2.log"));
        setModified(m_dir + QStringLiteral("/Activity2.log"), modified);
        logger->cleanupOldLogs();
        QCOMPARE(QFileInfo::exists(m_dir + QStringLiteral("/Activity2.log")), !removed);
        const bool reported = tail(logger->currentLogFilePath())
                                  .endsWith(QStringLiteral("] [INFO] Cleaned up 1 old log files (older than %1 days)\n").arg(days).toUtf8());
        QCOMPARE(reported, removed);
    }

    void expiredFilesWhateverTheirNumber()
    {
        QDir dir(m_dir);
        QVERIFY(dir.mkpath(QStringLiteral(".")));
        const QStringList own = list({"Activity0.log", "Activity99999999999.log", ".Activity5.log", "Activity007.log", "Activity3.log"});
        QStringList foreign = list({"activity1.log", "Activity.log", "Activity1.log.bak", "Activity1.txt"});
#ifndef Q_OS_WIN
        foreign << str("Activity1.log\n");
#endif
        const QDateTime old = QDateTime::currentDateTime().addDays(-400);
        for (const QString& name : own + foreign) {
            createEntry(dir, name);
            setModified(dir.filePath(name), old);
        }
        createEntry(dir, QStringLiteral("Activity2.log"));

        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        for (const QString& name : own)
            QVERIFY2(!QFileInfo::exists(dir.filePath(name)), qPrintable(name));
        for (const QString& name : foreign)
            QVERIFY2(QFileInfo::exists(dir.filePath(name)), qPrintable(name));
        // The newest own file expired; the highest one left is continued.
        QCOMPARE(logger->currentLogFilePath(), dir.filePath(QStringLiteral("Activity2.log")));
    }

    void threadsLoseNoLine()
    {
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        constexpr int Threads = 8;
        constexpr int Lines = 400;
        std::vector<std::unique_ptr<LogThread>> threads;
        for (int id = 0; id < Threads; ++id)
            threads.emplace_back(new LogThread(logger, id, Lines));
        for (auto& thread : threads)
            thread->start();
        for (auto& thread : threads)
            QVERIFY(thread->wait(60000));

        const QList<QByteArray> lines = tail(logger->currentLogFilePath()).split('\n');
        QCOMPARE(lines.size(), Threads * Lines + 2); // the header, and the empty piece after the last line feed
        const QRegularExpression re(QStringLiteral("^\\[%1\\] \\[DEBUG\\] (t\\d+ n\\d+) x{200}$").arg(TimePattern));
        QSet<QString> seen;
        for (int i = 1; i <= Threads * Lines; ++i) {
            const QRegularExpressionMatch match = re.match(QString::fromUtf8(lines.at(i)));
            QVERIFY2(match.hasMatch(), lines.at(i).constData());
            seen.insert(match.captured(1));
        }
        QCOMPARE(seen.size(), Threads * Lines);
    }

    void unusablePathLeavesLoggerClosed_data()
    {
        QTest::addColumn<QString>("blocker");   // a regular file made at this path below the temporary directory
        QTest::addColumn<QString>("blockDir");  // or a directory
        QTest::addColumn<QString>("lastPath");  // what currentLogFilePath gives afterwards

        QTest::newRow("directory is a file") << str("Log/Activity") << str("") << str("");
        QTest::newRow("parent is a file") << str("Log") << str("") << str("");
        QTest::newRow("log file is a directory") << str("") << str("Log/Activity/Activity1.log") << str("Log/Activity/Activity1.log");
    }

    void unusablePathLeavesLoggerClosed()
    {
        QFETCH(QString, blocker);
        QFETCH(QString, blockDir);
        QFETCH(QString, lastPath);

        const QDir root(m_tmp->path());
        if (!blocker.isEmpty()) {
            QVERIFY(root.mkpath(QFileInfo(blocker).path()));
            createEntry(root, blocker);
        }
        if (!blockDir.isEmpty())
            QVERIFY(root.mkpath(blockDir));

        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        QCOMPARE(logger->currentLogFilePath(), lastPath.isEmpty() ? QString() : root.filePath(lastPath));
        logger->log(DynamicLibLogger::Fatal, QStringLiteral("dropped"));
        logger->cleanupOldLogs();
        QVERIFY(!QFileInfo::exists(m_dir + QStringLiteral("/Activity2.log")));
        if (!blocker.isEmpty())
            QCOMPARE(tail(root.filePath(blocker)), QByteArray("old\n"));
    }

    void failedMoveDropsEveryLine()
    {
        QDir dir(m_dir);
        QVERIFY(dir.mkpath(QStringLiteral("Activity2.log")));
        createEntry(dir, QStringLiteral("Activity1.log=full"));

        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        logger->log(DynamicLibLogger::Info, QStringLiteral("first"));
        QCOMPARE(logger->currentLogFilePath(), dir.filePath(QStringLiteral("Activity2.log")));

        // A closed logger does not reopen by itself, even once it could.
        QVERIFY(dir.rmdir(QStringLiteral("Activity2.log")));
        logger->log(DynamicLibLogger::Info, QStringLiteral("second"));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("Activity2.log"))));
        matchesWhole(tail(dir.filePath(QStringLiteral("Activity1.log")), Limit), headerPattern());

        QVERIFY(logger->rotateLogFile());
        logger->log(DynamicLibLogger::Info, QStringLiteral("third"));
        matchesWhole(tail(dir.filePath(QStringLiteral("Activity2.log"))),
                     QStringLiteral("\\[%1\\] \\[INFO\\] third\n").arg(TimePattern));
    }

    void refusedWriteDropsLine()
    {
#ifdef Q_OS_UNIX
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir, Prefix, 365);
        const QString path = logger->currentLogFilePath();
        const qint64 size = QFileInfo(path).size();

        // The file may not grow: every write fails with EFBIG instead of
        // killing the process.
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = rlim_t(size);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        logger->log(DynamicLibLogger::Error, QStringLiteral("refused"));
        const qint64 sizeWhileLimited = QFileInfo(path).size();
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(sizeWhileLimited, size);

        // The refused line is gone for good, not waiting for the next write.
        logger->log(DynamicLibLogger::Info, QStringLiteral("accepted"));
        matchesWhole(tail(path), headerPattern() + QStringLiteral("\\[%1\\] \\[INFO\\] accepted\n").arg(TimePattern));
#else
        QSKIP("needs a file size limit");
#endif
    }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
};

QTEST_GUILESS_MAIN(TestDynamicLibLogger)
#include "tst_dynamicliblogger.moc"
