#ifndef TINTWELLHOST_PLUGINLOADER_H
#define TINTWELLHOST_PLUGINLOADER_H

#include "plugin/vqtintwell.h"

#include <QLibrary>
#include <QString>

// Loads the plug-in library at run time, the way a host that ships without
// it would, resolves its two exports and owns the one interface object.
class PluginLoader
{
public:
    PluginLoader() = default;
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // The library's file beside the running executable.
    static QString defaultPath();

    // False, with 'error' naming the file and what went wrong, when the
    // library cannot be loaded, lacks an export or hands out no object.
    bool load(const QString& path, QString* error);

    ITintwell* object() const { return m_object; }

private:
    QLibrary m_library;
    VqReleaseInterfaceFn m_release = nullptr;
    ITintwell* m_object = nullptr;
};

#endif
