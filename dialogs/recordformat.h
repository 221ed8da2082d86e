// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_RECORDFORMAT_H
#define VQTINTWELL_RECORDFORMAT_H

#include <QString>

struct InkRecord;
class QTextCodec;

// How the fields of a host record appear in the dialogs' tables.
namespace RecordFormat {

// The codec of the host's local 8-bit text: the ANSI code page on Windows,
// elsewhere the code set of the process's locale, which Qt itself ignores
// there. Looked up once per table, not once per name.
const QTextCodec* localCodec();
// The ink name, read only within its 128-byte field, in 'codec'.
QString name(const InkRecord& record, const QTextCodec* codec);
// "250ml", "12.5ml", "1.23457e+06ml": six significant digits, C locale.
QString amount(double millilitres);
// "2025/03/07 09:05:02"; the year is not padded.
QString time(const InkRecord& record);

} // namespace RecordFormat

#endif
