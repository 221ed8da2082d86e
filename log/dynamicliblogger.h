// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_DYNAMICLIBLOGGER_H
#define VQTINTWELL_DYNAMICLIBLOGGER_H

#include <QFile>
#include <QMutex>
#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QTextStream>

// The plug-in's own activity log: levelled, time-stamped UTF-8 lines in
// numbered files <prefix><n>.log inside one directory. It moves on to the next
// number when a file reaches 200 MiB and, when it starts, deletes its files
// that have not been changed for longer than the retention period.
//
// There is one logger per process. It never reports its own failures: a line
// it cannot write is dropped.
class DynamicLibLogger : public QObject
{
    Q_OBJECT

public:
    // A fixed underlying type, so that any int (including values outside the
    // named ones) is a well-defined level and is written as "UNKNOWN".
    enum LogLevel : int
    {
        Debug = 0,
        Info = 1,
        Warning = 2,
        Error = 3,
        Fatal = 4
    };

    // The process-wide logger. The first call creates it with these
    // arguments; later calls ignore them and return the same object.
    static DynamicLibLogger* instance(const QString& logDir, const QString& filePrefix, int retentionDays);
    // Deletes the logger; the next instance() call creates a new one. Must
    // not race with any other use of the logger.
    static void destroyInstance();

    ~DynamicLibLogger() override;

    void log(LogLevel level, const QString& message);
    // The path last given to the log file: empty before any opening, else the
    // current file or the one whose opening last failed.
    QString currentLogFilePath() const;
    void cleanupOldLogs();
    // Opens the next number. Callers must not call it while another thread
    // may be writing.
    bool rotateLogFile();

private:
    DynamicLibLogger(QString logDir, QString filePrefix, int retentionDays);

    void initialize();
    bool openLogFile(int index);
    int removeExpiredLogs(int days);
    int findResumeIndex() const;
    // The number of one of this logger's own files, or -1 for any other name.
    int ownFileNumber(const QString& fileName) const;
    void writeSessionHeader(bool afterEmptyLine);
    void flushStream();
    // The local time as "yyyy-MM-dd hh:mm:ss.zzz". Called under m_mutex, or
    // during start-up.
    QString currentTimeTag();
    static QString levelName(LogLevel level);
    static void setHiddenAttribute(const QString& path);

    QString m_logDir;
    QString m_filePrefix;
    const qint64 m_maxFileSize;
    const int m_retentionDays;
    mutable QMutex m_mutex;
    QFile m_file;
    QTextStream m_stream;
    int m_currentIndex = 0;
    // Recognises the logger's own file names; built once per logger.
    const QRegularExpression m_ownFilePattern;
    // The text of the last second that currentTimeTag() formatted.
    qint64 m_tagSecond = -1;
    QString m_tagSecondText;

    static DynamicLibLogger* s_instance;
    static QMutex s_instanceMutex;
};

#endif
