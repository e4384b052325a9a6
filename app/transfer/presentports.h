#pragma once
// The serial devices present on this machine, as the port box and
// `flashupdate-cli ports` list them.

#include <QList>
#include <QString>

struct PresentPort {
    QString path;  // "/dev/ttyUSB0": what goes into the port box
    QString label; // the path with description, USB vendor:product and serial number
};

// Read afresh on each call: adapters come and go.
QList<PresentPort> PresentPorts();
