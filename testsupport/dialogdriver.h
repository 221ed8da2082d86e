// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_TESTSUPPORT_DIALOGDRIVER_H
#define VQTINTWELL_TESTSUPPORT_DIALOGDRIVER_H

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPushButton>
#include <QTimer>

#include <functional>

// Modal windows run their own event loop, so whoever drives them does so
// from a timer that is started before the call that opens them.
namespace DialogDriver {

inline QWidget* findShown(const QString& objectName)
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets)
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    return nullptr;
}

// Closes every visible dialog, so that nothing is left hanging in exec().
inline void rejectAll()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets)
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
}

// Calls 'action', which must close it, once the top-level widget
// 'objectName' shows. Should it not show within 'timeoutMs', every dialog is
// rejected and 'timedOut' set.
inline void whenShown(const QString& objectName, const std::function<void(QWidget*)>& action, bool* timedOut = nullptr,
                      int timeoutMs = 10000)
{
    auto* timer = new QTimer(qApp);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, qApp, [=]() {
        QWidget* widget = findShown(objectName);
        if (!widget && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (widget) {
            action(widget);
            return;
        }
        if (timedOut)
            *timedOut = true;
        rejectAll();
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
