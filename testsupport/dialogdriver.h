// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_TESTSUPPORT_DIALOGDRIVER_H
#define VQTINTWELL_TESTSUPPORT_DIALOGDRIVER_H

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <functional>

// Modal windows run their own event loop, so whoever drives them does so
// from a timer that is started before the call that opens them.
namespace DialogDriver {

// Shown means mapped by the window system: a window closed before that is
// still asked for the focus once its map arrives, and X refuses that.
inline QWidget* findShown(const QString& objectName)
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets)
        if (widget->objectName() == objectName && widget->windowHandle() && widget->windowHandle()->isExposed())
            return widget;
    return nullptr;
}

inline void click(QWidget* dialog, const char* buttonName)
{
    if (auto* button = dialog->findChild<QPushButton*>(QLatin1String(buttonName)))
        button->click();
}

// Once the window 'objectName' shows, calls 'action' and clicks the button
// 'closeWith', if any; one of them must close it.
inline void whenShown(const QString& objectName, const char* closeWith,
                      const std::function<void(QWidget*)>& action = {})
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, qApp, [=]() {
        if (QWidget* widget = findShown(objectName)) {
            // Stopped first: the action may run a loop of its own.
            timer->stop();
            timer->deleteLater();
            if (action)
                action(widget);
            if (closeWith)
                click(widget, closeWith);
        }
    });
    timer->start(5);
}

} // namespace DialogDriver

#endif
