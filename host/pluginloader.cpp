#include "pluginloader.h"

#include <QCoreApplication>
#include <QFileInfo>

PluginLoader::~PluginLoader()
{
    if (m_object)
        m_release(m_object);
    // The library stays loaded: its static objects hold Qt resources that
    // are torn down at process exit, after the last window has gone.
}

QString PluginLoader::defaultPath()
{
#if defined(Q_OS_WIN)
    const QString fileName = QStringLiteral("VqTintwell.dll");
#elif defined(Q_OS_MACOS)
    const QString fileName = QStringLiteral("libVqTintwell.dylib");
#else
    const QString fileName = QStringLiteral("libVqTintwell.so");
#endif
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + fileName;
}

bool PluginLoader::load(const QString& path, QString* error)
{
    // QLibrary would otherwise try other prefixes and suffixes and search the
    // library path, and might load some other copy than the one asked for.
    const QFileInfo info(path);
    if (!info.isFile()) {
        *error = QStringLiteral("%1: no such plug-in library").arg(path);
        return false;
    }
    m_library.setFileName(info.absoluteFilePath());
    if (!m_library.load()) {
        *error = QStringLiteral("%1: cannot load the plug-in: %2").arg(path, m_library.errorString());
        return false;
    }

    const auto newInterface = reinterpret_cast<VqNewInterfaceFn>(m_library.resolve("NewInterface"));
    const auto release = reinterpret_cast<VqReleaseInterfaceFn>(m_library.resolve("ReleaseInterface"));
    for (const auto& [symbol, found] : {std::pair{"NewInterface", newInterface != nullptr},
                                        std::pair{"ReleaseInterface", release != nullptr}}) {
        if (!found) {
            *error = QStringLiteral("%1: the library has no export \"%2\"")
                         .arg(path, QString::fromLatin1(symbol));
            return false;
        }
    }

    m_object = newInterface();
    if (!m_object) {
        *error = QStringLiteral("%1: NewInterface returned no object").arg(path);
        return false;
    }
    m_release = release;
    return true;
}
