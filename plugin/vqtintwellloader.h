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

#include <utility>

class VqTintwellLoader
{
public:
    VqTintwellLoader() = default;
    ~VqTintwellLoader() { unload(); }
    VqTintwellLoader(const VqTintwellLoader&) = delete;
    VqTintwellLoader& operator=(const VqTintwellLoader&) = delete;

    // 'path' may leave out the platform's prefix and suffix ("dir/VqTintwell").
    // On failure errorString() names the file and what is wrong with it: the
    // system's reason it cannot be loaded, or the export it lacks.
    bool load(const QString& path)
    {
        unload();
        m_error.clear();
        if (path.isEmpty())
            return fail(QStringLiteral("No library file given to load the VqTintwell plug-in from"));
        m_library.setFileName(path);
        // QLibrary's own message names the file and the system's reason.
        if (!m_library.load())
            return fail(m_library.errorString());
        const auto create = reinterpret_cast<VqNewInterfaceFn>(m_library.resolve("NewInterface"));
        m_release = reinterpret_cast<VqReleaseInterfaceFn>(m_library.resolve("ReleaseInterface"));
        // Qt has no reason to give for a symbol that is not there.
        if (!create || !m_release)
            return fail(QStringLiteral("%1 is not the VqTintwell plug-in: it does not export %2")
                            .arg(m_library.fileName(), QLatin1String(create ? "ReleaseInterface" : "NewInterface")));
        if (!(m_object = create()))
            return fail(QStringLiteral("NewInterface of %1 returned no object").arg(m_library.fileName()));
        return true;
    }

    // Releases the interface object and keeps the library. During one of
    // the object's show calls, the object goes once that call has returned.
    void release()
    {
        if (m_object)
            m_release(std::exchange(m_object, nullptr));
    }

    // Releases the interface object, then unloads the library. During a show
    // call the library stays in the process until it has returned, and
    // until an object of a later load is released (see the host guide).
    void unload()
    {
        release();
        if (m_library.isLoaded())
            m_library.unload();
    }

    ITintwell* object() const { return m_object; }
    ITintwell* operator->() const { return m_object; }
    // Why the last load failed; empty after one that succeeded.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& error)
    {
        m_error = error;
        unload();
        return false;
    }

    QLibrary m_library;
    VqReleaseInterfaceFn m_release = nullptr;
    ITintwell* m_object = nullptr;
    QString m_error;
};

#endif // VQTINTWELLLOADER_H
