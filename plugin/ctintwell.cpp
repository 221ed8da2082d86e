#include "plugin/ctintwell.h"

#include "dialogs/inkmanagement.h"
#include "lang/ctranslatormgr.h"
#include "plugin/globals.h"
#include "plugin/nativewindow.h"

IInkHost* g_host = nullptr;
bool g_dialogOpen = false;

namespace {

// Clears the busy state when exec() has returned, whichever way it ends.
class DialogSlot
{
public:
    DialogSlot(InkManagement*& current, InkManagement* dialog)
        : m_current(current)
    {
        m_current = dialog;
    }
    ~DialogSlot()
    {
        g_dialogOpen = false;
        m_current = nullptr;
    }
    DialogSlot(const DialogSlot&) = delete;
    DialogSlot& operator=(const DialogSlot&) = delete;

private:
    InkManagement*& m_current;
};

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
    if (!host)
        return false;
    g_host = host;
    CTranslatorMgr::instance()->loadTranslator();
    m_currentDialog = nullptr;
    return true;
}

bool CTintwell::refuseRepeatedRequest()
{
    if (!g_dialogOpen && !m_currentDialog)
        return false;
    if (m_currentDialog) {
        m_currentDialog->activateWindow();
        m_currentDialog->show();
    }
    g_host->WriteLog(QStringLiteral("墨水加密：弹窗已经显示！").toUtf8().constData());
    return true;
}

bool CTintwell::ShowForWidget(QWidget* parent, int reserved)
{
    if (!g_host)
        return false;
    if (refuseRepeatedRequest())
        return false;
    if (!parent)
        return false;

    g_dialogOpen = true;
    InkManagement dialog(reserved, parent);
    {
        const DialogSlot slot(m_currentDialog, &dialog);
        dialog.exec();
    }
    return dialog.closedByButton();
}

bool CTintwell::ShowForWindow(HWND parent, int reserved)
{
    if (!g_host)
        return false;
    if (refuseRepeatedRequest())
        return false;

    g_dialogOpen = true;
    InkManagement dialog(reserved, nullptr);
    {
        const DialogSlot slot(m_currentDialog, &dialog);
        if (parent) {
            NativeWindow::enable(parent, false);
            dialog.setModal(true);
            dialog.winId();
            NativeWindow::Rect rect;
            // An unknown handle has no rectangle; the dialog then keeps the
            // toolkit's placement and everything else goes on.
            if (NativeWindow::outerRect(parent, &rect)) {
                // Integer division truncates toward zero, so a window narrower
                // than the dialog puts it at (-187, -81) rather than (-188, -82).
                const long x = rect.left + ((rect.right - rect.left) - dialog.width()) / 2;
                const long y = rect.top + ((rect.bottom - rect.top) - dialog.height()) / 2;
                dialog.move(static_cast<int>(x), static_cast<int>(y));
            }
            bringForward(dialog);
            dialog.exec();
            NativeWindow::enable(parent, true);
            NativeWindow::setForeground(parent);
        } else {
            dialog.setModal(true);
            bringForward(dialog);
            dialog.exec();
        }
    }
    return dialog.closedByButton();
}

extern "C" {

ITintwell* NewInterface()
{
    return new CTintwell;
}

void ReleaseInterface(ITintwell* object)
{
    delete object;
}

} // extern "C"
