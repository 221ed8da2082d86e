// SPDX-License-Identifier: MIT
#include "plugin/ctintwell.h"

#include "dialogs/framelesswindow.h"
#include "dialogs/inkmanagement.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "plugin/hostlog.h"
#include "plugin/modulehold.h"
#include "plugin/nativewindow.h"

#include <QApplication>
#include <QThread>

IInkHost* g_host = nullptr;
bool g_dialogOpen = false;

namespace {

// The process's one dialog, held for the time of a show. It is taken before
// the dialog is built, so that whatever ends the show, a return or an
// exception from the host's callbacks or from building the dialog, frees it.
//
// The dialog lives on the heap, watched, rather than on the stack: the host
// may delete the widget it gave as parent from its own timers and signals
// while exec() runs, and the toolkit deletes the dialog with it.
class DialogGuard
{
public:
    explicit DialogGuard(QPointer<InkManagement>& current)
        : m_current(current)
    {
        g_dialogOpen = true;
    }
    ~DialogGuard()
    {
        delete m_dialog.data();
        g_dialogOpen = false;
        m_current = nullptr;
    }
    DialogGuard(const DialogGuard&) = delete;
    DialogGuard& operator=(const DialogGuard&) = delete;

    InkManagement& open(int reserved, QWidget* parent)
    {
        m_dialog = m_current = new InkManagement(reserved, parent);
        return *m_dialog;
    }
    // Null once the dialog has gone with its parent.
    InkManagement* dialog() const { return m_dialog; }

private:
    QPointer<InkManagement>& m_current;
    // Its own watch on the dialog: SetHost clears m_current meanwhile.
    QPointer<InkManagement> m_dialog;
};

// The host calls through a binary interface that has no way to carry an
// exception, and may not even be built with them: every entry point answers
// false instead.
template <typename Call>
bool withoutExceptions(Call call) noexcept
{
    try {
        return call();
    } catch (...) {
        return false;
    }
}

// The rules a host must keep before the library may touch widgets: a
// QApplication (a QCoreApplication cannot show them), and the call on its
// thread. Gives true when they hold; otherwise tells the host in use, or
// the one 'brought' by the call, what it did wrong and what to do instead.
bool rulesKept(const char* call, IInkHost* brought = nullptr)
{
    const QCoreApplication* application = QCoreApplication::instance();
    const char* broken = nullptr;
    if (!application)
        broken = " refused: there is no QApplication yet; create the QApplication before calling the library";
    else if (!qobject_cast<const QApplication*>(application))
        broken = " refused: a QCoreApplication cannot show windows; the host must create a QApplication";
    else if (QThread::currentThread() != application->thread())
        broken = " refused: called from a thread other than the QApplication's; call the library on the GUI thread";
    if (broken)
        HostLog::writeFromAnyThread(QByteArray("墨水加密：") + call + broken, brought);
    return !broken;
}

HWND handleOf(InkManagement& dialog)
{
    return reinterpret_cast<HWND>(dialog.winId());
}

// Centres 'dialog' over the native window 'parent'. Both rectangles come
// from the window system, in its own pixels, which on a scaled Windows
// screen are not Qt's. Without them (an unknown handle) the dialog keeps the
// toolkit's placement.
void centreOver(HWND parent, InkManagement& dialog)
{
    QRect outer;
    QRect own;
    if (!NativeWindow::outerRect(parent, &outer) || !NativeWindow::outerRect(handleOf(dialog), &own))
        return;
    own.moveTopLeft(FramelessWindow::centredOver(outer, own.size()));
    dialog.move(NativeWindow::qtPosition(own));
}

void bringForward(InkManagement& dialog)
{
    const HWND handle = handleOf(dialog);
    NativeWindow::setForeground(handle);
    NativeWindow::bringToTop(handle);
}

} // namespace

CTintwell::CTintwell() = default;

CTintwell::~CTintwell() = default;

bool CTintwell::SetHost(IInkHost* host)
{
    const ModuleHold hold;
    return withoutExceptions([&] {
        if (!host || !rulesKept("SetHost", host))
            return false;
        g_host = host;
        CTranslatorMgr::instance()->loadTranslator();
        m_currentDialog = nullptr;
        return true;
    });
}

bool CTintwell::refuseRepeatedRequest()
{
    if (!g_dialogOpen && !m_currentDialog)
        return false;
    if (m_currentDialog) {
        m_currentDialog->activateWindow();
        m_currentDialog->show();
    }
    HostLog::write(HostLog::AlreadyShown);
    return true;
}

void CTintwell::release()
{
    if (m_runningShows > 0)
        m_released = true;
    else
        delete this;
}

bool CTintwell::runShow(const std::function<bool()>& show)
{
    const ModuleHold hold;
    ++m_runningShows;
    const bool result = withoutExceptions(show);
    // Released by the host while the show ran (from a timer, a callback, its
    // window closing): the object goes now that nothing of it is in use.
    if (--m_runningShows == 0 && m_released)
        delete this;
    return result;
}

bool CTintwell::ShowForWidget(QWidget* parent, int reserved)
{
    return runShow([&] {
        if (!g_host || !rulesKept("ShowForWidget") || refuseRepeatedRequest() || !parent)
            return false;
        DialogGuard guard(m_currentDialog);
        guard.open(reserved, parent).exec();
        // False also when the host deleted 'parent', and the dialog with it.
        return guard.dialog() && guard.dialog()->closedByButton();
    });
}

bool CTintwell::ShowForWindow(HWND parent, int reserved)
{
    return runShow([&] {
        if (!g_host || !rulesKept("ShowForWindow") || refuseRepeatedRequest())
            return false;
        DialogGuard guard(m_currentDialog);
        InkManagement& dialog = guard.open(reserved, nullptr);
        dialog.setModal(true);
        if (parent) {
            NativeWindow::enable(parent, false);
            centreOver(parent, dialog);
        }
        bringForward(dialog);
        dialog.exec();
        if (parent) {
            NativeWindow::enable(parent, true);
            NativeWindow::setForeground(parent);
        }
        return dialog.closedByButton();
    });
}

extern "C" {

ITintwell* NewInterface()
{
    try {
        return new CTintwell;
    } catch (...) {
        return nullptr;
    }
}

void ReleaseInterface(ITintwell* object)
{
    ModuleHold::dropLeftover();
    // Every object handed out is a CTintwell.
    if (object)
        static_cast<CTintwell*>(object)->release();
}

} // extern "C"
