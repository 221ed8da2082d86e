// SPDX-License-Identifier: MIT
// What the host hands over through its fill calls, fed into both dialogs.
//
// Input layout (little-endian; missing bytes read as 0):
//   byte 0      flags: 1 IsInkLimited, 2 GetInkList succeeds, 4 GetRefillLog
//               succeeds, 8 the ink list hands out no array, 16 the refill log
//               hands out no array, 32 paint both tables
//   bytes 1-4   count the host reports for the ink list (int32)
//   bytes 5-8   count the host reports for the refill log (int32)
//   byte 9      how many of the records that follow belong to the ink list;
//               the rest belong to the refill log
//   then        168-byte records as they lie in the host's arrays; a partial
//               record at the end is dropped
//
// The host allocates exactly the records it has, so AddressSanitizer sees any
// read beyond them. A count above that is the host lying about its own array,
// which nothing can guard against, so it is cut down to the array's length;
// with no array at all the count goes through as it is.
#include "fuzzapp.h"

#include "dialogs/inkmanagement.h"
#include "dialogs/inkrefilllog.h"
#include "plugin/globals.h"
#include "testsupport/recordinghost.h"

#include <QImage>
#include <QPainter>
#include <QTableWidget>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

namespace {

constexpr int InkMinimumRows = 13;
constexpr int RefillMinimumRows = 10;
const QString ListFailed = QStringLiteral("墨水加密：获取墨水信息列表失败");
const QString ListEmpty = QStringLiteral("墨水加密：没有需要显示的墨水信息");
const QString LogFailed = QStringLiteral("墨水加密：获取加墨记录列表失败！");
const QString LogEmpty = QStringLiteral("墨水加密：没有需要显示的加墨记录");

class Input
{
public:
    Input(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int32_t int32()
    {
        uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8)
            value |= uint32_t(byte()) << shift;
        return static_cast<int32_t>(value);
    }
    std::vector<InkRecord> records()
    {
        std::vector<InkRecord> result;
        while (m_size - std::min(m_pos, m_size) >= sizeof(InkRecord)) {
            InkRecord record;
            std::memcpy(&record, m_data + m_pos, sizeof record);
            m_pos += sizeof record;
            result.push_back(record);
        }
        return result;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

bool sameBytes(const InkRecord& a, const InkRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool byBytes(const InkRecord& a, const InkRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) < 0;
}

auto timeOf(const InkRecord& r)
{
    return std::tie(r.year, r.month, r.day, r.hour, r.minute, r.second);
}

void configure(RecordingHost::Answer& answer, bool result, bool noArray, int32_t count, std::vector<InkRecord> records)
{
    answer.result = result;
    answer.noArray = noArray;
    if (!noArray && !records.empty())
        count = std::min<int32_t>(count, static_cast<int32_t>(records.size()));
    answer.count = count;
    answer.records = std::move(records);
}

bool handsOutNoArray(const RecordingHost::Answer& answer)
{
    return answer.noArray || answer.records.empty();
}

// Rows the host's answer may fill: none unless it succeeded with records.
int filledRows(const RecordingHost::Answer& answer)
{
    const int count = *answer.count;
    if (!answer.result || count <= 0 || handsOutNoArray(answer))
        return 0;
    return count;
}

// The log line a dialog owes the host for its answer, if any.
QString expectedLine(const RecordingHost::Answer& answer, const QString& failed, const QString& empty)
{
    const int count = *answer.count;
    if (!answer.result || (count > 0 && handsOutNoArray(answer)))
        return failed;
    return count == 0 ? empty : QString();
}

void checkTable(QWidget* dialog, int filled, int minimumRows, const char* what)
{
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
    FuzzApp::check(table, what);
    FuzzApp::check(table->rowCount() == std::max(filled, minimumRows), what);
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column)
            FuzzApp::check((table->item(row, column) != nullptr) == (row < filled), what);
    }
}

void paintTable(QWidget* dialog)
{
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tableWidget_inkList"));
    table->resize(table->width(), 200);
    QImage image(table->size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    table->render(&painter);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    (void)argc;
    FuzzApp::start((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input input(data, size);
    const uint8_t flags = input.byte();
    const int32_t inkCount = input.int32();
    const int32_t refillCount = input.int32();
    const size_t inkRecords = input.byte();
    std::vector<InkRecord> all = input.records();
    const auto split = all.begin() + std::min(inkRecords, all.size());

    RecordingHost host;
    host.limited = flags & 1;
    configure(host.inkList, flags & 2, flags & 8, inkCount, {all.begin(), split});
    configure(host.refillLog, flags & 4, flags & 16, refillCount, {split, all.end()});
    g_host = &host;

    {
        InkManagement dialog(0);
        FuzzApp::check(host.fillCalls == 1 && host.freeCalls == 1 && host.badFrees == 0,
                       "ink list not filled and given back once");
        if (!handsOutNoArray(host.inkList)) {
            const std::vector<InkRecord>& back = host.arrays.lastReturned();
            FuzzApp::check(std::equal(host.inkList.records.begin(), host.inkList.records.end(), back.begin(),
                                      back.end(), sameBytes),
                           "the ink list came back changed");
        }
        checkTable(&dialog, filledRows(host.inkList), InkMinimumRows, "ink table rows");
        if (flags & 32)
            paintTable(&dialog);
    }
    {
        InkRefillLog dialog;
        FuzzApp::check(host.fillCalls == 2 && host.freeCalls == 2 && host.badFrees == 0,
                       "refill log not filled and given back once");
        if (!handsOutNoArray(host.refillLog)) {
            // The sorted part is a permutation of what the host gave, newest
            // first; anything past the count stays where it was.
            const std::vector<InkRecord>& original = host.refillLog.records;
            const std::vector<InkRecord>& back = host.arrays.lastReturned();
            FuzzApp::check(back.size() == original.size(), "the refill array came back with another size");
            const auto sorted = static_cast<std::ptrdiff_t>(filledRows(host.refillLog));
            std::vector<InkRecord> a(original.begin(), original.begin() + sorted);
            std::vector<InkRecord> b(back.begin(), back.begin() + sorted);
            std::sort(a.begin(), a.end(), byBytes);
            std::sort(b.begin(), b.end(), byBytes);
            FuzzApp::check(std::equal(a.begin(), a.end(), b.begin(), b.end(), sameBytes),
                           "the refill records came back changed, lost or doubled");
            for (std::ptrdiff_t i = 1; i < sorted; ++i)
                FuzzApp::check(timeOf(back[i - 1]) >= timeOf(back[i]), "refill records not newest first");
            FuzzApp::check(
                std::equal(original.begin() + sorted, original.end(), back.begin() + sorted, back.end(), sameBytes),
                "records past the count were touched");
        }
        checkTable(&dialog, filledRows(host.refillLog), RefillMinimumRows, "refill table rows");
        if (flags & 32)
            paintTable(&dialog);
    }

    FuzzApp::check(host.keptContract(), "an array freed twice, never freed, or a list handed over dirty");
    QStringList lines;
    for (const QString& line :
         {expectedLine(host.inkList, ListFailed, ListEmpty), expectedLine(host.refillLog, LogFailed, LogEmpty)}) {
        if (!line.isEmpty())
            lines << line;
    }
    FuzzApp::check(host.logLines == lines, "wrong log lines to the host");
    g_host = nullptr;
    return 0;
}
