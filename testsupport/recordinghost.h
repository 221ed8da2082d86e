// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_TESTSUPPORT_RECORDINGHOST_H
#define VQTINTWELL_TESTSUPPORT_RECORDINGHOST_H

#include "plugin/vqtintwell.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

// A host for tests and benchmarks: answers with configurable ink lists and
// refill histories, records what the plug-in does and checks that every
// array it hands out comes back exactly once.
class RecordingHost : public IInkHost
{
public:
    struct Answer
    {
        bool result = true;
        std::vector<InkRecord> records; // copied into a fresh array per call
        std::optional<int> count;       // the count reported; records.size() when unset
        bool noArray = false;           // hand out no array whatever the count
        bool throws = false;            // throw once the list is filled
    };

    static InkRecord refill(const std::vector<int>& time, const QByteArray& name = "Cyan",
                            double amount = 12.5)
    {
        InkRecord record{};
        std::memcpy(record.name, name.constData(), std::min<size_t>(name.size(), 127));
        record.amount = amount;
        int* fields[] = {&record.year, &record.month,  &record.day,
                         &record.hour, &record.minute, &record.second};
        for (size_t i = 0; i < std::min<size_t>(time.size(), 6); ++i)
            *fields[i] = time[i];
        return record;
    }
    static InkRecord ink(const QByteArray& name, double amount) { return refill({}, name, amount); }

    void WriteLog(const char* line) override { logLines.append(QString::fromUtf8(line)); }
    void FreeRecords(InkRecord* records) override
    {
        ++freeCalls;
        const auto it = std::find_if(m_out.begin(), m_out.end(),
                                     [&](const auto& out) { return out.data() == records; });
        if (it != m_out.end()) {
            lastReturned = std::move(*it);
            m_out.erase(it);
        } else if (records) {
            ++badFrees; // never handed out, or returned twice
        }
    }
    bool IsInkLimited() override { return limited; }
    bool GetInkList(InkRecordList* list) override { return fill(inkList, list); }
    bool GetRefillLog(InkRecordList* list) override { return fill(refillLog, list); }

    // Every fill call got an empty list and its array came back exactly once.
    bool keptContract() const
    {
        return freeCalls == fillCalls && badFrees == 0 && badLists == 0 && m_out.empty();
    }

    bool limited = true;
    Answer inkList, refillLog;
    QStringList logLines;
    std::vector<InkRecord> lastReturned; // the array that came back last, as the plug-in left it
    int fillCalls = 0, freeCalls = 0, badFrees = 0, badLists = 0;

private:
    bool fill(const Answer& answer, InkRecordList* list)
    {
        ++fillCalls;
        badLists += (list->count != 0 || list->records) ? 1 : 0;
        list->count = answer.count.value_or(int(answer.records.size()));
        if (!answer.noArray && !answer.records.empty()) {
            m_out.push_back(answer.records); // moving a vector keeps its buffer
            list->records = m_out.back().data();
        }
        if (answer.throws)
            throw std::runtime_error("the host failed");
        return answer.result;
    }

    std::vector<std::vector<InkRecord>> m_out;
};

#endif
