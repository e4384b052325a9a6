#include "app/transfer/presentports.h"

#include <QSerialPortInfo>
#include <QStringList>

QList<PresentPort> PresentPorts()
{
    QList<PresentPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QStringList fields {info.systemLocation()};
        if (!info.description().isEmpty())
            fields << info.description();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            fields << QStringLiteral("%1:%2")
                          .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                          .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        if (!info.serialNumber().isEmpty())
            fields << QStringLiteral("serial ") + info.serialNumber();
        ports << PresentPort {info.systemLocation(), fields.join(QStringLiteral("  "))};
    }
    return ports;
}
