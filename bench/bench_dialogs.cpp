// SPDX-License-Identifier: MIT
// Time from the show call to the first painted frame of the ink management
// window and of the refill log, beside the least a one-item-per-cell table
// of the same shape can cost: a bare QTableWidget filled with the same items
// (the same texts, centred, built from the same records), shown and painted
// once, in the same run.
//
// The windows are opened the way a host opens them: ShowForWidget for the
// ink management window, the "Ink Refill Log" button for the refill log. The
// clock stops once the first paint of the table's viewport has been handled,
// so the frame that counts is the one that shows the rows.
//
// Usage: bench_dialogs [rounds] [N...]   (defaults: 5 rounds, N = 8 1000 10000 100000)
#include "dialogs/recordformat.h"
#include "plugin/ctintwell.h"
#include "plugin/vqtintwell.h"
#include "testsupport/recordinghost.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

InkRecord makeRecord(int i)
{
    InkRecord record;
    std::memset(&record, 0, sizeof record);
    std::snprintf(record.name, sizeof record.name, "Ink %d", i);
    record.amount = 0.25 * (i % 4000);
    // Shuffled dates, so that the refill log has sorting to do.
    const int k = int((i * 2654435761u) % 1000000u);
    record.year = 2000 + k % 27;
    record.month = 1 + k % 12;
    record.day = 1 + k % 28;
    record.hour = k % 24;
    record.minute = k % 60;
    record.second = (k / 60) % 60;
    return record;
}

// Watches the whole application for the first paint of a table viewport in
// the window named 'windowName' and calls 'then' once that paint is done.
class FirstPaint : public QObject
{
public:
    FirstPaint(const QString& windowName, std::function<void(QWidget* window)> then)
        : m_windowName(windowName)
        , m_then(std::move(then))
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_seen || event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        auto* table = qobject_cast<QTableWidget*>(widget->parentWidget());
        if (!table || table->viewport() != widget || widget->window()->objectName() != m_windowName)
            return false;
        m_seen = true;
        // Queued: runs once this paint and the frame it belongs to are finished.
        QPointer<QWidget> window = widget->window();
        QTimer::singleShot(0, this, [this, window]() {
            if (window)
                m_then(window);
        });
        return false;
    }

private:
    QString m_windowName;
    std::function<void(QWidget*)> m_then;
    bool m_seen = false;
};

void rejectDialog(QWidget* window)
{
    if (auto* dialog = qobject_cast<QDialog*>(window))
        dialog->reject();
}

// ms from ShowForWidget to the first painted rows of the ink list.
double inkManagementMs(CTintwell& tintwell, QWidget& parent)
{
    QElapsedTimer clock;
    double ms = 0;
    FirstPaint watch(QStringLiteral("InkManagement"), [&](QWidget* window) {
        ms = clock.nsecsElapsed() / 1e6;
        rejectDialog(window);
    });
    clock.start();
    tintwell.ShowForWidget(&parent, 0);
    return ms;
}

// ms from the "Ink Refill Log" click to the first painted rows of the history.
double refillLogMs(CTintwell& tintwell, QWidget& parent)
{
    QElapsedTimer clock;
    double ms = 0;
    QPointer<QWidget> inkWindow;
    FirstPaint refillWatch(QStringLiteral("InkRefillLog"), [&](QWidget* window) {
        ms = clock.nsecsElapsed() / 1e6;
        rejectDialog(window);
    });
    FirstPaint inkWatch(QStringLiteral("InkManagement"), [&](QWidget* window) {
        inkWindow = window;
        clock.start();
        window->findChild<QPushButton*>(QStringLiteral("pushButton_inkRefillLog"))->click();
        rejectDialog(inkWindow);
    });
    tintwell.ShowForWidget(&parent, 0);
    return ms;
}

// ms from the start of filling a bare table to its first painted rows.
double bareTableMs(const std::vector<InkRecord>& records, int columns)
{
    QElapsedTimer clock;
    double ms = 0;
    QEventLoop loop;
    FirstPaint watch(QStringLiteral("bare"), [&](QWidget*) {
        ms = clock.nsecsElapsed() / 1e6;
        loop.quit();
    });
    clock.start();
    QTableWidget table(0, columns);
    table.setObjectName(QStringLiteral("bare"));
    table.setRowCount(int(records.size()));
    auto centred = [](const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        return item;
    };
    const QTextCodec* codec = RecordFormat::localCodec();
    int row = 0;
    for (const InkRecord& record : records) {
        int column = 0;
        if (columns == 3)
            table.setItem(row, column++, centred(RecordFormat::time(record)));
        table.setItem(row, column++, centred(RecordFormat::name(record, codec)));
        table.setItem(row, column, centred(RecordFormat::amount(record.amount)));
        ++row;
    }
    table.resize(600, 400);
    table.show();
    loop.exec();
    return ms;
}

// Best of 'rounds' for each of the two, their rounds taken in turn so that
// both meet the same state of the allocator and the caches.
std::pair<double, double> bestOfPair(int rounds, const std::function<double()>& a, const std::function<double()>& b)
{
    double leastA = std::numeric_limits<double>::max();
    double leastB = leastA;
    for (int i = 0; i < rounds; ++i) {
        leastA = std::min(leastA, a());
        leastB = std::min(leastB, b());
    }
    return {leastA, leastB};
}

// The offscreen platform says on every activation that it cannot raise a
// window; that would bury the table.
QtMessageHandler g_previousHandler = nullptr;

void quietRaiseNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("does not support raise()")))
        g_previousHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    g_previousHandler = qInstallMessageHandler(quietRaiseNotice);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 5;
    std::vector<int> sizes;
    for (int i = 2; i < args.size(); ++i)
        sizes.push_back(args.at(i).toInt());
    if (sizes.empty())
        sizes = {8, 1000, 10000, 100000};

    RecordingHost host;
    CTintwell tintwell;
    tintwell.SetHost(&host);
    QWidget parent;
    parent.resize(800, 600);
    parent.show();

    std::printf("platform %s, best of %d rounds, ms from the show call to the first painted rows\n",
                qPrintable(QApplication::platformName()), rounds);
    std::printf("%8s  %10s %10s %6s  %10s %10s %6s\n", "N", "ink", "bare", "ratio", "refill", "bare", "ratio");
    for (const int n : sizes) {
        std::vector<InkRecord> records;
        records.reserve(size_t(n));
        for (int i = 0; i < n; ++i)
            records.push_back(makeRecord(i));

        host.inkList.records = records;
        host.refillLog.records.clear();
        const auto [ink, inkBare] = bestOfPair(
            rounds, [&] { return inkManagementMs(tintwell, parent); }, [&] { return bareTableMs(records, 2); });

        host.inkList.records.resize(std::min<size_t>(records.size(), 8));
        host.refillLog.records = records;
        const auto [refill, refillBare] = bestOfPair(
            rounds, [&] { return refillLogMs(tintwell, parent); }, [&] { return bareTableMs(records, 3); });

        std::printf("%8d  %10.2f %10.2f %6.2f  %10.2f %10.2f %6.2f\n", n, ink, inkBare, ink / inkBare, refill,
                    refillBare, refill / refillBare);
        std::fflush(stdout);
    }
    return 0;
}
