// SPDX-License-Identifier: MIT
// Lines per second of the activity logger against the least a line must cost:
// a plain POSIX writer that, per line, formats the same line, asks the open
// file for its size once and hands the line to the system with one write().
//
// Usage: bench_activitylog [lines per round] [rounds]
#include "log/dynamicliblogger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

const char Message[] = "Ink list read: 3 inks, 250ml, 12.5ml, 0.25ml remaining";

double loggerRate(DynamicLibLogger* logger, int lines)
{
    const QString message = QString::fromUtf8(Message);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i)
        logger->log(DynamicLibLogger::Info, message);
    return lines / (timer.nsecsElapsed() / 1e9);
}

double baselineRate(int fd, int lines)
{
    char line[512];
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i) {
        timeval now;
        gettimeofday(&now, nullptr);
        tm local;
        localtime_r(&now.tv_sec, &local);
        const int length = std::snprintf(line, sizeof line, "[%04d-%02d-%02d %02d:%02d:%02d.%03d] [%s] %s\n",
                                         local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                         local.tm_min, local.tm_sec, int(now.tv_usec / 1000), "INFO", Message);
        struct stat status;
        if (fstat(fd, &status) != 0 || status.st_size >= 209715200)
            return 0;
        if (write(fd, line, size_t(length)) != length)
            return 0;
    }
    return lines / (timer.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 200000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;

    QTemporaryDir tmp;
    if (!tmp.isValid())
        return 1;
    DynamicLibLogger* logger =
        DynamicLibLogger::instance(tmp.path() + QStringLiteral("/Log/Activity"), QStringLiteral("Activity"), 365);
    const QByteArray baselinePath = (tmp.path() + QStringLiteral("/baseline.log")).toLocal8Bit();
    const int fd = open(baselinePath.constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd < 0)
        return 1;

    // Rounds alternate so that both sides meet the same disk and cache
    // state; the best round of each counts.
    double loggerBest = 0;
    double baselineBest = 0;
    for (int round = 0; round < rounds; ++round) {
        baselineBest = std::max(baselineBest, baselineRate(fd, lines));
        loggerBest = std::max(loggerBest, loggerRate(logger, lines));
    }
    close(fd);
    DynamicLibLogger::destroyInstance();

    std::printf("lines per round: %d, rounds: %d\n", lines, rounds);
    std::printf("baseline (fstat + write): %.0f lines/s\n", baselineBest);
    std::printf("DynamicLibLogger::log:    %.0f lines/s\n", loggerBest);
    std::printf("ratio logger / baseline:  %.2f\n", loggerBest / baselineBest);
    return 0;
}
