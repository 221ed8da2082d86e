// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_HOSTRECORDS_H
#define VQTINTWELL_HOSTRECORDS_H

#include "plugin/vqtintwell.h"

// One fill call to the host and the matching release. The list is handed to
// the host's fill operation on construction and its records pointer goes back
// through FreeRecords on destruction, exactly once, whatever the caller did
// in between, and also when the fill call throws.
class HostRecords
{
public:
    using FillCall = bool (IInkHost::*)(InkRecordList*);

    HostRecords(IInkHost* host, FillCall fill);
    ~HostRecords();

    HostRecords(const HostRecords&) = delete;
    HostRecords& operator=(const HostRecords&) = delete;

    // The host's answer. A true answer that claims records but hands over no
    // array counts as false: there is nothing that could be read.
    bool succeeded() const { return m_succeeded; }
    // The count the host reported; may be zero or negative.
    int count() const { return m_list.count; }
    // The records to show: the whole array after a successful call with a
    // positive count, else an empty range.
    InkRecord* begin() const { return hasRecords() ? m_list.records : nullptr; }
    InkRecord* end() const { return hasRecords() ? m_list.records + m_list.count : nullptr; }

private:
    bool hasRecords() const { return m_succeeded && m_list.count > 0; }

    IInkHost* m_host;
    InkRecordList m_list{0, nullptr};
    bool m_succeeded = false;
};

#endif
