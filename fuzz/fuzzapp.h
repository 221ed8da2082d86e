// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_FUZZ_FUZZAPP_H
#define VQTINTWELL_FUZZ_FUZZAPP_H

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

// What every fuzzer needs: the application object, made once per process,
// and a way to report a broken expectation.
namespace FuzzApp {

// abort() is a crash to libFuzzer: it saves the input that caused it.
inline void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

// Headless unless told otherwise. Qt gets an argv of its own: it strips the
// options it knows (-platform, -style, ...) from the one it is given, and
// libFuzzer's must stay as they are.
inline void start(const char* argv0)
{
    // Qt's warnings come by the thousand ("Broken filename passed to
    // function" for every catalogue path holding a NUL, the offscreen
    // platform on every message box) and would bury libFuzzer's own output.
    // Critical and fatal messages still go through.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
        if (type == QtFatalMsg)
            std::abort();
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QByteArray name(argv0);
    static int argc = 1;
    static char* argv[] = {name.data(), nullptr};
    // Never destroyed: the library's statics (logger, language manager) are
    // released at exit and must not find the application gone first.
    static QApplication* app = new QApplication(argc, argv);
    Q_UNUSED(app)
}

// Modal message boxes run an event loop of their own. A zero timer fires only
// inside such a loop, since nothing else in a fuzzer processes events, and
// ends the box at once: nothing waits, and outside the boxes it costs nothing.
class ModalCloser : public QObject
{
public:
    explicit ModalCloser(std::function<void(QDialog*)> onClose)
        : m_onClose(std::move(onClose))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalCloser::closeModal);
        m_timer.start(0);
    }

private:
    void closeModal()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        m_onClose(dialog);
        dialog->done(0);
    }

    std::function<void(QDialog*)> m_onClose;
    QTimer m_timer;
};

} // namespace FuzzApp

#endif
