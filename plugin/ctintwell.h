// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_CTINTWELL_H
#define VQTINTWELL_CTINTWELL_H

#include "plugin/vqtintwell.h"

#include <QObject>
#include <QPointer>

#include <functional>

class InkManagement;

// The interface object a host gets from NewInterface. It launches the ink
// management dialog and keeps at most one of them open in the process.
class CTintwell : public QObject, public ITintwell
{
    Q_OBJECT

public:
    CTintwell();
    ~CTintwell() override;

    bool SetHost(IInkHost* host) override;
    bool ShowForWindow(HWND parent, int reserved) override;
    bool ShowForWidget(QWidget* parent, int reserved) override;

    // What ReleaseInterface does: destroys the object, or, while one of its
    // show calls runs, as soon as that has returned.
    void release();

private:
    // Runs 'show' as one of this object's show calls, without exceptions.
    bool runShow(const std::function<bool()>& show);
    // True, after bringing an open dialog forward and telling the host, when a
    // dialog is already open and this request must be refused.
    bool refuseRepeatedRequest();

    // Watched: the host may delete the dialog's parent, and the dialog with it.
    QPointer<InkManagement> m_currentDialog;
    int m_runningShows = 0;
    bool m_released = false;
};

#endif
