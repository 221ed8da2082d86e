// SPDX-License-Identifier: MIT
// Reference host of the VqTintwell plug-in: loads the library by path,
// implements IInkHost over a device model and opens the plug-in's windows
// from a main window of its own.
#include "devicemodel.h"
#include "hostwindow.h"
#include "inkhost.h"

#include "plugin/vqtintwellloader.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <optional>

namespace {

enum ExitCode
{
    Success = 0,
    Failed = 1,
    BadInput = 2,
    NoPlugin = 3
};

void error(const QString& message)
{
    std::fprintf(stderr, "tintwell-host: %s\n", message.toLocal8Bit().constData());
}

bool save(QWidget* window, const QDir& dir, const char* name)
{
    const QString path = dir.filePath(QLatin1String(name));
    // The file's own error names the system's reason.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !window->grab().save(&file, "PNG")) {
        error(QStringLiteral("cannot save %1: %2").arg(path, file.errorString()));
        return false;
    }
    std::printf("saved %s\n", QDir::toNativeSeparators(path).toLocal8Bit().constData());
    return true;
}

// Shown means mapped by the window system: a window closed before its map
// arrives is still asked for the focus then, and X refuses that.
QWidget* shownWindow(const char* objectName)
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (window->objectName() == QLatin1String(objectName) && window->windowHandle()
            && window->windowHandle()->isExposed())
            return window;
    return nullptr;
}

void click(QWidget* window, const char* button)
{
    if (auto* push = window->findChild<QPushButton*>(QLatin1String(button)))
        push->click();
}

// Shows the host window, opens the ink management window over it and its
// refill log over that, and saves a picture of each. The windows are modal,
// so a timer started before the call takes the pictures and closes them.
bool takeScreenshots(HostWindow& window, const QDir& dir)
{
    window.show();
    dir.mkpath(QStringLiteral(".")); // what goes wrong, saving tells
    bool saved = save(&window, dir, "host-window.png");
    int ticks = 0;
    bool inkSaved = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [&] {
        QWidget* ink = shownWindow("InkManagement");
        QWidget* refills = shownWindow("InkRefillLog");
        if (refills) {
            saved = save(refills, dir, "refill-log.png") && saved;
            click(refills, "pushButton_close");
            click(ink, "pushButton_close");
        } else if (ink && !inkSaved) {
            inkSaved = true;
            saved = save(ink, dir, "ink-management.png") && saved;
            // Queued: the refill log runs a loop of its own, in which this
            // timer must go on firing.
            QTimer::singleShot(0, ink, [ink] { click(ink, "pushButton_inkRefillLog"); });
        } else if (!ink && ++ticks > 200) {
            // Ten seconds without a window of the plug-in's.
            error(QStringLiteral("the plug-in's windows did not show"));
            saved = false;
            timer.stop();
        }
    });
    timer.start(50);
    window.openOverNativeWindow();
    return saved && timer.isActive();
}

} // namespace

int main(int argc, char** argv)
{
    // Without a display the host can still take its pictures, on the
    // offscreen platform, whose notices are no news to the operator.
    const bool headless = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (headless) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        });
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reference host of the VqTintwell plug-in."));
    parser.addHelpOption();
    const QCommandLineOption library(QStringLiteral("library"), QStringLiteral("Load the plug-in from <path>."),
                                     QStringLiteral("path"),
                                     QCoreApplication::applicationDirPath() + QStringLiteral("/VqTintwell"));
    const QCommandLineOption deviceFile(QStringLiteral("device"),
                                        QStringLiteral("Serve the device in the JSON <file>, not the built-in sample."),
                                        QStringLiteral("file"));
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("Make language <n> of Lang/Lang.ini the plug-in's language."),
                                      QStringLiteral("n"));
    const QCommandLineOption screenshots(QStringLiteral("screenshot"),
                                         QStringLiteral("Save pictures of the windows into <dir> and exit."),
                                         QStringLiteral("dir"));
    parser.addOptions({library, deviceFile, language, screenshots});
    // Every mistake in the arguments is bad input, with Qt's own words for
    // unknown options and missing values.
    if (!parser.parse(QCoreApplication::arguments())) {
        error(parser.errorText());
        return BadInput;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(Success);
    bool isNumber = false;
    const int languageId = parser.value(language).toInt(&isNumber);
    if (!parser.positionalArguments().isEmpty()) {
        error(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().constFirst()));
        return BadInput;
    }
    if (parser.isSet(language) && !isNumber) {
        error(QStringLiteral("--language takes a language number, not %1").arg(parser.value(language)));
        return BadInput;
    }
    if (headless && !parser.isSet(screenshots)) {
        error(QStringLiteral("no display; --screenshot DIR saves pictures instead"));
        return BadInput;
    }

    QString deviceName = QStringLiteral("built-in sample");
    std::optional<DeviceModel> device = DeviceModel::sample();
    if (parser.isSet(deviceFile)) {
        QString problem;
        device = DeviceModel::fromFile(parser.value(deviceFile), &problem);
        deviceName = QFileInfo(parser.value(deviceFile)).fileName();
        if (!device) {
            error(problem);
            return BadInput;
        }
    }

    // The host outlives the loader, which releases the interface object
    // that was handed the host.
    // A message box of the plug-in's (a missing catalogue, say) would wait
    // for an operator who is not there.
    QTimer boxCloser;
    QObject::connect(&boxCloser, &QTimer::timeout, &boxCloser, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            error(QStringLiteral("closing message box: %1 %2").arg(box->windowTitle(), box->text()));
            box->done(QMessageBox::Ok);
        }
    });
    if (headless)
        boxCloser.start(50);

    InkHost host(std::move(*device));
    VqTintwellLoader plugin;
    if (!plugin.load(parser.value(library))) {
        error(plugin.errorString());
        return NoPlugin;
    }
    HostWindow window(plugin.object(), &host, deviceName);
    window.report(QStringLiteral("Loaded %1").arg(QFileInfo(parser.value(library)).fileName()));
    if (parser.isSet(language) && !window.chooseLanguage(languageId))
        return BadInput;
    if (!parser.isSet(language))
        window.report(
            QStringLiteral("SetHost returned %1").arg(QLatin1String(plugin->SetHost(&host) ? "true" : "false")));

    int result = Success;
    if (parser.isSet(screenshots)) {
        result = takeScreenshots(window, QDir(parser.value(screenshots))) ? Success : Failed;
    } else {
        window.show();
        result = QApplication::exec();
    }
    host.checkAllReturned();
    if (host.problems() > 0) {
        error(QStringLiteral("the plug-in broke the record contract %1 time(s)").arg(host.problems()));
        result = Failed;
    }
    return result;
}
