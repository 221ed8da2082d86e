// SPDX-License-Identifier: MIT
#include "devicemodel.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace {

// Names travel in the local 8-bit code page, NUL-terminated within 128 bytes.
bool setName(InkRecord& record, const QString& name)
{
    const QByteArray bytes = name.toLocal8Bit();
    if (bytes.size() >= int(sizeof record.name) || QString::fromLocal8Bit(bytes) != name)
        return false;
    std::memcpy(record.name, bytes.constData(), size_t(bytes.size()));
    return true;
}

InkRecord record(const QString& name, double amount, const QDateTime& time = QDateTime())
{
    InkRecord record{};
    setName(record, name);
    record.amount = amount;
    if (time.isValid()) {
        const QDate d = time.date();
        const QTime t = time.time();
        record.year = d.year(), record.month = d.month(), record.day = d.day();
        record.hour = t.hour(), record.minute = t.minute(), record.second = t.second();
    }
    return record;
}

} // namespace

DeviceModel DeviceModel::sample(const QDateTime& now)
{
    const char* const names[] = {"Cyan",       "Magenta",       "Yellow", "Black",
                                 "Light Cyan", "Light Magenta", "White",  "Varnish"};
    const double amounts[] = {742.5, 615, 1203, 98.5, 880, 12.25, 1380, 450};
    DeviceModel model;
    for (int i = 0; i < 8; ++i)
        model.inks.push_back(record(QLatin1String(names[i]), amounts[i]));
    // Every ink about every six weeks, staggered, the newest a day ago.
    for (int i = 0; i < 64; ++i) {
        const QDateTime time = now.addDays(-1 - i * 45 / 8).addSecs(-(i * 7919) % 36000);
        model.refills.push_back(record(QLatin1String(names[i % 8]), i % 3 ? 500 : 1000, time));
    }
    return model;
}

std::optional<DeviceModel> DeviceModel::fromFile(const QString& path, QString* error)
{
    const auto fail = [&](const QString& what) {
        *error = QFileInfo(path).fileName() + QStringLiteral(": ") + what;
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError)
        return fail(QStringLiteral("%1 at byte %2").arg(parse.errorString()).arg(parse.offset));
    const QJsonObject root = document.object();
    const QJsonObject failing = root.value(QLatin1String("fail")).toObject();
    const QJsonValue inks = root.value(QLatin1String("inks"));
    if (!document.isObject() || !inks.isArray())
        return fail(QStringLiteral("an object with an \"inks\" array is expected"));

    DeviceModel model;
    model.limited = root.value(QLatin1String("limited")).toBool(true);
    model.failInkList = failing.value(QLatin1String("inkList")).toBool();
    model.failRefillLog = failing.value(QLatin1String("refillLog")).toBool();
    for (const char* list : {"inks", "refillLog"}) {
        const QJsonArray entries = root.value(QLatin1String(list)).toArray();
        const bool refill = std::strcmp(list, "refillLog") == 0;
        for (int i = 0; i < entries.size(); ++i) {
            const QString where = QStringLiteral("%1[%2]").arg(QLatin1String(list)).arg(i);
            const QJsonObject entry = entries.at(i).toObject();
            const QString name = entry.value(QLatin1String(refill ? "ink" : "name")).toString();
            const double amount = entry.value(QLatin1String("amount")).toDouble(-1);
            InkRecord ink = record(QString(), amount);
            if (name.isEmpty() || !setName(ink, name))
                return fail(where + QStringLiteral(": a name of at most 127 bytes in the local code page is expected"));
            if (amount < 0)
                return fail(where + QStringLiteral(": \"amount\" must be a number of millilitres, 0 or more"));
            if (!refill) {
                model.inks.push_back(ink);
                continue;
            }
            int* fields[] = {&ink.year, &ink.month, &ink.day, &ink.hour, &ink.minute, &ink.second};
            const char* keys[] = {"year", "month", "day", "hour", "minute", "second"};
            for (int f = 0; f < 6; ++f)
                *fields[f] = entry.value(QLatin1String(keys[f])).toInt(-1);
            if (!QDate::isValid(ink.year, ink.month, ink.day) || !QTime::isValid(ink.hour, ink.minute, ink.second))
                return fail(where
                            + QStringLiteral(": year, month, day, hour, minute and second must make a real time"));
            model.refills.push_back(ink);
        }
    }
    return model;
}
