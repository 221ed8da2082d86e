// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_FUZZ_FUZZAPP_H
#define VQTINTWELL_FUZZ_FUZZAPP_H

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QTimer>

// A fuzzer reports a broken promise with qFatal, which aborts: libFuzzer
// keeps the input that caused it.

// The application object every fuzzer needs, made once per process, headless.
// Qt gets an argv of its own, so that libFuzzer's options stay as they are.
inline void startFuzzApp()
{
    // Qt's warnings come by the thousand and would bury libFuzzer's output.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\n*.warning=false"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzzer";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the library's statics are released at exit and must
    // not find the application gone first.
    new QApplication(argc, argv);
    // A message box runs a loop of its own; a zero timer fires only there and
    // closes it at once.
    auto* closer = new QTimer(qApp);
    QObject::connect(closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->done(QMessageBox::Ok);
    });
    closer->start(0);
}

#endif
