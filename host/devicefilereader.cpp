#include "devicefilereader.h"

#include "recordname.h"

#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTime>

#include <cmath>

namespace {

QString typeName(QJsonValue::Type type)
{
    switch (type) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

QString joined(const QString& where, const QString& key)
{
    return where.isEmpty() ? key : where + QLatin1Char('.') + key;
}

QString indexed(const QString& key, int index)
{
    return QStringLiteral("%1[%2]").arg(key).arg(index);
}

} // namespace

DeviceFileReader::DeviceFileReader(const QString& path)
    : m_path(path)
{
}

std::optional<DeviceModel> DeviceFileReader::read()
{
    m_error.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QString(), QStringLiteral("cannot read the file: %1").arg(file.errorString()));
        return std::nullopt;
    }
    QJsonObject root;
    DeviceModel model;
    if (!parseDocument(file.readAll(), &root) || !readDevice(root, &model))
        return std::nullopt;
    return model;
}

bool DeviceFileReader::parseDocument(const QByteArray& data, QJsonObject* root)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        // Editors show lines and columns, the parser only a byte offset.
        const QByteArray before = data.left(parseError.offset);
        const int line = before.count('\n') + 1;
        const int column = parseError.offset - (before.lastIndexOf('\n') + 1) + 1;
        return fail(QString(), QStringLiteral("invalid JSON at offset %1 (line %2, column %3): %4")
                                   .arg(parseError.offset)
                                   .arg(line)
                                   .arg(column)
                                   .arg(parseError.errorString()));
    }
    if (!document.isObject())
        return fail(QString(), QStringLiteral("the top level is an array, expected an object"));
    *root = document.object();
    return true;
}

bool DeviceFileReader::readDevice(const QJsonObject& root, DeviceModel* model)
{
    if (!checkKeys(root, QString(),
                   {QStringLiteral("limited"), QStringLiteral("inks"),
                    QStringLiteral("refillLog"), QStringLiteral("fail")}))
        return false;

    if (root.contains(QLatin1String("limited"))) {
        QJsonValue limited;
        if (!member(root, QString(), QStringLiteral("limited"), QJsonValue::Bool, &limited))
            return false;
        model->limited = limited.toBool();
    }

    QJsonValue inks;
    if (!member(root, QString(), QStringLiteral("inks"), QJsonValue::Array, &inks))
        return false;
    const QJsonArray inkArray = inks.toArray();
    for (int i = 0; i < inkArray.size(); ++i) {
        DeviceModel::Ink ink;
        if (!readInk(inkArray.at(i), indexed(QStringLiteral("inks"), i), &ink))
            return false;
        model->inks.append(ink);
    }

    if (root.contains(QLatin1String("refillLog"))) {
        QJsonValue log;
        if (!member(root, QString(), QStringLiteral("refillLog"), QJsonValue::Array, &log))
            return false;
        const QJsonArray logArray = log.toArray();
        for (int i = 0; i < logArray.size(); ++i) {
            DeviceModel::Refill refill;
            if (!readRefill(logArray.at(i), indexed(QStringLiteral("refillLog"), i), &refill))
                return false;
            model->refillLog.append(refill);
        }
    }

    if (root.contains(QLatin1String("fail")))
        return readFailSwitches(root.value(QLatin1String("fail")), model);
    return true;
}

bool DeviceFileReader::readInk(const QJsonValue& value, const QString& where,
                               DeviceModel::Ink* ink)
{
    if (!value.isObject())
        return fail(where, QStringLiteral("expected an object, found %1").arg(typeName(value.type())));
    const QJsonObject object = value.toObject();
    return checkKeys(object, where, {QStringLiteral("name"), QStringLiteral("amount")})
        && readName(object, where, QStringLiteral("name"), &ink->name)
        && readAmount(object, where, &ink->amount);
}

bool DeviceFileReader::readRefill(const QJsonValue& value, const QString& where,
                                  DeviceModel::Refill* refill)
{
    if (!value.isObject())
        return fail(where, QStringLiteral("expected an object, found %1").arg(typeName(value.type())));
    const QJsonObject object = value.toObject();
    if (!checkKeys(object, where,
                   {QStringLiteral("year"), QStringLiteral("month"), QStringLiteral("day"),
                    QStringLiteral("hour"), QStringLiteral("minute"), QStringLiteral("second"),
                    QStringLiteral("ink"), QStringLiteral("amount")}))
        return false;

    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!readInteger(object, where, QStringLiteral("year"), 1, 9999, &year)
        || !readInteger(object, where, QStringLiteral("month"), 1, 12, &month))
        return false;
    const int daysInMonth = QDate(year, month, 1).daysInMonth();
    if (!readInteger(object, where, QStringLiteral("day"), 1, daysInMonth, &day)
        || !readInteger(object, where, QStringLiteral("hour"), 0, 23, &hour)
        || !readInteger(object, where, QStringLiteral("minute"), 0, 59, &minute)
        || !readInteger(object, where, QStringLiteral("second"), 0, 59, &second))
        return false;
    refill->time = QDateTime(QDate(year, month, day), QTime(hour, minute, second));

    return readName(object, where, QStringLiteral("ink"), &refill->ink)
        && readAmount(object, where, &refill->amount);
}

bool DeviceFileReader::readFailSwitches(const QJsonValue& value, DeviceModel* model)
{
    const QString where = QStringLiteral("fail");
    if (!value.isObject())
        return fail(where, QStringLiteral("expected an object, found %1").arg(typeName(value.type())));
    const QJsonObject object = value.toObject();
    if (!checkKeys(object, where, {QStringLiteral("inkList"), QStringLiteral("refillLog")}))
        return false;
    const struct {
        QString key;
        bool* target;
    } switches[] = {{QStringLiteral("inkList"), &model->failInkList},
                    {QStringLiteral("refillLog"), &model->failRefillLog}};
    for (const auto& entry : switches) {
        if (!object.contains(entry.key))
            continue;
        QJsonValue flag;
        if (!member(object, where, entry.key, QJsonValue::Bool, &flag))
            return false;
        *entry.target = flag.toBool();
    }
    return true;
}

bool DeviceFileReader::checkKeys(const QJsonObject& object, const QString& where,
                                 const QStringList& allowed)
{
    // A misspelt key would otherwise be ignored and its default used.
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!allowed.contains(it.key()))
            return fail(where, QStringLiteral("unknown key \"%1\" (known: %2)")
                                   .arg(it.key(), allowed.join(QLatin1String(", "))));
    }
    return true;
}

bool DeviceFileReader::member(const QJsonObject& object, const QString& where,
                              const QString& key, QJsonValue::Type type, QJsonValue* value)
{
    if (!object.contains(key))
        return fail(where, QStringLiteral("missing key \"%1\"").arg(key));
    *value = object.value(key);
    if (value->type() != type)
        return fail(joined(where, key), QStringLiteral("expected %1, found %2")
                                            .arg(typeName(type), typeName(value->type())));
    return true;
}

bool DeviceFileReader::readName(const QJsonObject& object, const QString& where,
                                const QString& key, QString* name)
{
    QJsonValue value;
    if (!member(object, where, key, QJsonValue::String, &value))
        return false;
    QByteArray encoded;
    QString problem;
    if (!RecordName::encode(value.toString(), &encoded, &problem))
        return fail(joined(where, key), problem);
    *name = value.toString();
    return true;
}

bool DeviceFileReader::readAmount(const QJsonObject& object, const QString& where, double* amount)
{
    const QString key = QStringLiteral("amount");
    QJsonValue value;
    if (!member(object, where, key, QJsonValue::Double, &value))
        return false;
    const double millilitres = value.toDouble();
    if (!std::isfinite(millilitres) || millilitres < 0.0)
        return fail(joined(where, key),
                    QStringLiteral("%1 is out of range, expected 0 or more millilitres")
                        .arg(millilitres));
    *amount = millilitres;
    return true;
}

bool DeviceFileReader::readInteger(const QJsonObject& object, const QString& where,
                                   const QString& key, int min, int max, int* result)
{
    QJsonValue value;
    if (!member(object, where, key, QJsonValue::Double, &value))
        return false;
    const double number = value.toDouble();
    if (number != std::floor(number))
        return fail(joined(where, key), QStringLiteral("%1 is not a whole number").arg(number));
    if (number < min || number > max)
        return fail(joined(where, key),
                    QStringLiteral("%1 is out of range %2..%3").arg(number).arg(min).arg(max));
    *result = static_cast<int>(number);
    return true;
}

bool DeviceFileReader::fail(const QString& where, const QString& problem)
{
    m_error = where.isEmpty() ? QStringLiteral("%1: %2").arg(m_path, problem)
                              : QStringLiteral("%1: %2: %3").arg(m_path, where, problem);
    return false;
}
