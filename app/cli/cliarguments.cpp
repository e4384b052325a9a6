#include "app/cli/cliarguments.h"

#include "app/transfer/escapedtext.h"
#include "app/transfer/pacingvalues.h"
#include "app/transfer/wholenumber.h"

#include <QCommandLineParser>

#include <limits>

namespace {

const char Synopsis[] =
    "Usage:\n"
    "  flashupdate-cli send FILE [--port NAME]... [--baud N] [--gap MS] [--block N | --lines]\n"
    "                            [--parity P] [--data-bits N] [--stop-bits N] [--flow F]\n"
    "                            [--linger MS] [--wait-for TEXT [--reply-timeout MS]]\n"
    "                            [--capture FILE] [--timestamps] [--raw]\n"
    "                            [--dry-run] [--force] [--report FILE]\n"
    "  flashupdate-cli ports\n"
    "  flashupdate-cli --help | --version\n"
    "\n"
    "send   Sends FILE to the board, one packet per Time Gap: a line at a time (each\n"
    "       line with its line feed, at most 2048 bytes), or with --block a block of\n"
    "       N bytes at a time. Options left out come from the window's Config.dat\n"
    "       (see Settings below); the file is not changed. What the board sends goes\n"
    "       to standard output as it arrives. Progress goes to standard error: a bar\n"
    "       when it is a terminal, a line a second otherwise; then the end message\n"
    "       and the packet count. Ctrl-C stops the transfer. FILE may be a pipe, a\n"
    "       FIFO or a device; - is standard input.\n"
    "       An Intel HEX or Motorola S-record file (every non-empty line a record)\n"
    "       is checked before any port opens: byte counts, record types,\n"
    "       checksums and the end record. One that fails is refused (status 1),\n"
    "       naming the line (\"line 7: checksum 3F, computed 40\"), unless --force.\n"
    "       Any other file goes out unchanged; a pipe, FIFO, device or standard\n"
    "       input is not read ahead, so its check is skipped.\n"
    "       Several boards: with --port given more than once, FILE (a regular file)\n"
    "       goes to every port at once, each at its own pace; one board failing does\n"
    "       not stop the others. Progress shows a line per port, and at the end a\n"
    "       table gives each port's bytes, packets, seconds and result. Each line a\n"
    "       board sends goes to standard output after its port's name (\"ttyUSB0: \"),\n"
    "       and --capture FILE takes one file per port, the port's name added to the\n"
    "       name (board.log becomes board-ttyUSB0.log).\n"
    "ports  Lists the serial ports present, with description, vendor:product id and\n"
    "       serial number when known.\n";

const char Epilogue[] =
    "Report: one JSON object: \"tool\" (\"flashupdate-cli\" and the version),\n"
    "  \"started\" (ISO 8601, UTC), \"file\" {\"path\", \"bytes\", \"sha256\", \"format\"\n"
    "  (\"intel-hex\", \"s-record\" or \"raw\"), \"first_address\", \"last_address\",\n"
    "  \"check\" (\"ok\", \"failed\", \"skipped\" or \"forced\")}, \"settings\" {\"baud\",\n"
    "  \"gap\", \"block\" (null in line mode), \"parity\", \"data_bits\", \"stop_bits\",\n"
    "  \"flow\", \"wait_for\", \"reply_timeout\"}, \"ports\" (one per --port, in the order\n"
    "  given: {\"port\", \"bytes\", \"packets\", \"seconds\", \"result\" (\"ok\" or what\n"
    "  ended it), \"status\" (that board's exit status), \"replies\" (what the board\n"
    "  sent, its last 64 KiB)}), \"exit\" (the exit status). Unknown values are null.\n"
    "\n"
    "Settings: Config.dat beside this program when its folder is writable and not\n"
    "  an installed bin/ folder, otherwise $XDG_CONFIG_HOME/flashupdate/Config.dat\n"
    "  (by default ~/.config/flashupdate/Config.dat).\n"
    "\n"
    "Exit status: 0 when the whole file was sent, 1 on a port, file or write error,\n"
    "a file whose check failed or a report that could not be written, 130 when\n"
    "interrupted, 2 for a mistake on the command line, 3 when the reader of\n"
    "standard output went away. With several ports: 0 only when every board got\n"
    "the whole file, otherwise the status of the first port in the order given\n"
    "that failed (130 when Ctrl-C stopped the transfers).\n";

struct KnownOption {
    const char* name;
    const char* valueName; // nullptr: a switch
    const char* description;
};

const KnownOption Options[] = {
    {"port", "NAME",
     "COM1..COM8 (COMn is /dev/ttyS(n-1)), a device name such as ttyUSB0, or a path "
     "such as /dev/ttyACM0 (a relative one from the working folder). Give it more than once to send "
     "to several boards at once. Left out: the port the window would use."},
    {"baud", "N", "Line speed."},
    {"gap", "MS", "Time Gap between packets in milliseconds, 0 to 3600000 (0 is sent as 1)."},
    {"block", "N", "Block mode (\"Pause By Data Size\") with Data Size N, 1 to 2048."},
    {"lines", nullptr, "Line mode even when Config.dat selects block mode."},
    {"parity", "P", "Parity: none (default), odd, even, mark or space."},
    {"data-bits", "N", "Data bits: 5, 6, 7 or 8 (default)."},
    {"stop-bits", "N", "Stop bits: 1 (default) or 2."},
    {"flow", "F", "Flow control: none (default), xonxoff or rtscts."},
    {"wait-for", "TEXT",
     "After each packet, send the next only once the board's answer since that packet "
     "contains TEXT (and not before the Time Gap); escapes \\r \\n \\t \\0 \\xHH."},
    {"reply-timeout", "MS",
     "Stop the transfer when that answer has not come within MS milliseconds, 1 to 3600000 "
     "(default 5000)."},
    {"capture", "FILE",
     "Append every byte the board sends to FILE, raw. FILE may not be the file being sent, nor "
     "shared by two ports."},
    {"timestamps", nullptr, "Begin each line the board sends with the seconds since the start, as [12.345]."},
    {"linger", "MS",
     "After the end, keep showing what the board sends until it has been quiet for MS "
     "milliseconds, but never longer than MS after the end of the file, 0 to 600000 (default 300)."},
    {"raw", nullptr,
     "Write what the board sends to a terminal as it came. Without it, bytes a terminal would act "
     "on (escape sequences and other control characters but tab, CR and LF) are shown as hex, <1B>."},
    {"dry-run", nullptr,
     "Open no port: print the file's format and check, the packets, the bytes, their time on "
     "the wire at the baud rate and line format, and the whole time with the Time Gap (with "
     "--wait-for the least it can take). Status 1 when the check fails (0 with --force)."},
    {"force", nullptr, "Send an Intel HEX or S-record file even when its check fails."},
    {"report", "FILE",
     "At the end, also after a failure or Ctrl-C, write a JSON record of the run to FILE "
     "(see Report below); FILE is replaced whole, never left half written."},
    {"version", nullptr, "Show the version."},
};

void addOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QStringLiteral("Show this text and the settings file this copy uses.")});
    for (const KnownOption& known : Options) {
        QCommandLineOption option(QString::fromLatin1(known.name), QString::fromLatin1(known.description));
        if (known.valueName)
            option.setValueName(QString::fromLatin1(known.valueName));
        parser.addOption(option);
    }
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("send or ports"));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("the file to send"));
}

// The option's last value (a later one overrides an earlier one).
QString lastValue(const QCommandLineParser& parser, const char* name)
{
    return parser.values(QString::fromLatin1(name)).constLast();
}

bool takeNumber(const QCommandLineParser& parser, const char* name, int minimum, int maximum,
                std::optional<int>& value, QString& error)
{
    if (!parser.isSet(QString::fromLatin1(name)))
        return true;
    const QString text = lastValue(parser, name);
    const std::optional<int> number = ToWholeNumber(text);
    if (!number || *number < minimum || *number > maximum) {
        error = QStringLiteral("--%1 needs a whole number from %2 to %3, not '%4'")
                    .arg(QLatin1String(name)).arg(minimum).arg(maximum).arg(text);
        return false;
    }
    value = *number;
    return true;
}

// One of the words of a line-format option, into `field`.
template <typename Value>
bool takeWord(const QCommandLineParser& parser, const char* name, const char* words,
              std::optional<Value> (*fromName)(const QString&), Value& field, QString& error)
{
    if (!parser.isSet(QString::fromLatin1(name)))
        return true;
    const QString text = lastValue(parser, name);
    const std::optional<Value> value = fromName(text);
    if (!value) {
        error = QStringLiteral("--%1 takes %2, not '%3'").arg(QLatin1String(name), QLatin1String(words), text);
        return false;
    }
    field = *value;
    return true;
}

bool takeSendOptions(const QCommandLineParser& parser, CliArguments& result, QString& error)
{
    result.ports = parser.values(QStringLiteral("port"));
    std::optional<int> number;
    if (!takeNumber(parser, "baud", 1, std::numeric_limits<int>::max(), number, error))
        return false;
    if (number)
        result.baud = lastValue(parser, "baud").trimmed();
    if (!takeNumber(parser, "gap", 0, MaxTimeGap, result.gapMs, error)
        || !takeNumber(parser, "block", 1, MaxDataSize, result.blockSize, error))
        return false;
    number.reset();
    if (!takeNumber(parser, "reply-timeout", 1, MaxReplyTimeoutMs, number, error))
        return false;
    result.replyTimeoutMs = number.value_or(result.replyTimeoutMs);
    number.reset();
    if (!takeNumber(parser, "linger", 0, MaxLingerMs, number, error))
        return false;
    result.lingerMs = number.value_or(result.lingerMs);

    LineFormat& format = result.lineFormat;
    if (!takeWord(parser, "parity", "none, odd, even, mark or space", ParityFromName, format.parity, error)
        || !takeWord(parser, "data-bits", "5, 6, 7 or 8", DataBitsFromName, format.dataBits, error)
        || !takeWord(parser, "stop-bits", "1 or 2", StopBitsFromName, format.stopBits, error)
        || !takeWord(parser, "flow", "none, xonxoff or rtscts", FlowFromName, format.flow, error))
        return false;

    if (parser.isSet(QStringLiteral("wait-for"))) {
        result.waitFor = UnescapeText(lastValue(parser, "wait-for").toLocal8Bit());
        if (result.waitFor.isEmpty()) {
            error = QStringLiteral("--wait-for needs a text");
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("capture"))) {
        result.captureFile = lastValue(parser, "capture");
        if (result.captureFile.isEmpty()) {
            error = QStringLiteral("--capture needs the name of a file");
            return false;
        }
    }
    result.raw = parser.isSet(QStringLiteral("raw"));
    result.lines = parser.isSet(QStringLiteral("lines"));
    result.timestamps = parser.isSet(QStringLiteral("timestamps"));
    result.dryRun = parser.isSet(QStringLiteral("dry-run"));
    result.force = parser.isSet(QStringLiteral("force"));
    if (parser.isSet(QStringLiteral("report"))) {
        result.reportFile = lastValue(parser, "report");
        if (result.reportFile.isEmpty()) {
            error = QStringLiteral("--report needs a FILE");
            return false;
        }
    }
    if (result.lines && result.blockSize) {
        error = QStringLiteral("--lines and --block exclude each other");
        return false;
    }
    return true;
}

} // namespace

std::optional<CliArguments> ParseCliArguments(const QStringList& arguments, QString& error)
{
    CliArguments result;
    if (arguments.isEmpty() || arguments.first() == QStringLiteral("help"))
        return result;
    QCommandLineParser parser;
    addOptions(parser);
    const bool parsed = parser.parse(QStringList {QStringLiteral("flashupdate-cli")} + arguments);
    // --help wins over every mistake around it.
    if (parser.isSet(QStringLiteral("help")))
        return result;
    if (!parsed) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.command = CliArguments::Command::Version;
        return result;
    }
    const QStringList positional = parser.positionalArguments();
    const QString command = positional.value(0);
    if (command == QStringLiteral("ports")) {
        if (arguments.size() > 1) {
            error = QStringLiteral("ports takes no arguments");
            return std::nullopt;
        }
        result.command = CliArguments::Command::Ports;
        return result;
    }
    if (command != QStringLiteral("send")) {
        error = command.isEmpty() ? QStringLiteral("send or ports is missing")
                                  : QStringLiteral("unknown command '%1'").arg(command);
        return std::nullopt;
    }
    result.command = CliArguments::Command::Send;
    if (positional.size() > 2) {
        error = QStringLiteral("only one file can be sent, '%1' is one too many").arg(positional[2]);
        return std::nullopt;
    }
    result.file = positional.value(1);
    if (result.file.isEmpty()) {
        error = QStringLiteral("send needs the FILE to send");
        return std::nullopt;
    }
    if (!takeSendOptions(parser, result, error))
        return std::nullopt;
    return result;
}

QString CliUsage()
{
    QCommandLineParser parser;
    addOptions(parser);
    // The parser's own text, from its list of options on: the synopsis above
    // says more about the commands than its one usage line can.
    QString options = parser.helpText();
    options = options.mid(options.indexOf(QStringLiteral("Options:")));
    options = options.left(options.indexOf(QStringLiteral("\nArguments:")) + 1);
    return QString::fromLatin1(Synopsis) + QLatin1Char('\n') + options + QString::fromLatin1(Epilogue);
}
