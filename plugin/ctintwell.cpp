// SPDX-License-Identifier: MIT
#include "plugin/ctintwell.h"

#include "dialogs/framelesswindow.h"
#include "dialogs/inkmanagement.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "plugin/hostlog.h"
#include "plugin/nativewindow.h"

IInkHost* g_host = nullptr;
bool g_dialogOpen = false;

namespace {

// The process's one dialog, held for the time of a show. It is taken before
// the dialog is built, so that whatever ends the show, a return or an
// exception from the host's callbacks or from building the dialog, frees it.
class DialogGuard
{
public:
    explicit DialogGuard(InkManagement*& current)
        : m_current(current)
    {
        g_dialogOpen = true;
    }
    ~DialogGuard()
    {
        g_dialogOpen = false;
        m_current = nullptr;
    }
    DialogGuard(const DialogGuard&) = delete;
    DialogGuard& operator=(const DialogGuard&) = delete;

    void hold(InkManagement* dialog) { m_current = dialog; }

private:
    InkManagement*& m_current;
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

void bringForward(InkManagement& dialog)
{
    const HWND handle = reinterpret_cast<HWND>(dialog.winId());
    NativeWindow::setForeground(handle);
    NativeWindow::bringToTop(handle);
}

} // namespace

CTintwell::CTintwell() = default;

CTintwell::~CTintwell() = default;

bool CTintwell::SetHost(IInkHost* host)
{
    return withoutExceptions([&] {
        if (!host)
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

bool CTintwell::ShowForWidget(QWidget* parent, int reserved)
{
    return withoutExceptions([&] {
        if (!g_host || refuseRepeatedRequest() || !parent)
            return false;
        DialogGuard guard(m_currentDialog);
        InkManagement dialog(reserved, parent);
        guard.hold(&dialog);
        dialog.exec();
        return dialog.closedByButton();
    });
}

bool CTintwell::ShowForWindow(HWND parent, int reserved)
{
    return withoutExceptions([&] {
        if (!g_host || refuseRepeatedRequest())
            return false;
        DialogGuard guard(m_currentDialog);
        InkManagement dialog(reserved, nullptr);
        guard.hold(&dialog);
        dialog.setModal(true);
        NativeWindow::Rect rect;
        if (parent) {
            NativeWindow::enable(parent, false);
            dialog.winId();
        }
        // Without a rectangle (no handle, or an unknown one) the dialog keeps
        // the toolkit's placement and everything else goes on.
        if (parent && NativeWindow::outerRect(parent, &rect)) {
            const QRect outer(static_cast<int>(rect.left), static_cast<int>(rect.top),
                              static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top));
            dialog.move(FramelessWindow::centredOver(outer, dialog.size()));
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
    delete object;
}

} // extern "C"
