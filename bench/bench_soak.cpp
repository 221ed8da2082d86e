// SPDX-License-Identifier: MIT
// Resident memory over many openings and closings of both windows in one
// process. Each cycle opens the ink management window, the refill log from
// its button, and closes both with their buttons; the windows' deferred
// deletions run before the next cycle. The first cycles warm up caches that
// stay (fonts, style sheet, glyphs); what counts is the slope after them.
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
#include <QFile>
#include <QPixmapCache>

#include <cstdio>
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

bool g_clearPixmapCache = false;

bool cycle(CTintwell& tintwell, QWidget& parent)
{
    // A window that does not show is rejected in the end, and the show
    // call answers false.
    DialogDriver::whenShown(QStringLiteral("InkManagement"), nullptr, [](QWidget* inkWindow) {
        DialogDriver::whenShown(QStringLiteral("InkRefillLog"), "pushButton_close");
        DialogDriver::click(inkWindow, "pushButton_inkRefillLog");
        DialogDriver::click(inkWindow, "pushButton_close");
    });
    const bool shown = tintwell.ShowForWidget(&parent, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (g_clearPixmapCache)
        QPixmapCache::clear();
    return shown;
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

    const long atStart = residentKiB();
    for (int i = 0; i < warmUp; ++i) {
        if (!cycle(tintwell, parent)) {
            std::fprintf(stderr, "warm-up cycle %d failed\n", i);
            return 1;
        }
    }
    const long afterWarmUp = residentKiB();
    std::printf("platform %s%s, VmRSS KiB: %ld at start, %ld after %d warm-up cycles\n",
                qPrintable(QApplication::platformName()), g_clearPixmapCache ? ", pixmap cache cleared per cycle" : "",
                atStart, afterWarmUp, warmUp);
    std::printf("%8s %10s\n", "cycles", "VmRSS KiB");
    const int step = std::max(1, cycles / 4);
    for (int i = 1; i <= cycles; ++i) {
        if (!cycle(tintwell, parent)) {
            std::fprintf(stderr, "cycle %d failed\n", i);
            return 1;
        }
        if (i % step == 0 || i == cycles)
            std::printf("%8d %10ld\n", i, residentKiB());
    }
    std::printf("growth after warm-up: %.2f KiB per cycle\n", double(residentKiB() - afterWarmUp) / cycles);
    return 0;
}
