// A minimal host of the VqTintwell plug-in: a device with two inks and two
// refills, the library loaded from beside the executable with the loader
// helper, and a window from which both show calls open the ink management
// window.
//
// With --auto-close it runs without anyone at the screen (for CI, also with
// QT_QPA_PLATFORM=offscreen): it opens the window through both show calls,
// opens and closes the refill history with the windows' own buttons, checks
// what came back and exits 0, or 1 on any failure.
#include <vqtintwell/vqtintwellloader.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The host's side of the boundary. Each fill call hands out a new array; the
// plug-in gives every one back through FreeRecords.
class MinimalInkHost : public IInkHost
{
public:
    void WriteLog(const char* line) override
    {
        std::printf("plug-in log: %s\n", line);
        ++m_logLines;
    }

    void FreeRecords(InkRecord* records) override
    {
        if (!records)
            return;
        delete[] records;
        ++m_freed;
    }

    bool IsInkLimited() override { return true; }

    bool GetInkList(InkRecordList* list) override
    {
        return fill(list, {ink("Cyan", 250.0), ink("Black", 12.5)});
    }

    bool GetRefillLog(InkRecordList* list) override
    {
        ++m_refillLogCalls;
        return fill(list, {refill(ink("Cyan", 500.0), 2025, 11, 2, 9, 30, 0),
                           refill(ink("Black", 250.0), 2025, 12, 1, 14, 5, 12)});
    }

    int outstandingArrays() const { return m_handedOut - m_freed; }
    int refillLogCalls() const { return m_refillLogCalls; }
    int logLines() const { return m_logLines; }

private:
    // Names are in the local 8-bit code page; plain ASCII reads the same in all.
    static InkRecord ink(const char* name, double amount)
    {
        InkRecord record;
        std::memset(&record, 0, sizeof record);
        std::strncpy(record.name, name, sizeof record.name - 1);
        record.amount = amount;
        return record;
    }

    static InkRecord refill(InkRecord record, int year, int month, int day, int hour, int minute, int second)
    {
        record.year = year;
        record.month = month;
        record.day = day;
        record.hour = hour;
        record.minute = minute;
        record.second = second;
        return record;
    }

    bool fill(InkRecordList* list, const std::vector<InkRecord>& records)
    {
        list->count = static_cast<std::int32_t>(records.size());
        list->records = new InkRecord[records.size()];
        std::copy(records.begin(), records.end(), list->records);
        ++m_handedOut;
        return true;
    }

    int m_handedOut = 0;
    int m_freed = 0;
    int m_refillLogCalls = 0;
    int m_logLines = 0;
};

// Plays the operator: in the ink management window presses "Ink Refill Log",
// closes the refill history, then closes the ink management window. The
// windows are modal, so it works from a timer while their loops run. Gives
// up, closing whatever is open, after a time limit.
class AutoCloser : public QObject
{
public:
    AutoCloser()
    {
        m_clock.start();
        connect(&m_timer, &QTimer::timeout, this, &AutoCloser::step);
        m_timer.start(50);
    }

    bool timedOut() const { return m_timedOut; }

private:
    void step()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (m_clock.elapsed() > TimeLimitMs) {
            m_timedOut = true;
            if (modal)
                modal->close();
            return;
        }
        if (!modal || modal == m_pressedIn)
            return;
        const QString name = modal->objectName();
        if (name == QLatin1String("InkRefillLog")) {
            press(modal, "pushButton_close");
            m_refillShown = true;
        } else if (name == QLatin1String("InkManagement")) {
            press(modal, m_refillShown ? "pushButton_close" : "pushButton_inkRefillLog");
        }
    }

    // Queued, because the refill button runs a modal loop of its own, which
    // must not run inside this timer's slot.
    void press(QWidget* window, const char* button)
    {
        m_pressedIn = window;
        if (auto* target = window->findChild<QPushButton*>(QLatin1String(button)))
            QMetaObject::invokeMethod(target, "click", Qt::QueuedConnection);
    }

    static constexpr qint64 TimeLimitMs = 20000;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QPointer<QWidget> m_pressedIn;
    bool m_refillShown = false;
    bool m_timedOut = false;
};

bool check(bool condition, const char* what)
{
    if (!condition)
        std::fprintf(stderr, "minimal-host: %s\n", what);
    return condition;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool autoClose = app.arguments().contains(QStringLiteral("--auto-close"));

    // The host outlives the interface object it is given, and the loader
    // unloads the library while the application still exists.
    MinimalInkHost host;
    VqTintwellLoader tintwell;
    const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/')
        + QString::fromLatin1(VqTintwellLoader::defaultFileName());
#if defined(_WIN32)
    const std::string file = path.toStdString(); // UTF-8, widened by the loader
#else
    const std::string file = QFile::encodeName(path).toStdString();
#endif
    if (!tintwell.load(file)) {
        std::fprintf(stderr, "minimal-host: %s\n", tintwell.errorString().c_str());
        return 1;
    }
    // Also loads the translation that Lang/Lang.ini chooses.
    if (!tintwell->SetHost(&host)) {
        std::fprintf(stderr, "minimal-host: SetHost failed\n");
        return 1;
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal VqTintwell host"));
    auto* overWidget = new QPushButton(QStringLiteral("Ink management over this widget"), &window);
    auto* overWindow = new QPushButton(QStringLiteral("Ink management over the native window"), &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(overWidget);
    layout->addWidget(overWindow);

    const auto showForWidget = [&]() { return tintwell->ShowForWidget(&window, 0); };
    // Off Windows the library takes a window's WId as its native handle.
    const auto showForWindow = [&]() { return tintwell->ShowForWindow(reinterpret_cast<HWND>(window.winId()), 0); };
    QObject::connect(overWidget, &QPushButton::clicked, &window, showForWidget);
    QObject::connect(overWindow, &QPushButton::clicked, &window, showForWindow);
    window.show();

    if (!autoClose)
        return app.exec();

    QTimer::singleShot(0, &window, [&]() {
        bool ok = true;
        {
            AutoCloser closer;
            ok = check(showForWidget(), "ShowForWidget did not end through a close button") && ok;
            ok = check(!closer.timedOut(), "the windows did not close in time (ShowForWidget)") && ok;
        }
        {
            AutoCloser closer;
            ok = check(showForWindow(), "ShowForWindow did not end through a close button") && ok;
            ok = check(!closer.timedOut(), "the windows did not close in time (ShowForWindow)") && ok;
        }
        ok = check(host.refillLogCalls() == 2, "the refill history was not read once per opening") && ok;
        ok = check(host.outstandingArrays() == 0, "record arrays did not all come back") && ok;
        ok = check(host.logLines() == 0, "the plug-in reported problems with the host's data") && ok;
        std::printf("minimal-host: %s\n", ok ? "both show calls passed" : "FAILED");
        app.exit(ok ? 0 : 1);
    });
    return app.exec();
}
