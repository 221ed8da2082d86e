#ifndef TINTWELLHOST_SCREENSHOTTOUR_H
#define TINTWELLHOST_SCREENSHOTTOUR_H

#include <QDir>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class HostWindow;

// Shows the host window, opens the ink management window over it, opens its
// refill log, and saves a picture of each. The plug-in's windows are modal,
// so a timer drives them from inside their event loops; every wait has a
// limit, and a missing refill log is skipped rather than waited for.
class ScreenshotTour : public QObject
{
    Q_OBJECT

public:
    ScreenshotTour(HostWindow* window, const QString& directory, QObject* parent = nullptr);

    // False when the directory cannot be made or the host window or the ink
    // management window could not be saved.
    bool run();

    QStringList savedFiles() const { return m_saved; }

private:
    enum class Step { WaitForInkManagement, WaitForRefillLog, Closing, Done };

    void poll();
    void startClosing();
    void enter(Step step);
    bool save(QWidget* widget, const QString& fileName);
    void fail(const QString& message);

    HostWindow* m_window;
    QDir m_directory;
    QTimer m_timer;
    QElapsedTimer m_clock;
    Step m_step = Step::Done;
    QPointer<QWidget> m_inkManagement;
    QPointer<QWidget> m_refillLog;
    bool m_closeClicked = false;
    bool m_sawInkManagement = false;
    bool m_failed = false;
    QStringList m_saved;
};

#endif
