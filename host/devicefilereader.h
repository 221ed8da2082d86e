#ifndef TINTWELLHOST_DEVICEFILEREADER_H
#define TINTWELLHOST_DEVICEFILEREADER_H

#include "devicemodel.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// Turns a device file into a DeviceModel, checking every field, and keeps the
// first problem found as a message that names the file and where in it the
// problem lies, such as "inks[2].amount".
class DeviceFileReader
{
public:
    explicit DeviceFileReader(const QString& path);

    std::optional<DeviceModel> read();
    QString errorString() const { return m_error; }

private:
    bool parseDocument(const QByteArray& data, QJsonObject* root);
    bool readDevice(const QJsonObject& root, DeviceModel* model);
    bool readInk(const QJsonValue& value, const QString& where, DeviceModel::Ink* ink);
    bool readRefill(const QJsonValue& value, const QString& where, DeviceModel::Refill* refill);
    bool readFailSwitches(const QJsonValue& value, DeviceModel* model);

    bool checkKeys(const QJsonObject& object, const QString& where, const QStringList& allowed);
    bool member(const QJsonObject& object, const QString& where, const QString& key,
                QJsonValue::Type type, QJsonValue* value);
    bool readName(const QJsonObject& object, const QString& where, const QString& key,
                  QString* name);
    bool readAmount(const QJsonObject& object, const QString& where, double* amount);
    bool readInteger(const QJsonObject& object, const QString& where, const QString& key,
                     int min, int max, int* result);

    bool fail(const QString& where, const QString& problem);

    QString m_path;
    QString m_error;
};

#endif
