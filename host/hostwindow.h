#ifndef TINTWELLHOST_HOSTWINDOW_H
#define TINTWELLHOST_HOSTWINDOW_H

#include <QMainWindow>

class InkHost;
class ITintwell;
class LanguageCatalogue;
class QComboBox;
class QPlainTextEdit;

// The host's own main window: opens the plug-in's ink management window in
// both ways a host can, switches the plug-in's language, and shows every
// result, log line and contract problem in a panel.
class HostWindow : public QMainWindow
{
    Q_OBJECT

public:
    // 'catalogue' may be null when there is none to offer languages from.
    HostWindow(ITintwell* plugin, InkHost* host, LanguageCatalogue* catalogue,
               const QString& deviceSource, QWidget* parent = nullptr);

    bool openOverNativeWindow();
    bool openInsideWidget();

    // Prints a line to standard output and into the panel.
    void report(const QString& line);

private:
    QWidget* createControls(const QString& deviceSource);
    void fillLanguages();
    void chooseLanguage(int index);
    void appendToPanel(const QString& line);

    ITintwell* m_plugin;
    InkHost* m_host;
    LanguageCatalogue* m_catalogue;
    QComboBox* m_languages = nullptr;
    QPlainTextEdit* m_log = nullptr;
};

#endif
