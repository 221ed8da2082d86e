// SPDX-License-Identifier: MIT
// The host's language catalogue, any bytes at all, read by the language
// manager as SetHost reads it, and a text asked for from what it loaded.
#include "fuzzapp.h"

#include "lang/ctranslatormgr.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzApp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile catalogue(QCoreApplication::applicationDirPath() + QStringLiteral("/Lang/Lang.ini"));
    QDir().mkpath(QCoreApplication::applicationDirPath() + QStringLiteral("/Lang"));
    if (!catalogue.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the catalogue");
    catalogue.write(reinterpret_cast<const char*>(data), qint64(size));
    catalogue.close();
    CTranslatorMgr* manager = CTranslatorMgr::instance();
    QTranslator* translator = manager->translator();
    manager->loadTranslator();
    if (manager->translator() != translator)
        qFatal("the translator was replaced");
    CTranslatorMgr::translate("InkManagement", "Ink Management");
    return 0;
}
