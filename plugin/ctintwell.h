// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_CTINTWELL_H
#define VQTINTWELL_CTINTWELL_H

#include "plugin/vqtintwell.h"

#include <QObject>

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

private:
    // True, after bringing an open dialog forward and telling the host, when a
    // dialog is already open and this request must be refused.
    bool refuseRepeatedRequest();

    InkManagement* m_currentDialog = nullptr;
};

#endif
