// SPDX-License-Identifier: MIT
#include "dialogs/recordformat.h"

#include "plugin/vqtintwell.h"

#include <QTextCodec>

#include <cstring>

#ifndef Q_OS_WIN
#  include <langinfo.h>
#endif

namespace RecordFormat {

const QTextCodec* localCodec()
{
#ifndef Q_OS_WIN
    // The application object has set the locale by now.
    if (const QTextCodec* codec = QTextCodec::codecForName(nl_langinfo(CODESET)))
        return codec;
#endif
    return QTextCodec::codecForLocale();
}

QString name(const InkRecord& record, const QTextCodec* codec)
{
    // A host may fill all 128 bytes without a terminator; never read past them.
    const void* nul = std::memchr(record.name, '\0', sizeof record.name);
    const int length =
        nul ? static_cast<int>(static_cast<const char*>(nul) - record.name) : static_cast<int>(sizeof record.name);
    return codec->toUnicode(record.name, length);
}

QString amount(double millilitres)
{
    return QString::number(millilitres, 'g', 6) + QStringLiteral("ml");
}

QString time(const InkRecord& record)
{
    const QChar zero(QLatin1Char('0'));
    return QStringLiteral("%1/%2/%3 %4:%5:%6")
        .arg(record.year)
        .arg(record.month, 2, 10, zero)
        .arg(record.day, 2, 10, zero)
        .arg(record.hour, 2, 10, zero)
        .arg(record.minute, 2, 10, zero)
        .arg(record.second, 2, 10, zero);
}

} // namespace RecordFormat
