// SPDX-License-Identifier: MIT
#ifndef TINTWELLHOST_HOSTWINDOW_H
#define TINTWELLHOST_HOSTWINDOW_H

#include <QMainWindow>

class InkHost;
class ITintwell;
class QComboBox;
class QPlainTextEdit;

// The host's own main window: opens the plug-in's ink management window in
// both ways a host can, switches the plug-in's language and shows every
// result, log line and contract problem in a panel.
class HostWindow : public QMainWindow
{
    Q_OBJECT

public:
    HostWindow(ITintwell* plugin, InkHost* host, const QString& deviceName);

    // Makes language 'id' the DEFAULT of the host's Lang/Lang.ini and hands
    // the host over again, which makes the plug-in load that translation.
    bool chooseLanguage(int id);
    bool openOverNativeWindow();
    bool openInsideWidget();
    // A line to standard output and into the panel.
    void report(const QString& line);

private:
    ITintwell* m_plugin;
    InkHost* m_host;
    QComboBox* m_languages;
    QPlainTextEdit* m_log;
};

#endif
