#include "plugin/hostrecords.h"

HostRecords::HostRecords(IInkHost* host, FillCall fill)
    : m_host(host)
{
    if (!m_host)
        return;
    m_succeeded = (m_host->*fill)(&m_list);
    if (m_succeeded && m_list.count > 0 && !m_list.records)
        m_succeeded = false;
}

HostRecords::~HostRecords()
{
    if (m_host)
        m_host->FreeRecords(m_list.records);
}
