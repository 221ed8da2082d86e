// SPDX-License-Identifier: MIT
#ifndef TINTWELLHOST_DEVICEMODEL_H
#define TINTWELLHOST_DEVICEMODEL_H

#include "plugin/vqtintwell.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// What the host knows of its printer, already in the records the plug-in
// reads, and switches that make a fill call fail so that an operator can
// watch how the plug-in copes.
struct DeviceModel
{
    // Eight inks, limited, and about a year of refills up to 'now'.
    static DeviceModel sample(const QDateTime& now = QDateTime::currentDateTime());
    // Reads a device file (README.md). On failure there is no model, and
    // 'error' names the file and what is wrong.
    static std::optional<DeviceModel> fromFile(const QString& path, QString* error);

    std::vector<InkRecord> inks;
    std::vector<InkRecord> refills;
    bool limited = true;
    bool failInkList = false;
    bool failRefillLog = false;
};

#endif
