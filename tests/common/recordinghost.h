#ifndef VQTINTWELL_TESTS_RECORDINGHOST_H
#define VQTINTWELL_TESTS_RECORDINGHOST_H

#include "plugin/vqtintwell.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

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
        InkRecord record;
        std::memset(&record, 0, sizeof record);
        std::memcpy(record.name, name.constData(),
                    std::min<size_t>(static_cast<size_t>(name.size()), sizeof record.name - 1));
        record.amount = amount;
        return record;
    }

    static InkRecord refill(int year, int month, int day, int hour, int minute, int second,
                            const QByteArray& name, double amount)
    {
        InkRecord record = ink(name, amount);
        record.year = year;
        record.month = month;
        record.day = day;
        record.hour = hour;
        record.minute = minute;
        record.second = second;
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
        for (auto it = m_live.begin(); it != m_live.end(); ++it) {
            if (it->get() == records) {
                lastFreedCopy.assign(records, records + m_liveSizes[it - m_live.begin()]);
                m_liveSizes.erase(m_liveSizes.begin() + (it - m_live.begin()));
                m_live.erase(it);
                return;
            }
        }
        ++unknownFrees; // never handed out, or freed twice
    }

    bool IsInkLimited() override
    {
        ++limitedCalls;
        return limited;
    }

    bool GetInkList(InkRecordList* list) override
    {
        ++inkListCalls;
        return fill(inkList, list);
    }

    bool GetRefillLog(InkRecordList* list) override
    {
        ++refillLogCalls;
        return fill(refillLog, list);
    }

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
    int freeCalls = 0;
    int unknownFrees = 0;
    int limitedCalls = 0;
    int inkListCalls = 0;
    int refillLogCalls = 0;
    int badListsReceived = 0; // fill calls whose list was not count 0, null records

private:
    bool fill(const Answer& answer, InkRecordList* list)
    {
        if (list->count != 0 || list->records != nullptr)
            ++badListsReceived;
        list->count = answer.count.value_or(static_cast<int>(answer.records.size()));
        if (!answer.nullRecords && !answer.records.empty()) {
            std::unique_ptr<InkRecord[]> array(new InkRecord[answer.records.size()]);
            std::copy(answer.records.begin(), answer.records.end(), array.get());
            list->records = array.get();
            m_liveSizes.push_back(answer.records.size());
            m_live.push_back(std::move(array));
        }
        if (onFill)
            onFill(*list);
        return answer.result;
    }

    std::vector<std::unique_ptr<InkRecord[]>> m_live;
    std::vector<size_t> m_liveSizes;
};

#endif
