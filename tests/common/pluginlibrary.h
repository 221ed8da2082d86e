#pragma once

#include "plugin/vqtintwell.h"

#include <QLibrary>
#include <QtTest>

// The built plug-in, loaded at run time by path and reached through its two
// exports only, as a host reaches it.
class PluginLibrary
{
public:
    PluginLibrary() : m_library(QStringLiteral(VQ_PLUGIN_PATH))
    {
        if (!m_library.load())
            qFatal("cannot load the plug-in: %s", qPrintable(m_library.errorString()));
        newInterface = reinterpret_cast<VqNewInterfaceFn>(m_library.resolve("NewInterface"));
        releaseInterface = reinterpret_cast<VqReleaseInterfaceFn>(m_library.resolve("ReleaseInterface"));
        if (!newInterface || !releaseInterface)
            qFatal("the plug-in lacks its exports");
    }

    VqNewInterfaceFn newInterface = nullptr;
    VqReleaseInterfaceFn releaseInterface = nullptr;

private:
    QLibrary m_library;
};

// An interface object that goes back through ReleaseInterface.
class InterfaceHandle
{
public:
    explicit InterfaceHandle(const PluginLibrary& library)
        : m_release(library.releaseInterface), m_object(library.newInterface()) {}
    ~InterfaceHandle() { m_release(m_object); }
    InterfaceHandle(const InterfaceHandle&) = delete;
    InterfaceHandle& operator=(const InterfaceHandle&) = delete;

    ITintwell* operator->() const { return m_object; }

private:
    VqReleaseInterfaceFn m_release;
    ITintwell* m_object;
};
