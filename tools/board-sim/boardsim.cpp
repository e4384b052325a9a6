// board-sim: a simulated board on a pseudo-terminal, for trying and testing the
// flash update tool without hardware. It prints the device to use as the port
// name, reads whatever the tool sends, logs each read with a monotonic time
// stamp, and can answer lines, flood the line or hang up like an unplugged board.

#include "tools/board-sim/boardsimoptions.h"
#include "tools/board-sim/floodpattern.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_stop = 0;

// How long the line must be quiet before bytes without a line feed count as
// a whole packet to answer.
constexpr int PacketQuietMs = 5;

void onSignal(int)
{
    g_stop = 1;
}

int64_t monotonicMicroseconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void writeLogLine(std::FILE* log, int64_t time, const char* bytes, size_t count)
{
    static const char hex[] = "0123456789abcdef";
    std::string line = std::to_string(time) + ' ' + std::to_string(count) + ' ';
    line.reserve(line.size() + count * 2 + 1);
    for (size_t i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        line += hex[byte >> 4];
        line += hex[byte & 15];
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), log);
    std::fflush(log);
}

class BoardSim {
public:
    explicit BoardSim(const BoardSimOptions& options) : m_options(options) {}
    int run();

private:
    bool openTerminal();
    void received(const char* bytes, size_t count);
    bool hasPending() const;
    void sendPending();
    void answer(const std::string& text);
    int pollTimeoutMs() const;

    BoardSimOptions m_options;
    int m_master = -1;
    int m_slave = -1; // held open so reads never fail before the tool opens the port
    std::FILE* m_log = nullptr;
    // What goes out, in order: m_pending, then the flood bytes not made yet
    // (made a chunk at a time, so a flood of any size needs little memory), then
    // the replies that came in meanwhile.
    std::string m_pending;
    uint64_t m_floodLeft = 0;
    uint64_t m_floodMade = 0;
    std::string m_afterFlood;
    uint64_t m_total = 0;
    bool m_flooded = false;
    bool m_unansweredPacket = false; // bytes after the last line feed, not answered yet
    uint64_t m_answers = 0;
    int64_t m_lastActivityUs = 0;
};

bool BoardSim::openTerminal()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        std::fprintf(stderr, "board-sim: openpty: %s\n", std::strerror(errno));
        return false;
    }
    termios raw {};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    std::printf("%s\n", name);
    std::fflush(stdout);
    return true;
}

void BoardSim::received(const char* bytes, size_t count)
{
    m_lastActivityUs = monotonicMicroseconds();
    if (m_log)
        writeLogLine(m_log, m_lastActivityUs, bytes, count);
    m_total += count;
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] == '\n') {
            answer(m_options.reply);
            answer(m_options.replyAfterLine);
        }
    }
    m_unansweredPacket = !m_options.replyAfterLine.empty() && bytes[count - 1] != '\n';
    if (!m_flooded && m_options.flood > 0) {
        m_flooded = true;
        m_floodLeft = m_options.flood;
    }
}

void BoardSim::answer(const std::string& text)
{
    if (text.empty() || (m_options.stopReplyingAfter && m_answers >= *m_options.stopReplyingAfter))
        return;
    ++m_answers;
    // Replies that come in while a flood is still going out follow it.
    (m_floodLeft > 0 ? m_afterFlood : m_pending) += text;
}

bool BoardSim::hasPending() const
{
    return !m_pending.empty() || m_floodLeft > 0;
}

void BoardSim::sendPending()
{
    constexpr uint64_t floodChunk = 65536;
    for (;;) {
        if (m_pending.empty() && m_floodLeft > 0) {
            const auto count = static_cast<size_t>(std::min(m_floodLeft, floodChunk));
            m_pending = FloodPatternAt(m_floodMade, count);
            m_floodMade += count;
            m_floodLeft -= count;
            if (m_floodLeft == 0) {
                m_pending += m_afterFlood;
                m_afterFlood.clear();
            }
        }
        if (m_pending.empty())
            return;
        const ssize_t written = ::write(m_master, m_pending.data(), m_pending.size());
        if (written <= 0)
            return; // the tool is not reading yet: try again when the line drains
        m_pending.erase(0, static_cast<size_t>(written));
    }
}

int BoardSim::pollTimeoutMs() const
{
    const int64_t idleMs = (monotonicMicroseconds() - m_lastActivityUs) / 1000;
    int64_t timeout = -1;
    if (m_options.quitAfterIdleMs)
        timeout = std::max<int64_t>(0, *m_options.quitAfterIdleMs - idleMs);
    if (m_unansweredPacket) {
        const int64_t untilQuiet = std::max<int64_t>(0, PacketQuietMs - idleMs);
        timeout = timeout < 0 ? untilQuiet : std::min(timeout, untilQuiet);
    }
    return static_cast<int>(std::min<int64_t>(timeout, INT_MAX));
}

int BoardSim::run()
{
    if (!m_options.logPath.empty()) {
        m_log = std::fopen(m_options.logPath.c_str(), "a");
        if (!m_log) {
            std::fprintf(stderr, "board-sim: %s: %s\n", m_options.logPath.c_str(), std::strerror(errno));
            return 1;
        }
    }
    if (!openTerminal())
        return 1;
    m_lastActivityUs = monotonicMicroseconds();

    char buffer[65536];
    while (!g_stop) {
        pollfd fd {m_master, static_cast<short>(POLLIN | (hasPending() ? POLLOUT : 0)), 0};
        const int ready = ::poll(&fd, 1, pollTimeoutMs());
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (fd.revents & POLLIN)) {
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            if (count > 0) {
                received(buffer, static_cast<size_t>(count));
                if (m_options.hangupAfter && m_total >= *m_options.hangupAfter)
                    break; // closing the master is the hang-up the tool sees
            }
        }
        if (m_unansweredPacket && (monotonicMicroseconds() - m_lastActivityUs) / 1000 >= PacketQuietMs) {
            m_unansweredPacket = false;
            answer(m_options.replyAfterLine);
        }
        if (hasPending())
            sendPending();
        if (m_options.quitAfterIdleMs
            && (monotonicMicroseconds() - m_lastActivityUs) / 1000 >= *m_options.quitAfterIdleMs)
            break;
    }
    ::close(m_master);
    ::close(m_slave);
    if (m_log)
        std::fclose(m_log);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    const std::optional<BoardSimOptions> options = ParseBoardSimOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "board-sim: %s\nTry 'board-sim --help' for the options.\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(BoardSimHelp().c_str(), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("board-sim %s\n", FLASHUPDATE_VERSION);
        return 0;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    return BoardSim(*options).run();
}
