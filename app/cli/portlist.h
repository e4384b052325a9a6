#pragma once
// The serial ports present on this machine, one line each.

#include <QStringList>

QStringList PortListLines();
