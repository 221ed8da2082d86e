// SPDX-License-Identifier: MIT
#ifndef TINTWELLHOST_INKHOST_H
#define TINTWELLHOST_INKHOST_H

#include "devicemodel.h"

#include <QObject>

#include <map>
#include <vector>

// The host's side of the plug-in boundary: serves a DeviceModel and checks
// that the plug-in keeps its part of the contract. Log lines and contract
// problems go to standard error and out through logLine().
class InkHost : public QObject, public IInkHost
{
    Q_OBJECT

public:
    explicit InkHost(DeviceModel device);

    const DeviceModel& device() const { return m_device; }
    // Reports arrays that are still out. The plug-in returns its arrays
    // before a show call ends, so the host asks after each one and at exit.
    void checkAllReturned();
    int problems() const { return m_problems; }

    void WriteLog(const char* line) override;
    void FreeRecords(InkRecord* records) override;
    bool IsInkLimited() override;
    bool GetInkList(InkRecordList* list) override;
    bool GetRefillLog(InkRecordList* list) override;

Q_SIGNALS:
    void logLine(const QString& line);

private:
    bool fill(const std::vector<InkRecord>& records, bool fails, InkRecordList* list);
    void problem(const QString& message);

    DeviceModel m_device;
    // The arrays handed out and not yet back, by their address.
    std::map<const InkRecord*, std::vector<InkRecord>> m_out;
    int m_reportedOutstanding = 0;
    int m_problems = 0;
};

#endif
