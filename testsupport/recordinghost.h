#pragma once

#include "plugin/vqtintwell.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A host for tests: serves configurable ink lists and refill histories,
// records every call the plug-in makes and checks that each array it hands
// out comes back through FreeRecords exactly once.
class RecordingHost : public IInkHost
{
public:
    struct Answer
    {
        bool result = true;
        std::vector<InkRecord> records; // copied into a fresh array per call
        std::optional<int> count;       // reported count; records.size() when unset
        bool nullRecords = false;       // hand out no array at all
    };

    static InkRecord ink(const QByteArray& name, double amount)
    {
        InkRecord record{};
        std::memcpy(record.name, name.constData(),
                    std::min<size_t>(static_cast<size_t>(name.size()), sizeof record.name - 1));
        record.amount = amount;
        return record;
    }

    static InkRecord refill(int year, int month, int day, int hour, int minute, int second,
                            const QByteArray& name, double amount)
    {
        InkRecord record = ink(name, amount);
        const std::int32_t time[] = {year, month, day, hour, minute, second};
        std::memcpy(&record.year, time, sizeof time); // the six time fields lie back to back
        return record;
    }

    // IInkHost
    void WriteLog(const char* line) override { logLines.append(QString::fromUtf8(line)); }

    void FreeRecords(InkRecord* records) override
    {
        ++freeCalls;
        freed.append(records);
        if (!records)
            return;
        const auto it = std::find_if(m_live.begin(), m_live.end(),
                                     [records](const auto& array) { return array.data() == records; });
        if (it == m_live.end()) {
            ++unknownFrees; // never handed out, or freed twice
            return;
        }
        lastFreedCopy = std::move(*it);
        m_live.erase(it);
    }

    bool IsInkLimited() override { return limited; }

    bool GetInkList(InkRecordList* list) override { return fill(inkList, list, inkListCalls); }
    bool GetRefillLog(InkRecordList* list) override { return fill(refillLog, list, refillLogCalls); }

    // Arrays handed out and not yet returned.
    int outstanding() const { return static_cast<int>(m_live.size()); }

    // Called inside each fill call, after the list has been filled, so that a
    // test can look at the array the plug-in is about to read.
    std::function<void(const InkRecordList&)> onFill;

    bool limited = true;
    Answer inkList;
    Answer refillLog;

    QStringList logLines;
    QList<InkRecord*> freed;
    std::vector<InkRecord> lastFreedCopy;
    int freeCalls = 0, unknownFrees = 0, inkListCalls = 0, refillLogCalls = 0;
    int badListsReceived = 0; // fill calls whose list was not count 0, null records

private:
    bool fill(const Answer& answer, InkRecordList* list, int& calls)
    {
        ++calls;
        if (list->count != 0 || list->records != nullptr)
            ++badListsReceived;
        list->count = answer.count.value_or(static_cast<int>(answer.records.size()));
        if (!answer.nullRecords && !answer.records.empty()) {
            m_live.push_back(answer.records); // a fresh array of exactly this size
            list->records = m_live.back().data();
        }
        if (onFill)
            onFill(*list);
        return answer.result;
    }

    std::vector<std::vector<InkRecord>> m_live; // moving one keeps its array where it is
};
