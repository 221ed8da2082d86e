#include "screenshottour.h"

#include "hostwindow.h"

#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>

namespace {

// Limits for the plug-in's windows to appear and go. Generous, since a
// loaded machine may be slow to build a dialog; they only matter when
// something is broken.
constexpr qint64 appearLimitMs = 15000;
constexpr qint64 refillLogLimitMs = 3000;
constexpr qint64 closeLimitMs = 5000;

QWidget* findShown(const QString& objectName)
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// A click from inside the timer would run a nested dialog's exec() right
// here; posting it lets the timer's slot return first.
void postClick(QWidget* dialog, const QString& buttonName)
{
    if (auto* button = dialog->findChild<QPushButton*>(buttonName))
        QTimer::singleShot(0, button, &QPushButton::click);
}

void rejectAllDialogs()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
    }
}

void note(const QString& message)
{
    std::fprintf(stderr, "tintwell-host: %s\n", message.toLocal8Bit().constData());
}

} // namespace

ScreenshotTour::ScreenshotTour(HostWindow* window, const QString& directory, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_directory(directory)
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &ScreenshotTour::poll);
}

bool ScreenshotTour::run()
{
    if (!m_directory.mkpath(QStringLiteral("."))) {
        fail(QStringLiteral("cannot create the directory %1").arg(m_directory.path()));
        return false;
    }
    m_window->show();
    QCoreApplication::processEvents();
    if (!save(m_window, QStringLiteral("host-window.png")))
        return false;

    enter(Step::WaitForInkManagement);
    m_timer.start();
    m_window->openOverNativeWindow();
    m_timer.stop();
    // m_inkManagement is null again here: the dialog lives only inside the call.
    if (!m_sawInkManagement && !m_failed)
        fail(QStringLiteral("ShowForWindow returned without showing the ink management window"));
    return !m_failed;
}

void ScreenshotTour::poll()
{
    switch (m_step) {
    case Step::WaitForInkManagement:
        if (QWidget* dialog = findShown(QStringLiteral("InkManagement"))) {
            m_inkManagement = dialog;
            m_sawInkManagement = true;
            save(dialog, QStringLiteral("ink-management.png"));
            if (!dialog->findChild<QPushButton*>(QStringLiteral("pushButton_inkRefillLog"))) {
                note(QStringLiteral("no refill log button; refill-log.png skipped"));
                startClosing();
                return;
            }
            enter(Step::WaitForRefillLog);
            postClick(dialog, QStringLiteral("pushButton_inkRefillLog"));
        } else if (m_clock.elapsed() > appearLimitMs) {
            fail(QStringLiteral("the ink management window did not appear"));
            enter(Step::Done);
            rejectAllDialogs();
        }
        return;
    case Step::WaitForRefillLog:
        if (QWidget* dialog = findShown(QStringLiteral("InkRefillLog"))) {
            m_refillLog = dialog;
            save(dialog, QStringLiteral("refill-log.png"));
            postClick(dialog, QStringLiteral("pushButton_close"));
            startClosing();
        } else if (m_clock.elapsed() > refillLogLimitMs) {
            note(QStringLiteral("the refill log window did not appear; refill-log.png skipped"));
            startClosing();
        }
        return;
    case Step::Closing:
        // The main window's close button waits until the refill log is gone,
        // so each dialog ends inside its own event loop.
        if (m_refillLog && m_refillLog->isVisible()) {
            if (m_clock.elapsed() > closeLimitMs) {
                note(QStringLiteral("the refill log window did not close on its button"));
                rejectAllDialogs();
            }
            return;
        }
        if (!m_closeClicked && m_inkManagement) {
            m_closeClicked = true;
            m_clock.restart();
            postClick(m_inkManagement, QStringLiteral("pushButton_close"));
        } else if (m_clock.elapsed() > closeLimitMs) {
            note(QStringLiteral("the ink management window did not close on its button"));
            enter(Step::Done);
            rejectAllDialogs();
        }
        return;
    case Step::Done:
        return;
    }
}

void ScreenshotTour::startClosing()
{
    m_closeClicked = false;
    enter(Step::Closing);
}

void ScreenshotTour::enter(Step step)
{
    m_step = step;
    m_clock.restart();
}

bool ScreenshotTour::save(QWidget* widget, const QString& fileName)
{
    const QString path = m_directory.filePath(fileName);
    if (!widget->grab().save(path, "PNG")) {
        fail(QStringLiteral("cannot save %1").arg(path));
        return false;
    }
    m_saved.append(path);
    return true;
}

void ScreenshotTour::fail(const QString& message)
{
    m_failed = true;
    note(message);
}
