#include "app/cli/cliarguments.h"

#include "app/transfer/escapedtext.h"
#include "app/transfer/pacingvalues.h"
#include "app/transfer/wholenumber.h"

#include <QStringList>

const char CliUsage[] =
    "Usage:\n"
    "  flashupdate-cli send FILE [--port NAME] [--baud N] [--gap MS] [--block N | --lines]\n"
    "                            [--linger MS] [--wait-for TEXT [--reply-timeout MS]]\n"
    "                            [--capture FILE] [--timestamps]\n"
    "  flashupdate-cli ports\n"
    "  flashupdate-cli --help | --version\n"
    "\n"
    "send   Sends FILE to the board, one packet per Time Gap: a line at a time (each\n"
    "       line with its line feed, at most 2048 bytes), or with --block a block of\n"
    "       N bytes at a time (N from 1 to 2048). Options left out come from the\n"
    "       window's Config.dat (see Settings below); the file is not changed.\n"
    "         --port NAME   COM1..COM8 (COMn is /dev/ttyS(n-1)), a device name such as\n"
    "                       ttyUSB0, or a path such as /dev/ttyACM0\n"
    "         --baud N      line speed; 8 data bits, no parity, one stop bit\n"
    "         --gap MS      Time Gap between packets in milliseconds (0 is sent as 1)\n"
    "         --block N     block mode (\"Pause By Data Size\") with Data Size N\n"
    "         --lines       line mode even when Config.dat selects block mode\n"
    "         --wait-for TEXT  after each packet, send the next only once the board's\n"
    "                       answer since that packet contains TEXT (and not before\n"
    "                       the Time Gap); escapes \\r \\n \\t \\0 \\xHH\n"
    "         --reply-timeout MS  stop the transfer when the answer has not come\n"
    "                       within MS milliseconds (default 5000)\n"
    "         --capture FILE  append every byte the board sends to FILE, raw\n"
    "         --timestamps  begin each line the board sends with the seconds since\n"
    "                       the start, as [12.345]\n"
    "         --linger MS   after the end, keep showing what the board sends until it\n"
    "                       has been quiet for MS milliseconds (default 300)\n"
    "       What the board sends goes to standard output as it arrives. Progress goes\n"
    "       to standard error: a bar when it is a terminal, a line a second otherwise;\n"
    "       then the end message and the packet count. Ctrl-C stops the transfer.\n"
    "       FILE may be a pipe, a FIFO or a device; - is standard input.\n"
    "ports  Lists the serial ports present, with description, vendor:product id and\n"
    "       serial number when known.\n"
    "\n"
    "Settings: Config.dat beside this program when its folder is writable and not\n"
    "  an installed bin/ folder, otherwise $XDG_CONFIG_HOME/flashupdate/Config.dat\n"
    "  (by default ~/.config/flashupdate/Config.dat).\n"
    "\n"
    "Exit status: 0 when the whole file was sent, 1 on a port, file or write error,\n"
    "130 when interrupted, 2 for a mistake on the command line, 3 when the reader\n"
    "of standard output went away.\n";

namespace {

bool takeNumber(const QString& option, const QString& text, int minimum, int maximum,
                int& value, QString& error)
{
    const std::optional<int> number = ToWholeNumber(text);
    if (!number || *number < minimum || *number > maximum) {
        error = QStringLiteral("%1 needs a whole number from %2 to %3, not '%4'")
                    .arg(option).arg(minimum).arg(maximum).arg(text);
        return false;
    }
    value = *number;
    return true;
}

} // namespace

std::optional<CliArguments> ParseCliArguments(const QStringList& arguments, QString& error)
{
    CliArguments result;
    if (arguments.isEmpty() || arguments.contains(QStringLiteral("--help"))
        || arguments.contains(QStringLiteral("-h")) || arguments.first() == QStringLiteral("help"))
        return result;

    if (arguments == QStringList {QStringLiteral("--version")}) {
        result.command = CliArguments::Command::Version;
        return result;
    }
    const QString command = arguments.first();
    if (command == QStringLiteral("ports")) {
        if (arguments.size() > 1) {
            error = QStringLiteral("ports takes no arguments");
            return std::nullopt;
        }
        result.command = CliArguments::Command::Ports;
        return result;
    }
    if (command != QStringLiteral("send")) {
        error = QStringLiteral("unknown command '%1'").arg(command);
        return std::nullopt;
    }
    result.command = CliArguments::Command::Send;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString arg = arguments[i];
        if (arg == QStringLiteral("--lines")) {
            result.lines = true;
            continue;
        }
        if (arg == QStringLiteral("--timestamps")) {
            result.timestamps = true;
            continue;
        }
        if (!arg.startsWith(QStringLiteral("--"))) {
            if (!result.file.isEmpty()) {
                error = QStringLiteral("only one file can be sent, '%1' is one too many").arg(arg);
                return std::nullopt;
            }
            result.file = arg;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = QStringLiteral("%1 needs a value").arg(arg);
            return std::nullopt;
        }
        const QString value = arguments[++i];
        int number = 0;
        if (arg == QStringLiteral("--capture")) {
            result.captureFile = value;
        } else if (arg == QStringLiteral("--port")) {
            result.port = value;
        } else if (arg == QStringLiteral("--baud")) {
            if (!takeNumber(arg, value, 1, std::numeric_limits<int>::max(), number, error))
                return std::nullopt;
            result.baud = value.trimmed();
        } else if (arg == QStringLiteral("--gap")) {
            if (!takeNumber(arg, value, 0, MaxTimeGap, number, error))
                return std::nullopt;
            result.gapMs = number;
        } else if (arg == QStringLiteral("--block")) {
            if (!takeNumber(arg, value, 1, MaxDataSize, number, error))
                return std::nullopt;
            result.blockSize = number;
        } else if (arg == QStringLiteral("--wait-for")) {
            result.waitFor = UnescapeText(value.toLocal8Bit());
            if (result.waitFor.isEmpty()) {
                error = QStringLiteral("--wait-for needs a text");
                return std::nullopt;
            }
        } else if (arg == QStringLiteral("--reply-timeout")) {
            if (!takeNumber(arg, value, 1, MaxReplyTimeoutMs, number, error))
                return std::nullopt;
            result.replyTimeoutMs = number;
        } else if (arg == QStringLiteral("--linger")) {
            if (!takeNumber(arg, value, 0, 600000, number, error))
                return std::nullopt;
            result.lingerMs = number;
        } else {
            error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        }
    }
    if (result.file.isEmpty()) {
        error = QStringLiteral("send needs the FILE to send");
        return std::nullopt;
    }
    if (result.lines && result.blockSize) {
        error = QStringLiteral("--lines and --block exclude each other");
        return std::nullopt;
    }
    return result;
}
