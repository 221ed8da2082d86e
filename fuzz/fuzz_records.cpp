// SPDX-License-Identifier: MIT
// The host's record arrays, as its fill calls hand them to both windows:
// counts that claim more or fewer records than the array holds or come
// without one, names without a terminator, amounts and times of every value.
//
// Input: a flags byte (1 ink is limited, 2 the ink list and 4 the refill
// log succeed), the two claimed counts (int32, little-endian), how many of
// the records belong to the ink list, then 168-byte records as they lie in
// the host's arrays.
//
// Each array holds exactly the records given, so AddressSanitizer sees any
// read beyond it. A count above that would be the host lying about its own
// memory, which nothing can guard against, so it is cut to the array; a
// count with no records at all comes without an array.
#include "fuzzapp.h"

#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "plugin/globals.h"
#include "testsupport/recordinghost.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzApp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t head[10] = {};
    std::memcpy(head, data, std::min(size, sizeof head));
    std::vector<InkRecord> records(size > sizeof head ? (size - sizeof head) / sizeof(InkRecord) : 0);
    if (!records.empty())
        std::memcpy(records.data(), data + sizeof head, records.size() * sizeof(InkRecord));
    const auto split = records.begin() + std::min<size_t>(head[9], records.size());

    RecordingHost host;
    host.limited = head[0] & 1;
    host.inkList = {bool(head[0] & 2), {records.begin(), split}};
    host.refillLog = {bool(head[0] & 4), {split, records.end()}};
    for (auto [answer, at] : {std::pair(&host.inkList, 1), std::pair(&host.refillLog, 5)}) {
        int32_t count;
        std::memcpy(&count, head + at, sizeof count);
        const int32_t held = int32_t(answer->records.size());
        answer->count = held == 0 ? count : std::min(count, held);
    }
    g_host = &host;
    {
        const InkManagement ink(0);
        const InkRefillLog refills;
    }
    g_host = nullptr;
    if (!host.keptContract())
        qFatal("an array freed twice or never, or a list handed over dirty");
    return 0;
}
