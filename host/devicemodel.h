#ifndef TINTWELLHOST_DEVICEMODEL_H
#define TINTWELLHOST_DEVICEMODEL_H

#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

// What the host knows about its printer: the inks, whether their amounts are
// finite, the refill history, and switches that make a fill call fail so an
// operator can watch how the plug-in copes.
class DeviceModel
{
public:
    struct Ink
    {
        QString name;
        double amount = 0.0; // millilitres remaining
    };

    struct Refill
    {
        QDateTime time;
        QString ink;
        double amount = 0.0; // millilitres added
    };

    // A device of eight inks with about a year of refills, the last one
    // shortly before 'now'.
    static DeviceModel sample(const QDateTime& now = QDateTime::currentDateTime());

    // Reads a device file (see README.md). On failure returns nothing and
    // sets 'error' to a message naming the file and the problem.
    static std::optional<DeviceModel> fromJsonFile(const QString& path, QString* error);

    QVector<Ink> inks;
    QVector<Refill> refillLog;
    bool limited = true;
    bool failInkList = false;
    bool failRefillLog = false;
};

#endif
