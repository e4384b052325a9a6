#include "tools/board-sim/boardsimoptions.h"

#include "app/transfer/escapedtext.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char BoardSimUsage[] =
    "Usage: board-sim [options]\n"
    "A simulated board on a pseudo-terminal. The first line printed is the device\n"
    "to use as the port name; the simulator then runs until killed or a limit.\n"
    "\n"
    "  --log FILE            append one line per read: monotonic time in microseconds,\n"
    "                        byte count, the bytes in hex\n"
    "  --reply TEXT          send TEXT after each received line feed\n"
    "                        (escapes: \\n \\r \\t \\0 \\\\ \\xHH)\n"
    "  --reply-after-line TEXT  send TEXT after each received line, and after a\n"
    "                        packet without a line feed once the line is quiet\n"
    "  --stop-replying-after N  answer (--reply, --reply-after-line) N times, then\n"
    "                        fall silent like a board that hung (N up to 1000000000000)\n"
    "  --flood N             send N bytes at once after the first packet,\n"
    "                        N from 0 to 1000000000000 (1 TB, made as they are sent)\n"
    "  --hangup-after N      hang up (like an unplugged board) after N received bytes,\n"
    "                        N from 0 to 1000000000000\n"
    "  --quit-after-idle MS  exit when nothing arrived for MS milliseconds,\n"
    "                        MS from 0 to 86400000 (one day)\n"
    "  --help                show this text\n";

namespace {

constexpr int64_t MaxByteCount = 1000000000000;  // 1 TB
constexpr int64_t MaxIdleMs = 24 * 60 * 60 * 1000; // one day

// A whole decimal number from 0 to `most`.
bool parseCount(const char* text, int64_t most, int64_t& value)
{
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < 0 || parsed > most)
        return false;
    value = parsed;
    return true;
}

std::string unescaped(const char* text)
{
    return UnescapeText(QByteArray(text)).toStdString();
}

} // namespace

std::optional<BoardSimOptions> ParseBoardSimOptions(int argc, char** argv, std::string& error)
{
    BoardSimOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        const bool takesValue = arg == "--log" || arg == "--reply" || arg == "--reply-after-line"
            || arg == "--stop-replying-after" || arg == "--flood"
            || arg == "--hangup-after" || arg == "--quit-after-idle";
        if (!takesValue) {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        const char* value = argv[++i];
        if (arg == "--log") {
            options.logPath = value;
            continue;
        }
        if (arg == "--reply") {
            options.reply = unescaped(value);
            continue;
        }
        if (arg == "--reply-after-line") {
            options.replyAfterLine = unescaped(value);
            continue;
        }
        const int64_t most = arg == "--quit-after-idle" ? MaxIdleMs : MaxByteCount;
        int64_t count = 0;
        if (!parseCount(value, most, count)) {
            error = arg + " needs a whole number from 0 to " + std::to_string(most) + ", not '" + value + "'";
            return std::nullopt;
        }
        if (arg == "--flood") {
            options.flood = static_cast<uint64_t>(count);
        } else if (arg == "--stop-replying-after") {
            options.stopReplyingAfter = static_cast<uint64_t>(count);
        } else if (arg == "--hangup-after") {
            options.hangupAfter = static_cast<uint64_t>(count);
        } else {
            options.quitAfterIdleMs = count;
        }
    }
    return options;
}
