#include "tools/board-sim/boardsimoptions.h"

#include "app/transfer/escapedtext.h"

#include <QCommandLineParser>

#include <cerrno>
#include <cstdlib>

namespace {

constexpr int64_t MaxByteCount = 1000000000000;  // 1 TB
constexpr int64_t MaxIdleMs = 24 * 60 * 60 * 1000; // one day

// An option that takes a whole number from 0 to `most`, and where its value goes.
struct CountOption {
    const char* name;
    int64_t most;
    void (*store)(BoardSimOptions&, int64_t);
};

const CountOption countOptions[] = {
    {"stop-replying-after", MaxByteCount, [](BoardSimOptions& o, int64_t n) { o.stopReplyingAfter = uint64_t(n); }},
    {"flood", MaxByteCount, [](BoardSimOptions& o, int64_t n) { o.flood = uint64_t(n); }},
    {"hangup-after", MaxByteCount, [](BoardSimOptions& o, int64_t n) { o.hangupAfter = uint64_t(n); }},
    {"quit-after-idle", MaxIdleMs, [](BoardSimOptions& o, int64_t n) { o.quitAfterIdleMs = n; }},
};

void describeOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "A simulated board on a pseudo-terminal. The first line printed is the device\n"
        "to use as the port name; the simulator then runs until killed or a limit."));
    parser.addOptions({
        {QStringLiteral("log"),
         QStringLiteral("Append one line per read to FILE: monotonic time in microseconds, byte count, the "
                        "bytes in hex. Default: no log."),
         QStringLiteral("FILE")},
        {QStringLiteral("reply"),
         QStringLiteral("Send TEXT after each received line feed (escapes: \\n \\r \\t \\0 \\\\ \\xHH). "
                        "Default: no reply."),
         QStringLiteral("TEXT")},
        {QStringLiteral("reply-after-line"),
         QStringLiteral("Send TEXT after each received line, and after a packet without a line feed once the "
                        "line has been quiet for 5 ms (escapes as --reply). Default: no reply."),
         QStringLiteral("TEXT")},
        {QStringLiteral("stop-replying-after"),
         QStringLiteral("Answer (--reply, --reply-after-line) N times, then fall silent like a board that "
                        "hung. N from 0 to %1. Default: answers for ever.").arg(MaxByteCount),
         QStringLiteral("N")},
        {QStringLiteral("flood"),
         QStringLiteral("Send N bytes at once after the first packet, made as they are sent. N from 0 to %1 "
                        "(1 TB). Default: 0, no flood.").arg(MaxByteCount),
         QStringLiteral("N")},
        {QStringLiteral("hangup-after"),
         QStringLiteral("Hang up, like an unplugged board, after N received bytes. N from 0 to %1. "
                        "Default: never.").arg(MaxByteCount),
         QStringLiteral("N")},
        {QStringLiteral("quit-after-idle"),
         QStringLiteral("Exit when nothing arrived for MS milliseconds. MS from 0 to %1 (one day). "
                        "Default: runs until killed.").arg(MaxIdleMs),
         QStringLiteral("MS")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this text.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version.")},
    });
}

// A whole decimal number from 0 to `most`.
bool parseCount(const QByteArray& text, int64_t most, int64_t& value)
{
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.constData(), &end, 10);
    if (errno != 0 || end == text.constData() || *end != '\0' || parsed < 0 || parsed > most)
        return false;
    value = parsed;
    return true;
}

// Option values are read byte for byte (see ParseBoardSimOptions).
QByteArray bytesOf(const QString& value)
{
    return value.toLatin1();
}

std::string dashed(const QString& name)
{
    return (name.size() == 1 ? "-" : "--") + name.toStdString();
}

} // namespace

std::optional<BoardSimOptions> ParseBoardSimOptions(int argc, char** argv, std::string& error)
{
    // Each byte becomes one character and goes back with toLatin1(), so a log path
    // or a reply that is not valid text in the locale arrives unchanged.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLatin1(argv[i]);
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        error = unknown.isEmpty() ? bytesOf(parser.errorText()).toStdString() : "unknown option " + dashed(unknown.first());
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = "unexpected argument " + bytesOf(parser.positionalArguments().first()).toStdString();
        return std::nullopt;
    }

    BoardSimOptions options;
    options.help = parser.isSet(QStringLiteral("help"));
    options.version = parser.isSet(QStringLiteral("version"));
    options.logPath = bytesOf(parser.value(QStringLiteral("log"))).toStdString();
    options.reply = UnescapeText(bytesOf(parser.value(QStringLiteral("reply")))).toStdString();
    options.replyAfterLine = UnescapeText(bytesOf(parser.value(QStringLiteral("reply-after-line")))).toStdString();
    for (const CountOption& option : countOptions) {
        const QString name = QString::fromLatin1(option.name);
        if (!parser.isSet(name))
            continue;
        const QByteArray value = bytesOf(parser.value(name));
        int64_t count = 0;
        if (!parseCount(value, option.most, count)) {
            error = dashed(name) + " needs a whole number from 0 to " + std::to_string(option.most) + ", not '"
                + value.toStdString() + "'";
            return std::nullopt;
        }
        option.store(options, count);
    }
    return options;
}

std::string BoardSimHelp()
{
    QCommandLineParser parser;
    describeOptions(parser);
    QString text = parser.helpText();
    // The parser names the program by the path it was started with; the help names it plainly.
    text.replace(0, text.indexOf(u'\n'), QStringLiteral("Usage: board-sim [options]"));
    return text.toStdString();
}
