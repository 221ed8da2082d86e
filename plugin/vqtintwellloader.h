// SPDX-License-Identifier: MIT
// Loads the VqTintwell plug-in at run time and owns the interface object it
// hands out. Every host runs a QApplication, so QLibrary does the loading.
// Keep one loader per library file: Qt 6.4 unloads a file at the first
// unload of any QLibrary of it.
#ifndef VQTINTWELLLOADER_H
#define VQTINTWELLLOADER_H

#include "vqtintwell.h"

#include <QLibrary>
#include <QString>

class VqTintwellLoader
{
public:
    VqTintwellLoader() = default;
    ~VqTintwellLoader() { unload(); }
    VqTintwellLoader(const VqTintwellLoader&) = delete;
    VqTintwellLoader& operator=(const VqTintwellLoader&) = delete;

    // 'path' may leave out the platform's prefix and suffix ("dir/VqTintwell").
    // On failure errorString() names the file, the missing export or the
    // system's reason.
    bool load(const QString& path)
    {
        unload();
        m_library.setFileName(path);
        const auto create = reinterpret_cast<VqNewInterfaceFn>(m_library.resolve("NewInterface"));
        m_release = create ? reinterpret_cast<VqReleaseInterfaceFn>(m_library.resolve("ReleaseInterface")) : nullptr;
        if (!create || !m_release) {
            m_error = m_library.errorString();
        } else if (!(m_object = create())) {
            m_error = QStringLiteral("NewInterface of %1 returned no object").arg(m_library.fileName());
        } else {
            return true;
        }
        unload();
        return false;
    }

    // Releases the interface object, then the library. Never while a show
    // call is running.
    void unload()
    {
        if (m_object)
            m_release(m_object);
        m_object = nullptr;
        if (m_library.isLoaded())
            m_library.unload();
    }

    ITintwell* object() const { return m_object; }
    ITintwell* operator->() const { return m_object; }
    QString errorString() const { return m_error; }

private:
    QLibrary m_library;
    VqReleaseInterfaceFn m_release = nullptr;
    ITintwell* m_object = nullptr;
    QString m_error;
};

#endif // VQTINTWELLLOADER_H
