// SPDX-License-Identifier: MIT
#include "plugin/hostlog.h"

#include "plugin/globals.h"
#include "plugin/vqtintwell.h"

#include <QApplication>
#include <QThread>

#include <memory>

void HostLog::write(const char* line)
{
    if (g_host)
        g_host->WriteLog(line);
}

void HostLog::writeFromAnyThread(const QByteArray& line, IInkHost* brought)
{
    const auto deliver = [line, brought] {
        if (IInkHost* host = g_host ? g_host : brought)
            host->WriteLog(line.constData());
    };
    const QCoreApplication* application = QCoreApplication::instance();
    if (!qobject_cast<const QApplication*>(application) || QThread::currentThread() == application->thread()) {
        deliver();
        return;
    }
    // The library's own object on the GUI thread, so that lines still
    // waiting when the library unloads go with it rather than run its code
    // from unmapped pages. Made by the first thread that needs it.
    static const std::unique_ptr<QObject> receiver = [application] {
        auto object = std::make_unique<QObject>();
        object->moveToThread(application->thread());
        return object;
    }();
    QMetaObject::invokeMethod(receiver.get(), deliver, Qt::QueuedConnection);
}
