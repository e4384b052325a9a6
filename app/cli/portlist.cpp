#include "app/cli/portlist.h"

#include <QSerialPortInfo>

QStringList PortListLines()
{
    QStringList lines;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        QStringList fields {info.systemLocation()};
        if (!info.description().isEmpty())
            fields << info.description();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            fields << QStringLiteral("%1:%2")
                          .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                          .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        if (!info.serialNumber().isEmpty())
            fields << QStringLiteral("serial ") + info.serialNumber();
        lines << fields.join(QStringLiteral("  "));
    }
    return lines;
}
