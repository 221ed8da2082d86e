#include "inkhost.h"

#include "recordname.h"

#include <cstdio>

InkHost::InkHost(const DeviceModel& model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
}

void InkHost::checkAllReturned()
{
    const QStringList missing = m_arrays.takeUnreportedOutstanding();
    for (const QString& origin : missing)
        reportProblem(QStringLiteral("the array of %1 was never returned through FreeRecords")
                          .arg(origin));
}

void InkHost::WriteLog(const char* line)
{
    const QString text = line ? QString::fromUtf8(line) : QStringLiteral("(null line)");
    std::fprintf(stderr, "tintwell-host: plug-in log: %s\n", text.toLocal8Bit().constData());
    Q_EMIT logLine(text);
}

void InkHost::FreeRecords(InkRecord* records)
{
    QString origin;
    switch (m_arrays.release(records, &origin)) {
    case RecordArrays::Return::Accepted:
    case RecordArrays::Return::Null:
        break;
    case RecordArrays::Return::AlreadyReturned:
        reportProblem(QStringLiteral("the array of %1 came back through FreeRecords a second time")
                          .arg(origin));
        break;
    case RecordArrays::Return::Unknown:
        reportProblem(QStringLiteral("FreeRecords got %1, which this host never handed out")
                          .arg(QStringLiteral("0x%1").arg(reinterpret_cast<quintptr>(records), 0, 16)));
        break;
    }
}

bool InkHost::IsInkLimited()
{
    return m_model.limited;
}

bool InkHost::GetInkList(InkRecordList* list)
{
    const QString call = QStringLiteral("GetInkList call %1").arg(++m_fillCalls);
    if (!checkIncomingList(list, call))
        return false;
    const int count = m_model.inks.size();
    if (count > 0) {
        list->records = m_arrays.allocate(count, QStringLiteral("%1 (%2 records)").arg(call).arg(count));
        for (int i = 0; i < count; ++i) {
            const DeviceModel::Ink& ink = m_model.inks.at(i);
            InkRecord& record = list->records[i];
            record.amount = ink.amount;
            RecordName::copyInto(record.name, ink.name);
        }
    }
    list->count = count;
    // A failing call still hands out its array: the plug-in must return it
    // whatever the result, and this shows whether it does.
    return !m_model.failInkList;
}

bool InkHost::GetRefillLog(InkRecordList* list)
{
    const QString call = QStringLiteral("GetRefillLog call %1").arg(++m_fillCalls);
    if (!checkIncomingList(list, call))
        return false;
    const int count = m_model.refillLog.size();
    if (count > 0) {
        list->records = m_arrays.allocate(count, QStringLiteral("%1 (%2 records)").arg(call).arg(count));
        for (int i = 0; i < count; ++i) {
            const DeviceModel::Refill& refill = m_model.refillLog.at(i);
            InkRecord& record = list->records[i];
            record.amount = refill.amount;
            RecordName::copyInto(record.name, refill.ink);
            const QDate date = refill.time.date();
            const QTime time = refill.time.time();
            record.year = date.year();
            record.month = date.month();
            record.day = date.day();
            record.hour = time.hour();
            record.minute = time.minute();
            record.second = time.second();
        }
    }
    list->count = count;
    return !m_model.failRefillLog;
}

bool InkHost::checkIncomingList(const InkRecordList* list, const QString& call)
{
    if (!list) {
        reportProblem(QStringLiteral("%1 got a null list").arg(call));
        return false;
    }
    // Overwriting a non-empty list could lose an array the plug-in still holds.
    if (list->count != 0 || list->records) {
        reportProblem(QStringLiteral("%1 got a list that was not empty (count %2)")
                          .arg(call)
                          .arg(list->count));
        return false;
    }
    return true;
}

void InkHost::reportProblem(const QString& message)
{
    ++m_problems;
    std::fprintf(stderr, "tintwell-host: contract: %s\n", message.toLocal8Bit().constData());
    Q_EMIT contractProblem(message);
}
