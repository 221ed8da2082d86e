#include "pluginloader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

QString PluginLoader::defaultPath()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/')
        + QString::fromLatin1(VqTintwellLoader::defaultFileName());
}

bool PluginLoader::load(const QString& path, QString* error)
{
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("%1: no such plug-in library").arg(path);
        return false;
    }
    // The helper takes UTF-8 on Windows, where it widens the path itself, and
    // the file system's own encoding elsewhere.
#if defined(Q_OS_WIN)
    const std::string file = path.toStdString();
#else
    const std::string file = QFile::encodeName(path).toStdString();
#endif
    if (!m_loader.load(file)) {
        *error = QString::fromStdString(m_loader.errorString());
        return false;
    }
    return true;
}
