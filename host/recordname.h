#ifndef TINTWELLHOST_RECORDNAME_H
#define TINTWELLHOST_RECORDNAME_H

#include <QByteArray>
#include <QString>

// Ink names cross the plug-in boundary in the local 8-bit code page, in a
// field of 128 bytes that must keep room for the terminating NUL.
namespace RecordName {

constexpr int maxBytes = 127;

// Puts the name in the local code page into 'bytes'. False, with 'problem'
// set, when the code page cannot represent it or it needs more than maxBytes.
bool encode(const QString& name, QByteArray* bytes, QString* problem);

// Copies the name into a record field, dropping whole characters from the end
// until it fits, so a long name never ends in a broken multi-byte sequence.
void copyInto(char (&field)[128], const QString& name);

} // namespace RecordName

#endif
