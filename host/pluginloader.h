#ifndef TINTWELLHOST_PLUGINLOADER_H
#define TINTWELLHOST_PLUGINLOADER_H

#include "plugin/vqtintwellloader.h"

#include <QString>

// Loads the plug-in library at run time, the way a host that ships without
// it would, through the loader helper that hosts are given; adds Qt's paths
// and strings and the check that the file is there at all.
class PluginLoader
{
public:
    // The library's file beside the running executable.
    static QString defaultPath();

    // False, with 'error' naming the file and what went wrong, when the
    // library cannot be loaded, lacks an export or hands out no object.
    bool load(const QString& path, QString* error);

    ITintwell* object() const { return m_loader.get(); }

private:
    // Hands the object back and unloads the library when the host is done.
    VqTintwellLoader m_loader;
};

#endif
