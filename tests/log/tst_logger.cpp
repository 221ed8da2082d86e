// SPDX-License-Identifier: MIT
// The activity log: which file a run writes to, what it writes, when it
// moves on, what it deletes, and that it survives every way the file system
// can refuse it.
#include "dialogs/inkmanagement.h"
#include "log/dynamicliblogger.h"

#include <QtTest>

#include <memory>

#ifdef Q_OS_WIN
#  include <windows.h>
#else
#  include <csignal>
#  include <sys/resource.h>
#endif

namespace {

constexpr qint64 Limit = 209715200;
const QString Time = "(\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3})";
const QString Header = "========== Log Session Started at " + Time + " ==========\n";
const QString Banner = "\t——————————进入墨水加密界面——————————";

// The pattern of a line of 'level' with 'message'.
QString line(const char* level, const QString& message)
{
    return "\\[" + Time + "\\] \\[" + level + "\\] " + QRegularExpression::escape(message) + "\n";
}

// Everything from 'offset' on, so that 200 MiB files are never read whole.
// The log is text: its lines end in CR LF on Windows, read here as LF.
QString tail(const QString& path, qint64 offset = 0)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) && file.seek(offset) ? QString::fromUtf8(file.readAll())
                                                                                 : QString();
}

const auto matches = [](const QString& text, const QString& pattern) {
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
};

// A file holding "old\n", or of 'size' bytes, with its directories, last
// changed at 'modified' if given.
bool create(const QDir& dir, const QString& name, qint64 size = -1, const QDateTime& modified = {})
{
    QFile file(dir.filePath(name));
    if (!QDir().mkpath(QFileInfo(file).path()) || !file.open(QIODevice::WriteOnly))
        return false;
    const bool filled = size < 0 ? file.write("old\n") == 4 && file.flush() : file.resize(size);
    return filled && (!modified.isValid() || file.setFileTime(modified, QFileDevice::FileModificationTime));
}

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_dir.setPath(m_tmp->path() + "/Log/Activity");
    }

    void cleanup() { DynamicLibLogger::destroyInstance(); }

    // Start-up continues the newest own file below the limit, after an
    // empty line. (Which files are its own and which is newest: retention.)
    void startup()
    {
        QVERIFY(create(m_dir, "Activity1.log") && create(m_dir, "Activity2.log", Limit - 1));
        const QString path = m_dir.filePath("Activity2.log");
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), "Activity", 365);
        QCOMPARE(logger->currentLogFilePath(), path);
        QVERIFY(matches(tail(path, Limit - 1), "\n" + Header));
#ifdef Q_OS_WIN
        // Out of an operator's sight in Explorer: the directory and the file.
        for (const QString& hidden : {m_dir.path(), path}) {
            const DWORD attributes = GetFileAttributesW(QDir::toNativeSeparators(hidden).toStdWString().c_str());
            QVERIFY(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN));
        }
#endif
    }

    // Lines in local time to the millisecond, level by name, the message
    // as it came; later requests get the first logger, whatever they ask for.
    void lineFormat()
    {
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), "Activity", 365);
        QCOMPARE(DynamicLibLogger::instance(m_tmp->path(), "Else", 0), logger);
        const std::tuple<int, const char*, QString> lines[] = {
            {0, "DEBUG", "a"},        {1, "INFO", "b"},           {2, "WARNING", "c"},         {3, "ERROR", "d"},
            {4, "FATAL", "e"},        {5, "UNKNOWN", "above"},    {-1, "UNKNOWN", "negative"}, {1, "INFO", ""},
            {1, "INFO", "%1 %2 %L1"}, {3, "ERROR", "one\ntwo\n"}, {1, "INFO", Banner}};
        QString expected = Header;
        for (const auto& [level, name, message] : lines) {
            logger->log(DynamicLibLogger::LogLevel(level), message);
            expected += line(name, message);
        }
        // Then a line early in a later second, where the milliseconds need
        // their zeros, until one was written before 100 ms.
        QDateTime writing;
        do {
            QTest::qSleep(1000 - QTime::currentTime().msec());
            writing = QDateTime::currentDateTime();
            logger->log(DynamicLibLogger::Info, "later");
        } while (QDateTime::currentDateTime() >= writing.addMSecs(100 - writing.time().msec()));
        const QString text = tail(logger->currentLogFilePath());
        QVERIFY2(matches(text, expected + "(" + line("INFO", "later") + ")+"), qPrintable(text));
        QDateTime time;
        for (auto times = QRegularExpression(Time).globalMatch(text); times.hasNext();) {
            time = QDateTime::fromString(times.next().captured(1), "yyyy-MM-dd hh:mm:ss.zzz");
            QVERIFY(before <= time && time <= QDateTime::currentDateTime());
        }
        QVERIFY(time >= writing);
    }

    // A line that finds its file full moves on to the next number, which
    // gets no header; so does every later full file, a line each, also one
    // that the run header filled.
    void rotation()
    {
        QVERIFY(create(m_dir, "Activity1.log", Limit) && create(m_dir, "Activity2.log", Limit));
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), "Activity", 365);
        for (const char* text : {"A", "B", "C"})
            logger->log(DynamicLibLogger::Info, text);
        QVERIFY(matches(tail(m_dir.filePath("Activity1.log"), Limit), Header));
        QVERIFY(matches(tail(m_dir.filePath("Activity2.log"), Limit), line("INFO", "A")));
        QVERIFY(matches(tail(m_dir.filePath("Activity3.log")), line("INFO", "B") + line("INFO", "C")));
        DynamicLibLogger::destroyInstance();
        // An empty line and the header take 70 bytes, 72 with Windows' CR LF.
        const qint64 headerBytes = QSysInfo::productType() == "windows" ? 72 : 70;
        QVERIFY(QFile::resize(m_dir.filePath("Activity3.log"), Limit - headerBytes));
        logger = DynamicLibLogger::instance(m_dir.path(), "Activity", 365);
        QCOMPARE(QFileInfo(logger->currentLogFilePath()).size(), Limit);
        logger->log(DynamicLibLogger::Info, "D");
        QVERIFY(matches(tail(m_dir.filePath("Activity4.log")), line("INFO", "D")));
        QVERIFY(logger->rotateLogFile());
        QCOMPARE(logger->currentLogFilePath(), m_dir.filePath("Activity5.log"));
    }

    // Own files, whatever their number, go when more midnights than the
    // retention have passed since their last change: at start-up, before
    // the search for the file to continue, and on request, with a line
    // then, but only when something went. What stays, the highest number
    // within an int is continued; a name with two leading dots is not one
    // of its own.
    void retention_data()
    {
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("removed");
        const QDateTime now = QDateTime::currentDateTime();
        QTest::newRow("midnight of day 365") << QDateTime(now.date().addDays(-365), QTime(0, 0)) << 365 << false;
        QTest::newRow("two days, retention 1") << QDateTime(now.date().addDays(-2), QTime(23, 59)) << 1 << true;
        QTest::newRow("three days, retention 2") << QDateTime(now.date().addDays(-3), QTime(23, 59)) << 2 << true;
        QTest::newRow("retention 0") << now.addDays(-5000) << 0 << false;
    }

    void retention()
    {
        QFETCH(QDateTime, modified);
        QFETCH(int, days);
        QFETCH(bool, removed);
        const QStringList own{"Activity12.log", "Activity9.log", ".Activity0.log", "Activity99999999999.log"};
        const QStringList foreign{"Activity4.txt", "Activity.log", "..Activity5.log"};
        for (const QString& name : own + foreign)
            QVERIFY(create(m_dir, name, -1, modified));
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), "Activity", days);
        for (const QString& name : own)
            QCOMPARE(m_dir.exists(name), !removed);
        for (const QString& name : foreign)
            QVERIFY(m_dir.exists(name));
        QCOMPARE(logger->currentLogFilePath(), m_dir.filePath(removed ? "Activity1.log" : "Activity12.log"));

        QVERIFY(create(m_dir, "Activity2.log", -1, modified));
        const QString before = tail(logger->currentLogFilePath());
        logger->cleanupOldLogs();
        QCOMPARE(m_dir.exists("Activity2.log"), !removed);
        const QString report = QString("Cleaned up 1 old log files (older than %1 days)").arg(days);
        QVERIFY(matches(tail(logger->currentLogFilePath()),
                        QRegularExpression::escape(before) + (removed ? line("INFO", report) : "")));
    }

    // A line the system refuses (here a file size limit) is gone for good,
    // and the next one is written.
#ifndef Q_OS_WIN // Windows has no file size limit of a process to refuse a line with.
    void refusedWrite()
    {
        DynamicLibLogger* logger = DynamicLibLogger::instance(m_dir.path(), "Activity", 365);
        const QString path = logger->currentLogFilePath();
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = rlim_t(QFileInfo(path).size());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        logger->log(DynamicLibLogger::Error, "refused");
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
        std::signal(SIGXFSZ, previousHandler);
        logger->log(DynamicLibLogger::Info, "accepted");
        QVERIFY(matches(tail(path), Header + line("INFO", "accepted")));
    }
#endif

    // Every opening of the ink management window writes its two lines to the
    // process's one logger, beside the application, which keeps a year of
    // files (a file 365 days old, not one of 366); the next run continues
    // the same file.
    void openingLines()
    {
        const QDir logDir(QCoreApplication::applicationDirPath() + "/Log/Activity");
        QVERIFY(QDir(logDir.filePath("..")).removeRecursively());
        QVERIFY(create(logDir, "Activity1.log", -1, QDateTime::currentDateTime().addDays(-365)));
        QVERIFY(create(logDir, "Activity2.log", -1, QDateTime::currentDateTime().addDays(-366)));
        const QString opening = line("INFO", "") + line("INFO", Banner);
        for (int run = 0; run < 2; ++run) {
            DynamicLibLogger::destroyInstance();
            InkManagement first(0);
            InkManagement second(0);
        }
        QCOMPARE(logDir.entryList(QDir::Files | QDir::Hidden), QStringList{"Activity1.log"});
        QVERIFY(matches(tail(logDir.filePath("Activity1.log")),
                        "old\n\n" + Header + opening + opening + "\n" + Header + opening + opening));
    }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QDir m_dir;
};

QTEST_MAIN(TestLogger)
#include "tst_logger.moc"
