#include "devicemodel.h"

#include "devicefilereader.h"

DeviceModel DeviceModel::sample(const QDateTime& now)
{
    DeviceModel model;
    model.inks = {
        {QStringLiteral("Cyan"), 812.5},
        {QStringLiteral("Magenta"), 640.0},
        {QStringLiteral("Yellow"), 1175.0},
        {QStringLiteral("Black"), 356.5},
        {QStringLiteral("Light Cyan"), 930.0},
        {QStringLiteral("Light Magenta"), 488.0},
        {QStringLiteral("White"), 1490.0},
        {QStringLiteral("Varnish"), 205.0},
    };

    // Roughly every ten days over the past year, at varied times of day.
    // Handed out oldest first, so the plug-in has to do its own sorting.
    constexpr int refills = 36;
    const QDate today = now.date();
    for (int i = refills - 1; i >= 0; --i) {
        const QDate day = today.addDays(-(i * 10 + (i * 7) % 5) - 1);
        const QTime time(8 + (i * 5) % 10, (i * 17) % 60, (i * 31) % 60);
        const Ink& ink = model.inks.at((i * 3) % model.inks.size());
        model.refillLog.append({QDateTime(day, time), ink.name, i % 3 == 0 ? 1000.0 : 500.0});
    }
    return model;
}

std::optional<DeviceModel> DeviceModel::fromJsonFile(const QString& path, QString* error)
{
    DeviceFileReader reader(path);
    std::optional<DeviceModel> model = reader.read();
    if (!model)
        *error = reader.errorString();
    return model;
}
