// SPDX-License-Identifier: MIT
// Memory over many openings and closings in one process, in three
// runs: a bare QDialog over the same parent, the ink management window alone,
// and the ink window with the refill log opened from its button. Every window
// closes by its button and the deferred deletions run before the next cycle.
// The first cycles warm up caches that stay (fonts, style sheet, glyphs);
// what counts is the slope after them.
//
// Qt keeps rendered pixmaps (style sheet backgrounds, the drop shadow) in its
// process-wide QPixmapCache, which grows up to its limit (10 MiB) before it
// evicts. --clear-pixmap-cache empties it after every cycle, which tells the
// library's own memory apart from that cache's filling.
//
// Usage: bench_soak [--clear-pixmap-cache] [cycles] [warm-up cycles]   (defaults: 1000, 100)
#include "plugin/ctintwell.h"
#include "plugin/vqtintwell.h"
#include "testsupport/dialogdriver.h"
#include "testsupport/recordinghost.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPixmapCache>

#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

// VmRSS of this process in KiB, or -1 when /proc cannot tell.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// KiB of heap in use. It moves with what is held, where the resident size
// moves by the pages the allocator takes and keeps.
double heapKiB()
{
    return double(mallinfo2().uordblks) / 1024;
}

bool g_clearPixmapCache = false;

// What every cycle ends with: the windows' deferred deletions, and the
// pixmap cache emptied when asked.
bool settle(bool shown)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (g_clearPixmapCache)
        QPixmapCache::clear();
    return shown;
}

// The ink window, then the refill log from its button; both closed with their buttons.
bool bothWindows(CTintwell& tintwell, QWidget& parent)
{
    // A window that does not show is rejected in the end, and the show
    // call answers false.
    DialogDriver::whenShown(QStringLiteral("InkManagement"), nullptr, [](QWidget* inkWindow) {
        DialogDriver::whenShown(QStringLiteral("InkRefillLog"), "pushButton_close");
        DialogDriver::click(inkWindow, "pushButton_inkRefillLog");
        DialogDriver::click(inkWindow, "pushButton_close");
    });
    return settle(tintwell.ShowForWidget(&parent, 0));
}

bool inkWindow(CTintwell& tintwell, QWidget& parent)
{
    DialogDriver::whenShown(QStringLiteral("InkManagement"), "pushButton_close");
    return settle(tintwell.ShowForWidget(&parent, 0));
}

// The least a modal window costs: a bare QDialog over the same parent, shown
// and closed the same way.
bool bareDialog(CTintwell&, QWidget& parent)
{
    QDialog dialog(&parent);
    dialog.setObjectName(QStringLiteral("bare"));
    dialog.resize(875, 563);
    DialogDriver::whenShown(QStringLiteral("bare"), nullptr, [&](QWidget*) { dialog.reject(); });
    dialog.exec();
    return settle(true);
}

// KiB of heap in use per cycle over 'cycles' cycles after 'warmUp' ones; the
// resident size is printed beside it.
double perCycle(const char* name, bool (*cycle)(CTintwell&, QWidget&), CTintwell& tintwell, QWidget& parent, int cycles,
                int warmUp)
{
    for (int i = 0; i < warmUp; ++i)
        if (!cycle(tintwell, parent))
            qFatal("%s: warm-up cycle %d failed", name, i);
    const long afterWarmUp = residentKiB();
    const double heapAfterWarmUp = heapKiB();
    std::printf("%-28s after %d warm-up cycles: VmRSS %ld KiB, heap in use %.0f KiB\n", name, warmUp, afterWarmUp,
                heapAfterWarmUp);
    const int step = std::max(1, cycles / 4);
    for (int i = 1; i <= cycles; ++i) {
        if (!cycle(tintwell, parent))
            qFatal("%s: cycle %d failed", name, i);
        if (i % step == 0 || i == cycles)
            std::printf("%28s %8d cycles: VmRSS %ld KiB, heap in use %.0f KiB\n", "", i, residentKiB(), heapKiB());
    }
    const double heap = (heapKiB() - heapAfterWarmUp) / cycles;
    std::printf("%28s per cycle: VmRSS %.2f KiB, heap in use %.2f KiB\n", "",
                double(residentKiB() - afterWarmUp) / cycles, heap);
    return heap;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    g_clearPixmapCache = args.removeAll(QStringLiteral("--clear-pixmap-cache")) > 0;
    const int cycles = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 1000;
    const int warmUp = args.size() > 2 ? std::max(0, args.at(2).toInt()) : 100;

    RecordingHost host;
    host.inkList.records = {inkRecord("Cyan", 250), inkRecord("Magenta", 120.5), inkRecord("Yellow", 80),
                            inkRecord("Black", 12.5)};
    host.refillLog.records = {inkRecord("Cyan", 500, {2026, 3, 1}), inkRecord("Black", 250, {2026, 3, 2}),
                              inkRecord("Yellow", 500, {2026, 3, 3})};
    CTintwell tintwell;
    tintwell.SetHost(&host);
    QWidget parent;
    parent.resize(640, 480);
    parent.show();

    std::printf("platform %s%s, VmRSS KiB at start: %ld\n", qPrintable(QApplication::platformName()),
                g_clearPixmapCache ? ", pixmap cache cleared per cycle" : "", residentKiB());
    // The cheapest first, so that what the allocator keeps from one run
    // does not flatter the next.
    const double bare = perCycle("bare dialog", bareDialog, tintwell, parent, cycles, warmUp);
    const double ink = perCycle("ink window", inkWindow, tintwell, parent, cycles, warmUp);
    const double both = perCycle("ink window and refill log", bothWindows, tintwell, parent, cycles, warmUp);
    std::printf("heap KiB per cycle after warm-up: bare dialog %.2f, ink window %.2f, both windows %.2f\n", bare, ink,
                both);
    return 0;
}
