// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_RECORDFORMAT_H
#define VQTINTWELL_RECORDFORMAT_H

#include <QString>

struct InkRecord;

// How the fields of a host record appear in the dialogs' tables.
namespace RecordFormat {

// The ink name, read only within its 128-byte field, from the local code
// page: the locale's code set off Windows, the ANSI code page on Windows.
QString name(const InkRecord& record);
// "250ml", "12.5ml", "1.23457e+06ml": six significant digits, C locale.
QString amount(double millilitres);
// "2025/03/07 09:05:02"; the year is not padded.
QString time(const InkRecord& record);

} // namespace RecordFormat

#endif
