#include "recordname.h"

#include <QTextCodec>

#include <cstring>

namespace RecordName {

bool encode(const QString& name, QByteArray* bytes, QString* problem)
{
    const QTextCodec* codec = QTextCodec::codecForLocale();
    // A character the code page lacks would silently become '?'.
    if (!codec->canEncode(name)) {
        *problem = QStringLiteral("\"%1\" cannot be written in the local code page (%2)")
                       .arg(name, QString::fromLatin1(codec->name()));
        return false;
    }
    const QByteArray encoded = codec->fromUnicode(name);
    if (encoded.size() > maxBytes) {
        *problem = QStringLiteral("\"%1\" takes %2 bytes in the local code page, at most %3 fit")
                       .arg(name)
                       .arg(encoded.size())
                       .arg(maxBytes);
        return false;
    }
    *bytes = encoded;
    return true;
}

void copyInto(char (&field)[128], const QString& name)
{
    const QTextCodec* codec = QTextCodec::codecForLocale();
    QString text = name;
    QByteArray encoded = codec->fromUnicode(text);
    while (encoded.size() > maxBytes) {
        // Drop a whole surrogate pair at once, never half of one.
        const int drop = text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate() ? 2 : 1;
        text.chop(drop);
        encoded = codec->fromUnicode(text);
    }
    std::memset(field, 0, sizeof field);
    std::memcpy(field, encoded.constData(), static_cast<size_t>(encoded.size()));
}

} // namespace RecordName
