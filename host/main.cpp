// Reference host of the VqTintwell plug-in: loads the library by path,
// implements IInkHost over a device model and opens the plug-in's windows
// from a main window of its own.
#include "devicemodel.h"
#include "hostwindow.h"
#include "inkhost.h"
#include "languagecatalogue.h"
#include "messageboxdismisser.h"
#include "pluginloader.h"
#include "screenshottour.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

enum ExitCode {
    Success = 0,
    Failed = 1, // a screenshot could not be taken, or the plug-in broke the contract
    BadArguments = 2,
    BadDeviceFile = 3,
    BadLanguage = 4,
    PluginFailed = 5,
};

void error(const QString& message)
{
    std::fprintf(stderr, "tintwell-host: %s\n", message.toLocal8Bit().constData());
}

// The platform plug-in is chosen when QApplication is constructed, before
// the command line parser can run, so --screenshot is looked for by hand.
void useOffscreenForScreenshots(int argc, char** argv)
{
    bool screenshot = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 || std::strncmp(argv[i], "--screenshot=", 13) == 0)
            screenshot = true;
    }
    if (screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// QGuiApplication takes -plugin and --plugin for its own generic plug-ins,
// so the host's option is taken out of the arguments before Qt sees them.
std::optional<QString> takePluginOption(int& argc, char** argv)
{
    std::optional<QString> value;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if ((std::strcmp(arg, "--plugin") == 0 || std::strcmp(arg, "-plugin") == 0) && i + 1 < argc) {
            value = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strncmp(arg, "--plugin=", 9) == 0) {
            value = QString::fromLocal8Bit(arg + 9);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return value;
}

} // namespace

int main(int argc, char** argv)
{
    useOffscreenForScreenshots(argc, argv);
    const std::optional<QString> pluginArgument = takePluginOption(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tintwell-host"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reference host of the VqTintwell plug-in."));
    parser.addHelpOption();
    const QCommandLineOption pluginOption(
        QStringLiteral("plugin"),
        QStringLiteral("Load the plug-in library from <path> instead of beside the executable."),
        QStringLiteral("path"));
    const QCommandLineOption deviceOption(
        QStringLiteral("device"),
        QStringLiteral("Serve the device described in the JSON <file> instead of the built-in sample."),
        QStringLiteral("file"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Save pictures of the windows into <dir> and exit, without a display if need be."),
        QStringLiteral("dir"));
    const QCommandLineOption languageOption(
        QStringLiteral("language"),
        QStringLiteral("Make language <n> of Lang/Lang.ini the default before starting."),
        QStringLiteral("n"));
    parser.addOptions({pluginOption, deviceOption, screenshotOption, languageOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        error(QStringLiteral("unexpected argument %1; see --help").arg(parser.positionalArguments().first()));
        return BadArguments;
    }

    DeviceModel model = DeviceModel::sample();
    QString deviceSource = QStringLiteral("built-in sample");
    if (parser.isSet(deviceOption)) {
        QString problem;
        const std::optional<DeviceModel> loaded = DeviceModel::fromJsonFile(parser.value(deviceOption), &problem);
        if (!loaded) {
            error(problem);
            return BadDeviceFile;
        }
        model = *loaded;
        deviceSource = QDir::toNativeSeparators(parser.value(deviceOption));
    }

    // A missing catalogue is the plug-in's to report; the host then only
    // has no languages to offer.
    std::unique_ptr<LanguageCatalogue> catalogue =
        std::make_unique<LanguageCatalogue>(LanguageCatalogue::defaultPath());
    QString catalogueProblem;
    if (!catalogue->read(&catalogueProblem)) {
        error(catalogueProblem);
        if (parser.isSet(languageOption))
            return BadLanguage;
        catalogue.reset();
    }
    if (parser.isSet(languageOption)) {
        bool isNumber = false;
        const int id = parser.value(languageOption).toInt(&isNumber);
        QStringList offered;
        bool known = false;
        for (const LanguageCatalogue::Language& language : catalogue->languages()) {
            offered.append(QStringLiteral("%1 (%2)").arg(language.id).arg(language.name));
            known = known || language.id == id;
        }
        if (!isNumber || !known) {
            error(QStringLiteral("--language %1: not a language of %2; it offers %3")
                      .arg(parser.value(languageOption), catalogue->path(),
                           offered.join(QLatin1String(", "))));
            return BadLanguage;
        }
        QString problem;
        if (!catalogue->setDefaultId(id, &problem)) {
            error(problem);
            return BadLanguage;
        }
    }

    const bool screenshot = parser.isSet(screenshotOption);
    std::unique_ptr<MessageBoxDismisser> dismisser;
    if (screenshot)
        dismisser = std::make_unique<MessageBoxDismisser>();

    // Declared before the loader, so the interface object is released while
    // the host it was given still exists.
    InkHost host(model);
    PluginLoader plugin;
    const QString pluginPath = pluginArgument.value_or(PluginLoader::defaultPath());
    QString problem;
    if (!plugin.load(pluginPath, &problem)) {
        error(problem);
        return PluginFailed;
    }

    HostWindow window(plugin.object(), &host, catalogue.get(), deviceSource);
    window.report(QStringLiteral("Loaded %1").arg(QDir::toNativeSeparators(pluginPath)));
    window.report(QStringLiteral("SetHost returned %1")
                      .arg(plugin.object()->SetHost(&host) ? QStringLiteral("true")
                                                           : QStringLiteral("false")));

    int result = Success;
    if (screenshot) {
        ScreenshotTour tour(&window, parser.value(screenshotOption));
        const bool taken = tour.run();
        for (const QString& file : tour.savedFiles())
            std::printf("saved %s\n", QDir::toNativeSeparators(file).toLocal8Bit().constData());
        result = taken ? Success : Failed;
    } else {
        window.show();
        result = app.exec();
    }

    host.checkAllReturned();
    if (host.problemCount() > 0) {
        error(QStringLiteral("the plug-in broke the record contract %1 time(s)").arg(host.problemCount()));
        if (result == Success)
            result = Failed;
    }
    return result;
}
