#pragma once
// The window's part of the firmware check: at Start, an Intel HEX or
// S-record file's format, address range and check go to the log, and a file
// that fails its check is sent only when the user says so (No is the
// default). A file of no known format is sent as it is, without a word; a
// pipe, FIFO or device is not read ahead.

#include "app/window/messagebox.h"

#include <QByteArray>

class LogBox;

// True when the transfer may start.
bool CheckFirmwareAtStart(const QByteArray& path, LogBox& log, const QuestionAsker& ask);
