#include "ui/port_slots.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <string>

#include "link/port_resolver.h"

namespace varnel {

std::vector<PortSlot> detectPortSlots(const QString& extraPath) {
    std::vector<PortSlot> slots;
#ifdef Q_OS_WIN
    Q_UNUSED(extraPath);
    for (int n = 1; n <= kMaxPortSlots; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        slots.push_back({name, name, QString()});
    }
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const int n = info.portName().mid(3).toInt();
        if (info.portName().startsWith("COM") && n >= 1 && n <= kMaxPortSlots)
            slots[n - 1].tooltip = info.description();
    }
#else
    if (!extraPath.isEmpty())
        slots.push_back({extraPath, extraPath, QStringLiteral("Given on the command line")});
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    std::vector<std::string> paths;
    for (const QSerialPortInfo& info : infos) paths.push_back(info.systemLocation().toStdString());
    sortPortPaths(paths);
    for (const std::string& p : paths) {
        const QString path = QString::fromStdString(p);
        if (path == extraPath) continue;
        const auto info = std::find_if(infos.begin(), infos.end(), [&](const QSerialPortInfo& i) {
            return i.systemLocation() == path;
        });
        QString tooltip = info->description();
        if (info->hasVendorIdentifier() && info->hasProductIdentifier()) {
            tooltip += QString::asprintf(" (USB %04x:%04x)", info->vendorIdentifier(),
                                         info->productIdentifier());
        }
        slots.push_back({path, info->portName(), tooltip.trimmed()});
        if (static_cast<int>(slots.size()) == kMaxPortSlots) break;
    }
#endif
    return slots;
}

}  // namespace varnel
