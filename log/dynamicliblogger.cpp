// SPDX-License-Identifier: MIT
#include "log/dynamicliblogger.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

#ifdef Q_OS_WIN
#  include "log/hiddenattribute.h"
#endif

namespace {

// 200 MiB: a file that has reached this size is not written to again.
constexpr qint64 MaxFileSize = 209715200;

} // namespace

DynamicLibLogger* DynamicLibLogger::s_instance = nullptr;
// Constant-initialised (QMutex's default constructor is constexpr), so it
// exists before any code of the library runs and its destructor touches no
// other Qt state.
QMutex DynamicLibLogger::s_instanceMutex;

namespace {

// The plug-in never releases its logger while it is loaded. When a host
// unloads the library, though, nothing could ever reach that logger again: it
// would keep its file open and its memory taken for every load of the
// library. So it goes with the library, while the host's application still
// exists. At process exit, after the application is gone, nothing is done:
// every line is already flushed and the file closes with the process.
void releaseAtUnload()
{
    if (QCoreApplication::instance())
        DynamicLibLogger::destroyInstance();
}

} // namespace

Q_DESTRUCTOR_FUNCTION(releaseAtUnload)

DynamicLibLogger* DynamicLibLogger::instance(const QString& logDir, const QString& filePrefix, int retentionDays)
{
    const QMutexLocker locker(&s_instanceMutex);
    if (!s_instance)
        s_instance = new DynamicLibLogger(logDir, filePrefix, retentionDays);
    return s_instance;
}

void DynamicLibLogger::destroyInstance()
{
    const QMutexLocker locker(&s_instanceMutex);
    delete s_instance;
    s_instance = nullptr;
}

DynamicLibLogger::DynamicLibLogger(QString logDir, QString filePrefix, int retentionDays)
    : QObject(nullptr)
    , m_logDir(std::move(logDir))
    , m_filePrefix(std::move(filePrefix))
    , m_maxFileSize(MaxFileSize)
    , m_retentionDays(retentionDays)
    // Anchored on the whole name: a plain '$' would also match before a
    // final line feed and take "Activity3.log\n", someone else's file, for
    // one of ours.
    , m_ownFilePattern(QRegularExpression::anchoredPattern(
          QStringLiteral("\\.?%1(\\d+)\\.log").arg(QRegularExpression::escape(m_filePrefix))))
{
    initialize();
}

DynamicLibLogger::~DynamicLibLogger()
{
    const QMutexLocker locker(&m_mutex);
    if (m_file.isOpen()) {
        m_stream.flush();
        m_file.close();
    }
}

void DynamicLibLogger::initialize()
{
    // No other thread can see the logger yet, so start-up runs unlocked.
    QDir dir(m_logDir);
    if (!dir.exists() && !dir.mkpath(QStringLiteral(".")))
        return;
    m_logDir = dir.absolutePath();
    setHiddenAttribute(m_logDir);

    // Clean up first, so that an expired newest file is not continued.
    if (m_retentionDays > 0)
        removeExpiredLogs(m_retentionDays);

    const int resumeIndex = findResumeIndex();
    if (resumeIndex > 0 && openLogFile(resumeIndex)) {
        writeSessionHeader(true);
    } else if (openLogFile(1)) {
        writeSessionHeader(false);
    } else {
        return;
    }
    flushStream();
}

void DynamicLibLogger::writeSessionHeader(bool afterEmptyLine)
{
    // Straight to the stream: the header carries no tag of its own.
    if (afterEmptyLine)
        m_stream << QLatin1Char('\n');
    m_stream << QStringLiteral("========== Log Session Started at %1 ==========\n").arg(currentTimeTag());
}

bool DynamicLibLogger::openLogFile(int index)
{
    if (m_file.isOpen()) {
        m_stream.flush();
        m_file.close();
    }

    const QString fileName = QStringLiteral("%1%2.log").arg(m_filePrefix).arg(index);
    m_file.setFileName(m_logDir + QLatin1Char('/') + fileName);

    // Unbuffered, so that the stream's flush hands each line straight to the
    // operating system: a line that the system refuses (disk full, file size
    // limit) is then dropped, instead of waiting in QFile's buffer and
    // turning up later with the next line.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered))
        return false;

    m_stream.setDevice(&m_file);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    m_stream.setEncoding(QStringConverter::Utf8);
#else
    m_stream.setCodec("UTF-8");
#endif
    setHiddenAttribute(m_file.fileName());
    m_currentIndex = index;
    return true;
}

void DynamicLibLogger::log(LogLevel level, const QString& message)
{
    const QMutexLocker locker(&m_mutex);
    if (!m_file.isOpen())
        return;
    // Checked before each line, so a file grows past the limit by at most
    // the one line that crossed it.
    if (m_file.size() >= m_maxFileSize && !openLogFile(m_currentIndex + 1))
        return;

    // One multi-argument substitution, so that "%1" inside the message stays.
    m_stream << QStringLiteral("[%1] [%2] %3\n").arg(currentTimeTag(), levelName(level), message);
    flushStream();
    m_file.flush();
}

void DynamicLibLogger::flushStream()
{
    m_stream.flush();
    // A refused write has already discarded the line; without the reset the
    // stream would refuse every later line too, even once the disk has room.
    if (m_stream.status() != QTextStream::Ok)
        m_stream.resetStatus();
}

QString DynamicLibLogger::currentTimeTag()
{
    // Converting to local time makes Qt re-read the time zone (tzset(), a
    // stat of the zone file) every time, which cost more than the write
    // itself. The local date and time are therefore worked out once per
    // second; zone and daylight-saving changes take effect on whole seconds,
    // so the text stays exact.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = now / 1000;
    if (second != m_tagSecond || m_tagSecondText.isEmpty()) {
        m_tagSecond = second;
        m_tagSecondText =
            QDateTime::fromMSecsSinceEpoch(second * 1000).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss."));
    }
    return m_tagSecondText + QStringLiteral("%1").arg(now % 1000, 3, 10, QLatin1Char('0'));
}

QString DynamicLibLogger::currentLogFilePath() const
{
    const QMutexLocker locker(&m_mutex);
    return m_file.fileName();
}

void DynamicLibLogger::cleanupOldLogs()
{
    if (m_retentionDays < 1)
        return;
    // The removal reads only fields that are fixed after start-up, so it
    // needs no lock; log() takes it for the message and drops it when no
    // file is open.
    const int removed = removeExpiredLogs(m_retentionDays);
    if (removed > 0) {
        log(Info, QStringLiteral("Cleaned up %1 old log files (older than %2 days)").arg(removed).arg(m_retentionDays));
    }
}

bool DynamicLibLogger::rotateLogFile()
{
    return openLogFile(m_currentIndex + 1);
}

int DynamicLibLogger::ownFileNumber(const QString& fileName) const
{
    const QRegularExpressionMatch match = m_ownFilePattern.match(fileName);
    if (!match.hasMatch())
        return -1;
    // toInt() gives 0 for a digit run that does not fit, which keeps such a
    // file out of the search for the number to continue.
    return match.captured(1).toInt();
}

int DynamicLibLogger::removeExpiredLogs(int days)
{
    QDir dir(m_logDir);
    if (days < 1 || !dir.exists())
        return 0;

    // Age counts the local midnights passed since the last change, so the
    // border does not depend on the time of day at which the host starts.
    const QDateTime now = QDateTime::currentDateTime();
    int removed = 0;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        if (ownFileNumber(entry.fileName()) < 0)
            continue;
        const QDateTime modified = entry.lastModified();
        if (modified.isValid() && modified.daysTo(now) > days && QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

int DynamicLibLogger::findResumeIndex() const
{
    int best = 0;
    qint64 bestSize = 0;
    const QFileInfoList entries = QDir(m_logDir).entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        const int number = ownFileNumber(entry.fileName());
        if (number > best) {
            best = number;
            bestSize = entry.size();
        }
    }
    return best >= 1 && bestSize < m_maxFileSize ? best : 0;
}

QString DynamicLibLogger::levelName(LogLevel level)
{
    switch (level) {
    case Debug:
        return QStringLiteral("DEBUG");
    case Info:
        return QStringLiteral("INFO");
    case Warning:
        return QStringLiteral("WARNING");
    case Error:
        return QStringLiteral("ERROR");
    case Fatal:
        return QStringLiteral("FATAL");
    }
    return QStringLiteral("UNKNOWN");
}

void DynamicLibLogger::setHiddenAttribute(const QString& path)
{
#ifdef Q_OS_WIN
    const QString nativePath = QDir::toNativeSeparators(path);
    HiddenAttribute::set(reinterpret_cast<const wchar_t*>(nativePath.utf16()));
#else
    // Deliberately nothing. POSIX has no hidden attribute, and the only
    // substitute, a leading dot, would mean renaming the directory and the
    // files away from the fixed paths that users and support look for. The
    // listings would still find dotted files, but nothing is gained.
    Q_UNUSED(path)
#endif
}
