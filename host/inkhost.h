#ifndef TINTWELLHOST_INKHOST_H
#define TINTWELLHOST_INKHOST_H

#include "devicemodel.h"
#include "recordarrays.h"

#include "plugin/vqtintwell.h"

#include <QObject>

// The host's side of the plug-in boundary: serves a DeviceModel to the
// plug-in and checks that the plug-in keeps its part of the contract.
// Log lines and contract problems go to standard error and out as signals.
class InkHost : public QObject, public IInkHost
{
    Q_OBJECT

public:
    explicit InkHost(const DeviceModel& model, QObject* parent = nullptr);

    const DeviceModel& model() const { return m_model; }

    // Reports every array handed out and not yet returned. The plug-in
    // returns its arrays before a show operation ends, so the host calls
    // this after each one and before it exits.
    void checkAllReturned();

    int outstandingArrays() const { return m_arrays.outstandingCount(); }
    int problemCount() const { return m_problems; }

    // IInkHost
    void WriteLog(const char* line) override;
    void FreeRecords(InkRecord* records) override;
    bool IsInkLimited() override;
    bool GetInkList(InkRecordList* list) override;
    bool GetRefillLog(InkRecordList* list) override;

Q_SIGNALS:
    void logLine(const QString& line);
    void contractProblem(const QString& message);

private:
    bool checkIncomingList(const InkRecordList* list, const QString& call);
    void reportProblem(const QString& message);

    DeviceModel m_model;
    RecordArrays m_arrays;
    int m_fillCalls = 0;
    int m_problems = 0;
};

#endif
