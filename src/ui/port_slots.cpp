#include "ui/port_slots.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <string>

#include "serial/port_resolver.h"

namespace varnel {

std::vector<PortSlot> detectPortSlots(const std::string& extraPathText) {
    const QString extraPath = QString::fromStdString(extraPathText);
    std::vector<PortSlot> found;
#ifdef Q_OS_WIN
    Q_UNUSED(extraPath);
    Q_UNUSED(extraPathText);
    for (int n = 1; n <= kMaxPortSlots; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        found.push_back({name.toStdString(), name.toStdString(), {}});
    }
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const int n = info.portName().mid(3).toInt();
        if (info.portName().startsWith("COM") && n >= 1 && n <= kMaxPortSlots)
            found[n - 1].tooltip = info.description().toStdString();
    }
#else
    if (!extraPath.isEmpty())
        found.push_back({extraPathText, extraPathText, "Given on the command line"});
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
        found.push_back({p, info->portName().toStdString(), tooltip.trimmed().toStdString()});
        if (static_cast<int>(found.size()) == kMaxPortSlots) break;
    }
#endif
    return found;
}

}  // namespace varnel
