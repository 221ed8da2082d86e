// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_TESTSUPPORT_RECORDINGHOST_H
#define VQTINTWELL_TESTSUPPORT_RECORDINGHOST_H

#include "testsupport/recordarrays.h"

#include <QByteArray>
#include <QStringList>

#include <cstring>
#include <optional>
#include <stdexcept>

// A host for tests, fuzzers and benchmarks: answers with configurable ink
// lists and refill histories, records what the plug-in does and checks that
// every array comes back exactly once.
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

    static InkRecord ink(const QByteArray& name, double amount)
    {
        InkRecord record{};
        std::memcpy(record.name, name.constData(), std::min<size_t>(size_t(name.size()), sizeof record.name - 1));
        record.amount = amount;
        return record;
    }

    static InkRecord refill(const std::vector<int>& time, const QByteArray& name = "Cyan", double amount = 12.5)
    {
        InkRecord record = ink(name, amount);
        int* fields[] = {&record.year, &record.month, &record.day, &record.hour, &record.minute, &record.second};
        for (size_t i = 0; i < time.size() && i < 6; ++i)
            *fields[i] = time[i];
        return record;
    }

    void WriteLog(const char* line) override { logLines.append(QString::fromUtf8(line)); }
    void FreeRecords(InkRecord* records) override
    {
        ++freeCalls;
        freed.append(records);
        badFrees += arrays.takeBack(records) ? 0 : 1;
    }
    bool IsInkLimited() override { return limited; }
    bool GetInkList(InkRecordList* list) override { return fill(inkList, list); }
    bool GetRefillLog(InkRecordList* list) override { return fill(refillLog, list); }

    // Every fill call got an empty list and its array came back exactly once.
    bool keptContract() const
    {
        return freeCalls == fillCalls && badFrees == 0 && badLists == 0 && arrays.outstanding() == 0;
    }

    bool limited = true;
    Answer inkList;
    Answer refillLog;

    RecordArrays arrays;
    QStringList logLines;
    QList<InkRecord*> freed;
    int fillCalls = 0, freeCalls = 0, badFrees = 0, badLists = 0;

private:
    bool fill(const Answer& answer, InkRecordList* list)
    {
        ++fillCalls;
        badLists += (list->count != 0 || list->records) ? 1 : 0;
        list->count = answer.count.value_or(int(answer.records.size()));
        list->records = answer.noArray ? nullptr : arrays.handOut(answer.records);
        if (answer.throws)
            throw std::runtime_error("the host failed");
        return answer.result;
    }
};

#endif
