#ifndef TINTWELLHOST_RECORDARRAYS_H
#define TINTWELLHOST_RECORDARRAYS_H

#include "plugin/vqtintwell.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The record arrays the host has handed to the plug-in. Each must come back
// exactly once; this keeps them alive until then and tells a first return
// from a second one and from a pointer that was never handed out.
class RecordArrays
{
public:
    enum class Return {
        Accepted,     // handed out and not returned before; now released
        Null,         // a null pointer, which the contract allows
        AlreadyReturned,
        Unknown,      // never handed out by this host
    };

    RecordArrays() = default;
    RecordArrays(const RecordArrays&) = delete;
    RecordArrays& operator=(const RecordArrays&) = delete;

    // A zeroed array of 'count' records, at least one; 'origin' names the
    // call it is for in later reports.
    InkRecord* allocate(int count, const QString& origin);

    // Releases an array coming back; 'origin' receives the name of its call
    // when the array is known.
    Return release(InkRecord* records, QString* origin = nullptr);

    int outstandingCount() const { return static_cast<int>(m_live.size()); }

    // Origins of the arrays still out that no earlier call has named, so a
    // missing return is reported once.
    QStringList takeUnreportedOutstanding();

private:
    struct Array
    {
        std::unique_ptr<InkRecord[]> records;
        QString origin;
        bool reported = false;
    };
    struct Returned
    {
        const InkRecord* records;
        QString origin;
    };

    std::vector<Array> m_live;
    // Recently returned pointers; only kept to name a second return.
    std::vector<Returned> m_returned;
};

#endif
