#pragma once
// A message the transfer engine has for the user: the text exactly as it is to
// be shown, the caption (empty for the application's title), and, when the
// port or the send file failed, what failed and the system's reason. The
// engine only says it; the window shows a message box, the command-line
// sender writes it to standard error.

#include "app/transfer/transfererror.h"

#include <QString>

struct TransferMessage {
    QString text;
    QString caption;
    TransferError error;
};
