// SPDX-License-Identifier: MIT
#include "inkhost.h"

#include <cstdio>

InkHost::InkHost(DeviceModel device)
    : m_device(std::move(device))
{
}

void InkHost::checkAllReturned()
{
    const int outstanding = int(m_out.size());
    if (outstanding > m_reportedOutstanding)
        problem(QStringLiteral("%1 record array(s) never came back through FreeRecords").arg(outstanding));
    m_reportedOutstanding = outstanding;
}

void InkHost::WriteLog(const char* line)
{
    const QString text = QString::fromUtf8(line);
    std::fprintf(stderr, "tintwell-host: plug-in log: %s\n", text.toLocal8Bit().constData());
    Q_EMIT logLine(QStringLiteral("plug-in log: ") + text);
}

void InkHost::FreeRecords(InkRecord* records)
{
    if (records && m_out.erase(records) == 0)
        problem(QStringLiteral("FreeRecords got an array that is not out (never handed out, or returned twice)"));
}

bool InkHost::IsInkLimited()
{
    return m_device.limited;
}

bool InkHost::GetInkList(InkRecordList* list)
{
    return fill(m_device.inks, m_device.failInkList, list);
}

bool InkHost::GetRefillLog(InkRecordList* list)
{
    return fill(m_device.refills, m_device.failRefillLog, list);
}

bool InkHost::fill(const std::vector<InkRecord>& records, bool fails, InkRecordList* list)
{
    // Overwriting a list that is not empty could lose an array still out.
    if (list->count != 0 || list->records) {
        problem(QStringLiteral("a fill call got a list that was not empty"));
        return false;
    }
    // A failing call hands out its array all the same: the plug-in must
    // return it whatever the result, and this shows whether it does.
    list->count = int(records.size());
    if (!records.empty()) {
        std::vector<InkRecord> array = records;
        list->records = array.data();
        m_out.emplace(array.data(), std::move(array)); // moving keeps the buffer
    }
    return !fails;
}

void InkHost::problem(const QString& message)
{
    ++m_problems;
    std::fprintf(stderr, "tintwell-host: contract: %s\n", message.toLocal8Bit().constData());
    Q_EMIT logLine(QStringLiteral("CONTRACT: ") + message);
}
