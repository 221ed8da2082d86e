// SPDX-License-Identifier: MIT
#include "devicemodel.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
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

// The first key of 'object' that is not one of 'known', or an empty text.
QString unknownKey(const QJsonObject& object, std::initializer_list<const char*> known)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (std::none_of(known.begin(), known.end(), [&](const char* key) { return it.key() == QLatin1String(key); }))
            return it.key();
    }
    return {};
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
    const auto fail = [&](const QString& where, const QString& what) {
        *error = QFileInfo(path).fileName() + QStringLiteral(": ")
            + (where.isEmpty() ? what : where + QStringLiteral(": ") + what);
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail({}, file.errorString());
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError)
        return fail({}, QStringLiteral("%1 at byte %2").arg(parse.errorString()).arg(parse.offset));
    if (!document.isObject())
        return fail({}, QStringLiteral("a JSON object is expected"));
    const QJsonObject root = document.object();
    const QJsonValue failValue = root.value(QLatin1String("fail"));
    const QJsonObject failing = failValue.toObject();
    if (const QString key = unknownKey(root, {"limited", "inks", "refillLog", "fail"}); !key.isEmpty())
        return fail({}, QStringLiteral("unknown key \"%1\"").arg(key));
    if (const QString key = unknownKey(failing, {"inkList", "refillLog"}); !key.isEmpty())
        return fail(QStringLiteral("fail"), QStringLiteral("unknown key \"%1\"").arg(key));
    const QJsonValue inks = root.value(QLatin1String("inks"));
    const QJsonValue refills = root.value(QLatin1String("refillLog"));
    if (!inks.isArray() || !(refills.isArray() || refills.isUndefined()))
        return fail({}, QStringLiteral("\"inks\" and, if given, \"refillLog\" must be arrays"));
    if (!failValue.isObject() && !failValue.isUndefined())
        return fail({}, QStringLiteral("\"fail\" must be an object"));

    DeviceModel model;
    const struct
    {
        QJsonValue value;
        bool* flag;
        const char* name;
    } flags[] = {{root.value(QLatin1String("limited")), &model.limited, "limited"},
                 {failing.value(QLatin1String("inkList")), &model.failInkList, "fail.inkList"},
                 {failing.value(QLatin1String("refillLog")), &model.failRefillLog, "fail.refillLog"}};
    for (const auto& flag : flags) {
        if (!flag.value.isBool() && !flag.value.isUndefined())
            return fail({}, QStringLiteral("\"%1\" must be true or false").arg(QLatin1String(flag.name)));
        *flag.flag = flag.value.toBool(*flag.flag);
    }
    for (const char* list : {"inks", "refillLog"}) {
        const QJsonArray entries = root.value(QLatin1String(list)).toArray();
        const bool refill = std::strcmp(list, "refillLog") == 0;
        const QLatin1String nameKey(refill ? "ink" : "name");
        for (int i = 0; i < entries.size(); ++i) {
            const QString where = QStringLiteral("%1[%2]").arg(QLatin1String(list)).arg(i);
            const QJsonObject entry = entries.at(i).toObject();
            if (!entries.at(i).isObject())
                return fail(where, QStringLiteral("an object is expected"));
            const QString key = refill
                ? unknownKey(entry, {"ink", "amount", "year", "month", "day", "hour", "minute", "second"})
                : unknownKey(entry, {"name", "amount"});
            if (!key.isEmpty())
                return fail(where, QStringLiteral("unknown key \"%1\"").arg(key));
            InkRecord ink = record(QString(), 0);
            const QJsonValue name = entry.value(nameKey);
            if (!name.isString() || name.toString().isEmpty() || name.toString().contains(QChar(0))
                || !setName(ink, name.toString()))
                return fail(where,
                            QStringLiteral("\"%1\" must be a text of 1 to 127 bytes in the local code page, "
                                           "without NUL")
                                .arg(nameKey));
            const QJsonValue amount = entry.value(QLatin1String("amount"));
            if (!amount.isDouble() || amount.toDouble() < 0)
                return fail(where, QStringLiteral("\"amount\" must be a number of millilitres, 0 or more"));
            ink.amount = amount.toDouble();
            if (!refill) {
                model.inks.push_back(ink);
                continue;
            }
            const struct
            {
                int* field;
                const char* key;
                int low, high;
            } times[] = {{&ink.year, "year", 1, 9999}, {&ink.month, "month", 1, 12},   {&ink.day, "day", 1, 31},
                         {&ink.hour, "hour", 0, 23},   {&ink.minute, "minute", 0, 59}, {&ink.second, "second", 0, 59}};
            for (const auto& time : times) {
                const QJsonValue value = entry.value(QLatin1String(time.key));
                const double number = value.toDouble(-1);
                if (!value.isDouble() || number != std::floor(number) || number < time.low || number > time.high)
                    return fail(where,
                                QStringLiteral("\"%1\" must be a whole number from %2 to %3")
                                    .arg(QLatin1String(time.key))
                                    .arg(time.low)
                                    .arg(time.high));
                *time.field = int(number);
            }
            if (!QDate::isValid(ink.year, ink.month, ink.day))
                return fail(where, QStringLiteral("year, month and day must make a real date"));
            model.refills.push_back(ink);
        }
    }
    return model;
}
