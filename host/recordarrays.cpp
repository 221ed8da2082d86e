#include "recordarrays.h"

#include <algorithm>

namespace {

// Enough to recognise a double return within one session of dialogs without
// letting the list grow for ever.
constexpr size_t returnedKept = 256;

} // namespace

InkRecord* RecordArrays::allocate(int count, const QString& origin)
{
    const size_t size = static_cast<size_t>(std::max(count, 1));
    // make_unique value-initialises, so every byte of the records is zero.
    Array array{std::make_unique<InkRecord[]>(size), origin};
    InkRecord* records = array.records.get();
    // The allocator may hand out an address that was returned before; from
    // now on returning it is legitimate again.
    m_returned.erase(std::remove_if(m_returned.begin(), m_returned.end(),
                                    [records](const Returned& r) { return r.records == records; }),
                     m_returned.end());
    m_live.push_back(std::move(array));
    return records;
}

RecordArrays::Return RecordArrays::release(InkRecord* records, QString* origin)
{
    if (!records)
        return Return::Null;
    const auto live = std::find_if(m_live.begin(), m_live.end(),
                                   [records](const Array& a) { return a.records.get() == records; });
    if (live != m_live.end()) {
        if (origin)
            *origin = live->origin;
        if (m_returned.size() >= returnedKept)
            m_returned.erase(m_returned.begin());
        m_returned.push_back({records, live->origin});
        m_live.erase(live);
        return Return::Accepted;
    }
    const auto returned = std::find_if(m_returned.begin(), m_returned.end(),
                                       [records](const Returned& r) { return r.records == records; });
    if (returned != m_returned.end()) {
        if (origin)
            *origin = returned->origin;
        return Return::AlreadyReturned;
    }
    return Return::Unknown;
}

QStringList RecordArrays::takeUnreportedOutstanding()
{
    QStringList origins;
    for (Array& array : m_live) {
        if (!array.reported) {
            array.reported = true;
            origins.append(array.origin);
        }
    }
    return origins;
}
