// SPDX-License-Identifier: MIT
// A host, call after call, as the bytes say: interface objects made and
// released, hosts handed over, show calls over a live, a destroyed or no
// parent, and, from zero-delay timers while a window is open, what operators
// and hosts do meanwhile. Both hosts answer their callbacks from the same
// bytes. Each show answers true only when a button of its window closed it;
// one requested while a window is open is refused with one line to the host
// in use, and so is every call from another thread, the line coming on the
// GUI thread; SetHost takes every host and refuses none; a widget parent
// that goes takes the window with it, a native one leaves it. After each
// sequence, what a host relies on: every array back once, no window left,
// and a last correct show that works.
#include "fuzzapp.h"

#include "plugin/vqtintwell.h"
#include "testsupport/dialogdriver.h"
#include "testsupport/recordinghost.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <array>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Process-wide, as the library keeps the last host it was given; g_inUse is
// that one, the last a SetHost took.
RecordingHost g_hosts[2];
RecordingHost* g_inUse = nullptr;

const char* const Catalogues[] = {"[LANG_MGR]\nDEFAULT=0\nLANG0_FOLDER=chs\nLANG0_SHOW=1\n",
                                  "[LANG_MGR]\nDEFAULT=1\nLANG1_FOLDER=en\nLANG1_SHOW=1\n",
                                  "[LANG_MGR]\nDEFAULT=2\nLANG2_FOLDER=none\nLANG2_SHOW=1\n"};

bool isWindow(const QWidget* widget)
{
    return widget && (widget->objectName() == "InkManagement" || widget->objectName() == "InkRefillLog");
}

class Sequence
{
public:
    explicit Sequence(FuzzedDataProvider& bytes)
        : m_bytes(bytes)
    {
        m_objects.emplace_back(NewInterface(), ReleaseInterface);
    }

    // Every step consumes a byte, or once they are gone closes the window in
    // front; a show returns only when its window has closed. So every input ends.
    void run()
    {
        while (nextStep())
            step(QApplication::activeModalWidget());
    }

    // Opens a window as a host that keeps the rules does, and closes it with its button.
    bool correctShow()
    {
        g_hosts[0].inkList = g_hosts[0].refillLog = {};
        ITintwell* object = m_objects.emplace_back(NewInterface(), ReleaseInterface).get();
        QWidget parent;
        setHost(object, &g_hosts[0]);
        return showing(object, true, [&](ITintwell* o) { return o->ShowForWidget(&parent, 0); });
    }

private:
    bool nextStep() { return m_bytes.remaining_bytes() > 0 && m_steps++ < 64; }

    ITintwell* object()
    {
        return m_objects.empty() ? nullptr : m_objects[m_bytes.ConsumeIntegral<uint8_t>() % m_objects.size()].get();
    }
    QWidget* parent()
    {
        if (!m_parent) {
            m_parent = std::make_unique<QWidget>();
            m_parent->show();
        }
        return m_parent.get();
    }

    void answer(RecordingHost::Answer& answer)
    {
        answer.result = m_bytes.ConsumeBool();
        answer.throws = m_bytes.ConsumeIntegral<uint8_t>() < 16;
        answer.records.resize(m_bytes.ConsumeIntegralInRange(0, 3));
        for (InkRecord& record : answer.records) // its first bytes, the rest zero
            m_bytes.ConsumeData(&record, m_bytes.ConsumeIntegralInRange<size_t>(0, sizeof record));
        // The host may claim fewer records than it hands over, never more (it
        // would lie about its own memory), but any number with no array.
        answer.count.reset();
        if (m_bytes.ConsumeBool())
            answer.count =
                m_bytes.ConsumeIntegralInRange(INT_MIN, answer.records.empty() ? INT_MAX : int(answer.records.size()));
    }

    void setHost(ITintwell* object, RecordingHost* host)
    {
        if (object->SetHost(host) != bool(host))
            qFatal("SetHost answered otherwise than whether it was given a host");
        g_inUse = host ? host : g_inUse;
    }

    // 'allowed': the call itself is one the library takes.
    template <typename Call>
    bool showing(ITintwell* object, bool allowed, Call call)
    {
        const bool open = !m_showing.empty();
        const auto lines = g_inUse ? g_inUse->logLines.size() : 0;
        m_showing.push_back(object);
        m_closedByButton = false;
        QTimer::singleShot(0, &m_context, [this] { meanwhile(); });
        const bool shown = call(object);
        m_showing.pop_back();
        if (shown != (allowed && !open && m_closedByButton))
            qFatal("a show answered %d against how its window closed", int(shown));
        if (open && g_inUse && g_inUse->logLines.mid(lines) != QStringList{"墨水加密：弹窗已经显示！"})
            qFatal("a request while a window was open told the host otherwise than one line");
        return shown;
    }

    void click(QWidget* window, int button)
    {
        const char* const buttons[] = {"pushButton_close", "pushButton_close_2", "pushButton_inkRefillLog"};
        m_closedByButton = m_closedByButton || (window->objectName() == "InkManagement" && button < 2);
        try {
            DialogDriver::click(window, buttons[button]);
        } catch (...) { // the refill history's callbacks threw it through the ink window
            qFatal("an exception came out of a button");
        }
    }

    void show(ITintwell* object)
    {
        // Whatever the reserved argument, it changes nothing.
        const int reserved = std::array{0, 1, -1, INT_MIN, INT_MAX}[m_bytes.ConsumeIntegralInRange(0, 4)];
        if (m_bytes.ConsumeBool()) {
            QWidget* widget = m_bytes.ConsumeBool() ? parent() : nullptr;
            const bool over = std::exchange(m_overParent, m_overParent || (widget && m_showing.empty()));
            showing(object, widget != nullptr, [&](ITintwell* o) { return o->ShowForWidget(widget, reserved); });
            m_overParent = over;
            return;
        }
        const int kind = m_bytes.ConsumeIntegralInRange(0, 2);
        const HWND handle = kind == 0 ? reinterpret_cast<HWND>(parent()->winId()) : kind == 1 ? m_deadHandle : nullptr;
        showing(object, true, [&](ITintwell* o) { return o->ShowForWindow(handle, reserved); });
    }

    void meanwhile()
    {
        if (m_showing.empty())
            return;
        QTimer::singleShot(0, &m_context, [this] { meanwhile(); });
        QWidget* window = QApplication::activeModalWidget();
        if (!isWindow(window) || m_delivering)
            return; // a message box, closed by the application's closer; or the thread check below
        if (nextStep())
            step(window);
        else
            click(window, 0);
    }

    void step(QWidget* window)
    {
        switch (m_bytes.ConsumeIntegralInRange(0, 10)) {
        case 0:
            if (m_objects.size() < 4)
                m_objects.emplace_back(NewInterface(), ReleaseInterface);
            break;
        case 1:
            release(object());
            break;
        case 2:
            if (ITintwell* given = object())
                setHost(given, m_bytes.ConsumeBool() ? nullptr : &g_hosts[m_bytes.ConsumeBool()]);
            break;
        case 3: {
            RecordingHost& host = g_hosts[m_bytes.ConsumeBool()];
            host.limited = m_bytes.ConsumeBool();
            answer(m_bytes.ConsumeBool() ? host.inkList : host.refillLog);
            break;
        }
        case 4:
            if (ITintwell* shown = object())
                show(shown);
            break;
        case 5: {
            QFile file(QCoreApplication::applicationDirPath() + "/Lang/Lang.ini");
            if (file.open(QIODevice::WriteOnly))
                file.write(Catalogues[m_bytes.ConsumeIntegralInRange(0, 2)]);
            break;
        }
        case 6: // the host closes its window, maybe while one of ours is open over it
            if (m_parent && m_parent->testAttribute(Qt::WA_WState_Created))
                m_deadHandle = reinterpret_cast<HWND>(m_parent->winId());
            m_parent.reset();
            if (window && isWindow(QApplication::activeModalWidget()) == m_overParent)
                qFatal("the host's window took ours with it, or left it, against the rules");
            break;
        case 7:
            release(m_showing.empty() ? nullptr : m_showing.back());
            break;
        case 8: { // what reaches the window in front: the window system closing it, a key, a step of a drag
            const int kind = m_bytes.ConsumeIntegralInRange(0, 6);
            const QPointF at(m_bytes.ConsumeIntegralInRange(-50, 900), m_bytes.ConsumeIntegralInRange(-50, 600));
            const QEvent::Type types[] = {QEvent::MouseButtonPress, QEvent::MouseMove, QEvent::MouseButtonRelease};
            QMouseEvent mouse(types[kind % 3], at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            const Qt::Key keys[] = {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter};
            QKeyEvent key(QEvent::KeyPress, keys[kind % 3], Qt::NoModifier);
            if (window && kind == 6)
                window->close();
            else if (window)
                QCoreApplication::sendEvent(kind < 3 ? window->findChild<QWidget*>("widget_title") : window,
                                            kind < 3 ? static_cast<QEvent*>(&mouse) : &key);
            break;
        }
        case 10: { // calls from another thread
            ITintwell* called = object();
            RecordingHost* host = &g_hosts[m_bytes.ConsumeBool()];
            QWidget* widget = parent();
            const auto lines = g_inUse ? g_inUse->logLines.size() : 0;
            bool taken = false;
            std::thread([&] {
                taken = called
                    && (called->SetHost(host) || called->ShowForWindow(nullptr, 0) || called->ShowForWidget(widget, 0));
            }).join();
            // The host hears each refusal on its GUI thread, once its loop runs: that it
            // came "from a thread other than the QApplication's".
            const bool early = g_inUse && g_inUse->logLines.size() != lines;
            const QScopedValueRollback<bool> delivering(m_delivering, true); // no step within this one
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            if (taken || early || (called && g_inUse && g_inUse->logLines.mid(lines).filter("other than").size() != 3))
                qFatal("a call from another thread was taken, or not told to the host in use on its GUI thread");
            break;
        }
        default: // a button of the window in front
            if (window)
                click(window, m_bytes.ConsumeIntegralInRange(0, 2));
            break;
        }
    }

    void release(ITintwell* object)
    {
        m_objects.erase(std::remove_if(m_objects.begin(), m_objects.end(),
                                       [&](const auto& owned) { return owned.get() == object; }),
                        m_objects.end());
    }

    FuzzedDataProvider& m_bytes;
    // The timers of a sequence go with it.
    QObject m_context;
    // Released as they go, the rest with the sequence.
    std::vector<std::unique_ptr<ITintwell, void (*)(ITintwell*)>> m_objects;
    std::vector<ITintwell*> m_showing;
    std::unique_ptr<QWidget> m_parent;
    HWND m_deadHandle = nullptr;
    int m_steps = 0;
    // The open window: closed by one of its buttons; shown over m_parent as its widget.
    bool m_closedByButton = false;
    bool m_overParent = false;
    bool m_delivering = false;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzApp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider bytes(data, size);
    for (RecordingHost& host : g_hosts)
        host = RecordingHost();
    {
        Sequence sequence(bytes);
        sequence.run();
        if (!sequence.correctShow())
            qFatal("a show by the rules failed after the sequence");
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (isWindow(widget))
            qFatal("a window outlived its show");
    for (const RecordingHost& host : g_hosts)
        if (!host.keptContract())
            qFatal("an array freed twice or never, or a list handed over dirty");
    return 0;
}
