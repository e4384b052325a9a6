#include "app/cli/portlist.h"

#include "app/transfer/presentports.h"

QStringList PortListLines()
{
    QStringList lines;
    for (const PresentPort& port : PresentPorts())
        lines << port.label;
    return lines;
}
