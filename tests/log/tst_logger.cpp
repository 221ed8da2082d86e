// SPDX-License-Identifier: MIT
// The activity log: which file a run writes to, what it writes, when it
// moves on, what it deletes, and that it survives every way the file system
// can refuse it.
#include "dialogs/inkmanagement.h"
#include "log/dynamicliblogger.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifdef Q_OS_UNIX
#  include <csignal>
#  include <ctime>
#  include <sys/resource.h>
#endif

namespace {

constexpr qint64 Limit = 209715200;
const QString Prefix = QStringLiteral("Activity");
const QString Time = QStringLiteral("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}");
const QString Header =
    QStringLiteral("========== Log Session Started at %1 ==========\n").arg(Time);
const QString Banner = QStringLiteral("\t——————————进入墨水加密界面——————————");

QString line(const char* level, const QString& message)
{
    return QStringLiteral("\\[%1\\] \\[%2\\] %3\n")
        .arg(Time, QLatin1String(level), QRegularExpression::escape(message));
}

// Everything from 'offset' on, so that 200 MiB files are never read whole.
QString tail(const QString& path, qint64 offset = 0)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.seek(offset) ? QString::fromUtf8(file.readAll())
                                                               : QString();
}

bool matchesWhole(const QString& text, const QString& pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

// A file of the logger's directory holding "old\n", or of 'size' bytes.
bool create(const QDir& dir, const QString& name, qint64 size = -1)
{
    QFile file(dir.filePath(name));
    if (!QDir().mkpath(QFileInfo(file).path()) || !file.open(QIODevice::WriteOnly))
        return false;
    return size < 0 ? file.write("old\n") == 4 : file.resize(size);
}

bool setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite)
        && file.setFileTime(time, QFileDevice::FileModificationTime);
}

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    // A zone away from UTC, so that a time tag in UTC would show.
    void initTestCase()
    {
#ifdef Q_OS_UNIX
        qputenv("TZ", "CST-8");
        tzset();
#endif
    }

    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_dir.setPath(m_tmp->path() + QStringLiteral("/Log/Activity"));
    }

    void cleanup()
    {
        DynamicLibLogger::destroyInstance();
    }

    // Start-up continues the own file with the highest number below the
    // limit, after an empty line, or else appends to number 1; names that
    // are not its own take no part, whatever their number.
    void startup_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("sized"); // a file of 'size' bytes besides
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("continued");
        const QStringList none;
        QTest::newRow("nothing there")
            << none << QString() << qint64(0) << "Activity1.log" << false;
        QTest::newRow("newest continued") << QStringList{"Activity1.log", "Activity2.log"}
                                          << QString() << qint64(0) << "Activity2.log" << true;
        QTest::newRow("numbers compare as integers")
            << QStringList{"Activity12.log", "Activity9.log"} << QString() << qint64(0)
            << "Activity12.log" << true;
        QTest::newRow("leading zeros") << QStringList{"Activity007.log", "Activity3.log"}
                                       << QString() << qint64(0) << "Activity7.log" << true;
        QTest::newRow("leading dot") << QStringList{".Activity5.log", "Activity2.log"} << QString()
                                     << qint64(0) << "Activity5.log" << true;
        QTest::newRow("two dots") << QStringList{"..Activity5.log", "Activity2.log"} << QString()
                                  << qint64(0) << "Activity2.log" << true;
        QTest::newRow("foreign names")
            << QStringList{"activity4.log",       "Activity.log",   "Activity4.log.bak",
                           "Activity4.txt",       "XActivity4.log", "Activity4.log\n",
                           "Activity3.log/inside"}
            << QString() << qint64(0) << "Activity1.log" << false;
        QTest::newRow("zero") << QStringList{"Activity0.log"} << QString() << qint64(0)
                              << "Activity1.log" << false;
        QTest::newRow("too large for an int")
            << QStringList{"Activity3.log", "Activity2147483648.log"} << QString() << qint64(0)
            << "Activity3.log" << true;
        QTest::newRow("largest int") << QStringList{"Activity3.log", "Activity2147483647.log"}
                                     << QString() << qint64(0) << "Activity2147483647.log" << true;
        QTest::newRow("newest at limit")
            << QStringList{"Activity1.log"} << "Activity2.log" << Limit << "Activity1.log" << false;
        QTest::newRow("newest at limit, no 1")
            << none << "Activity2.log" << Limit << "Activity1.log" << false;
    }

    void startup()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, sized);
        QFETCH(qint64, size);
        QFETCH(QString, written);
        QFETCH(bool, continued);
        for (const QString& name : files)
            QVERIFY(create(m_dir, name));
        QVERIFY(sized.isEmpty() || create(m_dir, sized, size));
        const QString path = m_dir.filePath(written);
        const qint64 oldSize = QFileInfo(path).size();
        const QStringList before =
            m_dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), Prefix, 365);
        QCOMPARE(logger->currentLogFilePath(), path);
        QVERIFY(matchesWhole(tail(path, oldSize),
                             (continued ? QStringLiteral("\n") : QString()) + Header));
        const QStringList after =
            m_dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(after.size(), before.size() + (before.contains(written) ? 0 : 1));
    }

    // Missing directories are made, and the first logger of a run stays the
    // one logger whatever later requests ask for.
    void oneLoggerPerRun()
    {
        const QString deep = m_tmp->path() + QStringLiteral("/a/b/../c/Activity");
        DynamicLibLogger* logger = DynamicLibLogger::instance(deep, Prefix, 365);
        QCOMPARE(logger->currentLogFilePath(),
                 m_tmp->path() + QStringLiteral("/a/c/Activity/Activity1.log"));
        QCOMPARE(DynamicLibLogger::instance(m_dir.path(), QStringLiteral("Else"), 0), logger);
        logger->log(DynamicLibLogger::Info, QStringLiteral("here"));
        QVERIFY(!m_dir.exists());
        QVERIFY(matchesWhole(tail(logger->currentLogFilePath()),
                             Header + line("INFO", QStringLiteral("here"))));
    }

    void lineFormat_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("written");
        QTest::newRow("debug") << 0 << QStringLiteral("a") << QStringLiteral("[DEBUG] a");
        QTest::newRow("info") << 1 << QStringLiteral("a") << QStringLiteral("[INFO] a");
        QTest::newRow("warning") << 2 << QStringLiteral("a") << QStringLiteral("[WARNING] a");
        QTest::newRow("error") << 3 << QStringLiteral("a") << QStringLiteral("[ERROR] a");
        QTest::newRow("fatal") << 4 << QStringLiteral("a") << QStringLiteral("[FATAL] a");
        QTest::newRow("above range") << 5 << QStringLiteral("a") << QStringLiteral("[UNKNOWN] a");
        QTest::newRow("negative") << -1 << QStringLiteral("a") << QStringLiteral("[UNKNOWN] a");
        QTest::newRow("empty message ends with a blank")
            << 1 << QString() << QStringLiteral("[INFO] ");
        QTest::newRow("placeholders stay")
            << 1 << QStringLiteral("%1 %2 %L1") << QStringLiteral("[INFO] %1 %2 %L1");
        QTest::newRow("line breaks stay")
            << 3 << QStringLiteral("one\ntwo\n") << QStringLiteral("[ERROR] one\ntwo\n");
        QTest::newRow("UTF-8") << 1 << Banner << QStringLiteral("[INFO] ") + Banner;
    }

    void lineFormat()
    {
        QFETCH(int, level);
        QFETCH(QString, message);
        QFETCH(QString, written);
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), Prefix, 365);
        logger->log(DynamicLibLogger::LogLevel(level), message);
        const QString text = tail(logger->currentLogFilePath());
        const QRegularExpressionMatch match =
            QRegularExpression(QRegularExpression::anchoredPattern(
                                   QStringLiteral("(?s)====.*(%1) ==========\n\\[(%1)\\] %2\n")
                                       .arg(Time, QRegularExpression::escape(written))))
                .match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        // Local time of writing, to the millisecond.
        for (int group : {1, 2}) {
            const QDateTime tag = QDateTime::fromString(match.captured(group),
                                                        QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
            QVERIFY(before <= tag && tag <= QDateTime::currentDateTime());
        }
    }

    // A line that finds its file full moves on to the next number, which
    // gets no header; so does every later full file, a line each.
    void rotation()
    {
        QVERIFY(create(m_dir, "Activity1.log", Limit) && create(m_dir, "Activity2.log", Limit));
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), Prefix, 365);
        for (const char* text : {"A", "B", "C"})
            logger->log(DynamicLibLogger::Info, QLatin1String(text));
        QVERIFY(matchesWhole(tail(m_dir.filePath(QStringLiteral("Activity1.log")), Limit), Header));
        QVERIFY(matchesWhole(tail(m_dir.filePath(QStringLiteral("Activity2.log")), Limit),
                             line("INFO", QStringLiteral("A"))));
        QVERIFY(
            matchesWhole(tail(m_dir.filePath(QStringLiteral("Activity3.log"))),
                         line("INFO", QStringLiteral("B")) + line("INFO", QStringLiteral("C"))));
        // A file that reaches the limit with the run header moves on at the
        // next line.
        DynamicLibLogger::destroyInstance();
        const int header = 70; // an empty line and the header, the time tag being of fixed width
        QVERIFY(QFile::resize(m_dir.filePath(QStringLiteral("Activity3.log")), Limit - header));
        logger = DynamicLibLogger::instance(m_dir.path(), Prefix, 365);
        QCOMPARE(QFileInfo(logger->currentLogFilePath()).size(), Limit);
        logger->log(DynamicLibLogger::Info, QStringLiteral("D"));
        QVERIFY(matchesWhole(tail(m_dir.filePath(QStringLiteral("Activity4.log"))),
                             line("INFO", QStringLiteral("D"))));
        QVERIFY(logger->rotateLogFile());
        QCOMPARE(logger->currentLogFilePath(), m_dir.filePath(QStringLiteral("Activity5.log")));
    }

    // Own files, whatever their number, go when more midnights than the
    // retention have passed since their last change; at start-up before the
    // search for the file to continue, later on request, with a line.
    void retention_data()
    {
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("removed");
        const QDateTime now = QDateTime::currentDateTime();
        const QDate today = now.date();
        QTest::newRow("365 days") << now.addDays(-365) << 365 << false;
        QTest::newRow("366 days") << now.addDays(-366) << 365 << true;
        QTest::newRow("midnight of day 365")
            << QDateTime(today.addDays(-365), QTime(0, 0)) << 365 << false;
        QTest::newRow("late on day 366")
            << QDateTime(today.addDays(-366), QTime(23, 59, 59)) << 365 << true;
        QTest::newRow("two days, retention 1")
            << QDateTime(today.addDays(-2), QTime(23, 59)) << 1 << true;
        QTest::newRow("future") << now.addDays(400) << 365 << false;
        QTest::newRow("retention 0") << now.addDays(-5000) << 0 << false;
    }

    void retention()
    {
        QFETCH(QDateTime, modified);
        QFETCH(int, days);
        QFETCH(bool, removed);
        const QStringList own{QStringLiteral("Activity4.log"), QStringLiteral(".Activity0.log"),
                              QStringLiteral("Activity99999999999.log")};
        const QStringList all = own + QStringList{QStringLiteral("Activity4.txt")};
        for (const QString& name : all)
            QVERIFY(create(m_dir, name) && setModified(m_dir.filePath(name), modified));
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), Prefix, days);
        for (const QString& name : own)
            QCOMPARE(m_dir.exists(name), !removed);
        QVERIFY(m_dir.exists(QStringLiteral("Activity4.txt")));
        QCOMPARE(logger->currentLogFilePath(),
                 m_dir.filePath(QLatin1String(removed ? "Activity1.log" : "Activity4.log")));

        QVERIFY(create(m_dir, "Activity2.log")
                && setModified(m_dir.filePath("Activity2.log"), modified));
        const QString before = tail(logger->currentLogFilePath());
        logger->cleanupOldLogs();
        QCOMPARE(m_dir.exists("Activity2.log"), !removed);
        // A line only when something went.
        const QString report =
            QStringLiteral("Cleaned up 1 old log files (older than %1 days)").arg(days);
        QVERIFY(matchesWhole(tail(logger->currentLogFilePath()),
                             QRegularExpression::escape(before)
                                 + (removed ? line("INFO", report) : QString())));
    }

    // A directory or file that cannot be made or opened leaves the logger
    // closed: its lines are dropped and nothing is touched.
    void unusablePaths_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("isDirectory"); // else a file
        QTest::addColumn<QString>("lastPath");
        QTest::newRow("directory is a file") << "Log/Activity" << false << QString();
        QTest::newRow("parent is a file") << "Log" << false << QString();
        QTest::newRow("log file is a directory")
            << "Log/Activity/Activity1.log" << true << "Log/Activity/Activity1.log";
    }

    void unusablePaths()
    {
        QFETCH(QString, blocker);
        QFETCH(bool, isDirectory);
        QFETCH(QString, lastPath);
        const QDir root(m_tmp->path());
        QVERIFY(isDirectory ? root.mkpath(blocker) : create(root, blocker));
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), Prefix, 365);
        QCOMPARE(logger->currentLogFilePath(),
                 lastPath.isEmpty() ? QString() : root.filePath(lastPath));
        logger->log(DynamicLibLogger::Fatal, QStringLiteral("dropped"));
        QVERIFY(!m_dir.exists(QStringLiteral("Activity2.log")));
        if (!isDirectory)
            QCOMPARE(tail(root.filePath(blocker)), "old\n");
    }

    // A move that fails drops the line and closes the logger for good; only
    // an explicit rotation opens again.
    void failedMove()
    {
        QVERIFY(m_dir.mkpath("Activity2.log") && create(m_dir, "Activity1.log", Limit));
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), Prefix, 365);
        logger->log(DynamicLibLogger::Info, QStringLiteral("first"));
        QVERIFY(m_dir.rmdir(QStringLiteral("Activity2.log")));
        logger->log(DynamicLibLogger::Info, QStringLiteral("second"));
        QVERIFY(!m_dir.exists(QStringLiteral("Activity2.log")));
        QVERIFY(logger->rotateLogFile());
        logger->log(DynamicLibLogger::Info, QStringLiteral("third"));
        QVERIFY(matchesWhole(tail(m_dir.filePath(QStringLiteral("Activity2.log"))),
                             line("INFO", QStringLiteral("third"))));
    }

    // A line the system refuses (here a file size limit) is gone for good,
    // and the next one is written.
    void refusedWrite()
    {
#ifdef Q_OS_UNIX
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), Prefix, 365);
        const QString path = logger->currentLogFilePath();
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = rlim_t(QFileInfo(path).size());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        logger->log(DynamicLibLogger::Error, QStringLiteral("refused"));
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
        std::signal(SIGXFSZ, previousHandler);
        logger->log(DynamicLibLogger::Info, QStringLiteral("accepted"));
        QVERIFY(matchesWhole(tail(path), Header + line("INFO", QStringLiteral("accepted"))));
#endif
    }

    // Every opening of the ink management window writes its two lines to the
    // process's one logger, beside the application, which keeps a year of
    // files; the next run continues the same file.
    void openingLines()
    {
        const QDir logDir(QCoreApplication::applicationDirPath() + QStringLiteral("/Log/Activity"));
        QVERIFY(QDir(logDir.filePath(QStringLiteral(".."))).removeRecursively());
        QVERIFY(create(logDir, QStringLiteral("Activity1.log")));
        QVERIFY(setModified(logDir.filePath(QStringLiteral("Activity1.log")),
                            QDateTime::currentDateTime().addDays(-360)));
        QVERIFY(create(logDir, QStringLiteral("Activity2.log")));
        QVERIFY(setModified(logDir.filePath(QStringLiteral("Activity2.log")),
                            QDateTime::currentDateTime().addDays(-370)));
        const QString opening = line("INFO", QString()) + line("INFO", Banner);
        for (int run = 0; run < 2; ++run) {
            DynamicLibLogger::destroyInstance();
            InkManagement first(0);
            InkManagement second(0);
        }
        QCOMPARE(logDir.entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Activity1.log")});
        QVERIFY(matchesWhole(tail(logDir.filePath(QStringLiteral("Activity1.log"))),
                             QStringLiteral("old\n\n") + Header + opening + opening
                                 + QStringLiteral("\n") + Header + opening + opening));
    }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QDir m_dir;
};

QTEST_MAIN(TestLogger)
#include "tst_logger.moc"
