// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_TESTSUPPORT_RECORDINGHOST_H
#define VQTINTWELL_TESTSUPPORT_RECORDINGHOST_H

#include "plugin/vqtintwell.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstring>
#include <list>
#include <optional>
#include <stdexcept>
#include <vector>

// A record as a host fills it in; 'time' is year, month, day, hour, minute
// and second.
inline InkRecord inkRecord(const QByteArray& name, double amount, std::array<int, 6> time = {})
{
    InkRecord record{};
    std::memcpy(record.name, name.constData(), std::min<size_t>(name.size(), sizeof record.name));
    record.amount = amount;
    record.year = time[0], record.month = time[1], record.day = time[2];
    record.hour = time[3], record.minute = time[4], record.second = time[5];
    return record;
}

// A host for tests and benchmarks: answers with configurable ink lists and
// refill histories, records what the plug-in does and checks that every
// array it hands out comes back exactly once.
class RecordingHost : public IInkHost
{
public:
    struct Answer
    {
        bool result = true;
        std::vector<InkRecord> records = {}; // copied into a fresh array per call; none if empty
        std::optional<int> count = {};       // the count reported; records.size() when unset
        bool throws = false;                 // throw once the list is filled
    };

    void WriteLog(const char* line) override { logLines.append(QString::fromUtf8(line)); }
    void FreeRecords(InkRecord* records) override
    {
        ++freeCalls;
        const auto it =
            std::find_if(m_out.begin(), m_out.end(), [&](const auto& out) { return out.data() == records; });
        if (it != m_out.end()) {
            lastReturned = std::move(*it);
            m_out.erase(it);
        } else if (records) {
            ++faults; // never handed out, or returned twice
        }
    }
    bool IsInkLimited() override { return limited; }
    bool GetInkList(InkRecordList* list) override { return fill(inkList, list); }
    bool GetRefillLog(InkRecordList* list) override { return fill(refillLog, list); }

    // Every fill call got an empty list and its array came back exactly once.
    bool keptContract() const { return freeCalls == fillCalls && faults == 0 && m_out.empty(); }

    bool limited = true;
    Answer inkList, refillLog;
    QStringList logLines;
    std::vector<InkRecord> lastReturned; // the array that came back last, as the plug-in left it
    int fillCalls = 0, freeCalls = 0, faults = 0;

private:
    bool fill(const Answer& answer, InkRecordList* list)
    {
        ++fillCalls;
        faults += (list->count != 0 || list->records) ? 1 : 0;
        list->count = answer.count.value_or(int(answer.records.size()));
        if (!answer.records.empty())
            list->records = m_out.emplace_back(answer.records).data();
        if (answer.throws)
            throw std::runtime_error("the host failed");
        return answer.result;
    }

    std::list<std::vector<InkRecord>> m_out; // the arrays handed out and not yet back
};

#endif
