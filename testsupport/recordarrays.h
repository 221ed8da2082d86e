// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_TESTSUPPORT_RECORDARRAYS_H
#define VQTINTWELL_TESTSUPPORT_RECORDARRAYS_H

#include "plugin/vqtintwell.h"

#include <algorithm>
#include <vector>

// The record arrays a host has handed to the plug-in. Each must come back
// through FreeRecords exactly once: this keeps every array alive until then
// and tells a proper return from a second one or from a pointer that was
// never handed out.
class RecordArrays
{
public:
    // A fresh array holding 'records'; null for none.
    InkRecord* handOut(std::vector<InkRecord> records)
    {
        if (records.empty())
            return nullptr;
        // Moving a vector keeps its buffer, so earlier arrays stay put.
        m_out.push_back(std::move(records));
        return m_out.back().data();
    }

    // False for a pointer that is not out; null stands for no array and is
    // a proper return.
    bool takeBack(const InkRecord* records)
    {
        if (!records)
            return true;
        const auto it = std::find_if(m_out.begin(), m_out.end(),
                                     [records](const std::vector<InkRecord>& out) { return out.data() == records; });
        if (it == m_out.end())
            return false;
        m_lastReturned = std::move(*it);
        m_out.erase(it);
        return true;
    }

    int outstanding() const { return static_cast<int>(m_out.size()); }
    // The array that came back last, as the plug-in left it.
    const std::vector<InkRecord>& lastReturned() const { return m_lastReturned; }

private:
    std::vector<std::vector<InkRecord>> m_out;
    std::vector<InkRecord> m_lastReturned;
};

#endif
