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

// Calls 'action', which must close it, once the window 'objectName' shows.
// Should it not show within ten seconds, every dialog is rejected, so that
// nothing is left hanging in exec().
inline void whenShown(const QString& objectName, const std::function<void(QWidget*)>& action)
{
    auto* timer = new QTimer(qApp);
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, qApp, [=]() {
        QWidget* widget = findShown(objectName);
        if (!widget && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (widget)
            return action(widget);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->reject();
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
