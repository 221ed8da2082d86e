// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_LANGINFO_H
#define VQTINTWELL_LANGINFO_H

#include <QString>
#include <QtGlobal>

// One language of the host's catalogue, as its LANGn_* keys describe it.
struct LangInfo
{
    qint32 id = -1; // the n of the keys; -1 for a record that no key made
    bool show = false;
    QString name;   // display name
    QString folder; // sub-folder of the Lang folder
    QString qmFile; // full path of the translation file, set with the folder
};

Q_DECLARE_TYPEINFO(LangInfo, Q_MOVABLE_TYPE);

#endif
