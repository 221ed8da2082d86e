#ifndef VQTINTWELL_TESTS_DIALOGDRIVER_H
#define VQTINTWELL_TESTS_DIALOGDRIVER_H

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>

// Modal dialogs run their own event loop, so a test reaches them from a timer
// scheduled before the call that opens them.
namespace DialogDriver {

inline QWidget* findShown(const QString& objectName)
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// Closes every visible dialog, so that a failed check never leaves a test
// hanging in exec().
inline void rejectAll()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
    }
}

// Calls 'action' once the top-level widget 'objectName' is visible; the action
// must close it. If the widget does not appear within 'timeoutMs', every
// dialog is rejected and 'timedOut' is set.
inline void whenShown(const QString& objectName, std::function<void(QWidget*)> action,
                      bool* timedOut = nullptr, int timeoutMs = 10000)
{
    auto* timer = new QTimer(qApp);
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, qApp, [=]() {
        if (QWidget* widget = findShown(objectName)) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            action(widget);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            if (timedOut)
                *timedOut = true;
            rejectAll();
        }
    });
    timer->start(5);
}

inline void click(QWidget* dialog, const char* buttonName)
{
    if (auto* button = dialog->findChild<QPushButton*>(QLatin1String(buttonName)))
        button->click();
}

} // namespace DialogDriver

#endif
