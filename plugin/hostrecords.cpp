// SPDX-License-Identifier: MIT
#include "plugin/hostrecords.h"

HostRecords::HostRecords(IInkHost* host, FillCall fill)
    : m_host(host)
{
    if (!m_host)
        return;
    try {
        m_succeeded = (m_host->*fill)(&m_list);
    } catch (...) {
        // No destructor runs for an object whose constructor throws, so
        // whatever the host put into the list before throwing goes back here.
        m_host->FreeRecords(m_list.records);
        throw;
    }
    if (m_succeeded && m_list.count > 0 && !m_list.records)
        m_succeeded = false;
}

HostRecords::~HostRecords()
{
    if (m_host)
        m_host->FreeRecords(m_list.records);
}
