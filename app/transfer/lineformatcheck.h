#pragma once
// Whether a terminal device really took a line format. A driver may keep
// settings it cannot do without saying so (a pseudo-terminal keeps 8 data
// bits and no parity whatever it is asked): a board would then get another
// format than the one chosen, so the difference is found by reading the
// settings back.

#include "app/transfer/lineformat.h"

#include <QString>

// What the device behind `fd` kept instead of `format` ("the device keeps 8
// data bits, not 7"); empty when it took all of it.
QString FormatNotKept(int fd, const LineFormat& format);
