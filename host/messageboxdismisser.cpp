#include "messageboxdismisser.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

MessageBoxDismisser::MessageBoxDismisser(QObject* parent)
    : QObject(parent)
{
    // Message boxes run their own event loop, in which timers still fire.
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxDismisser::dismissVisible);
    m_timer.start(50);
}

void MessageBoxDismisser::dismissVisible()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible())
            continue;
        std::fprintf(stderr, "tintwell-host: closing message box \"%s\": %s\n",
                     box->windowTitle().toLocal8Bit().constData(),
                     box->text().toLocal8Bit().constData());
        box->done(QMessageBox::Ok);
    }
}
