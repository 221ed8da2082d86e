// SPDX-License-Identifier: MIT
// The host's record arrays, as its fill calls hand them to both windows:
// counts that claim more or fewer records than the array holds or come
// without one, names without a terminator, amounts and times of every value.
//
// Input: a flags byte (1 ink is limited, 2 the ink list and 4 the refill
// log succeed, 8 and 16 they hand out no array), the two claimed counts
// (int32, little-endian), how many of the records belong to the ink list,
// then 168-byte records as they lie in the host's arrays.
//
// Each array holds exactly the records given, so AddressSanitizer sees any
// read beyond it. A count above that would be the host lying about its own
// memory, which nothing can guard against, so it is cut to the array.
#include "fuzzapp.h"

#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "plugin/globals.h"
#include "testsupport/recordinghost.h"

#include <cstring>

namespace {

void answer(RecordingHost::Answer& answer, bool result, bool noArray, int32_t count,
            std::vector<InkRecord> records)
{
    answer.result = result;
    answer.noArray = noArray;
    answer.count =
        noArray || records.empty() ? count : std::min<int32_t>(count, int32_t(records.size()));
    answer.records = std::move(records);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzApp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t head[10] = {};
    std::memcpy(head, data, std::min(size, sizeof head));
    int32_t counts[2];
    std::memcpy(counts, head + 1, sizeof counts);
    std::vector<InkRecord> records(size > sizeof head ? (size - sizeof head) / sizeof(InkRecord)
                                                      : 0);
    if (!records.empty())
        std::memcpy(records.data(), data + sizeof head, records.size() * sizeof(InkRecord));
    const auto split = records.begin() + std::min<size_t>(head[9], records.size());

    RecordingHost host;
    host.limited = head[0] & 1;
    answer(host.inkList, head[0] & 2, head[0] & 8, counts[0], {records.begin(), split});
    answer(host.refillLog, head[0] & 4, head[0] & 16, counts[1], {split, records.end()});
    g_host = &host;
    {
        const InkManagement ink(0);
        const InkRefillLog refills;
    }
    g_host = nullptr;
    fuzzCheck(host.keptContract(), "an array freed twice or never, or a list handed over dirty");
    return 0;
}
