#include "app/transfer/outputdrain.h"

#include <algorithm>
#include <chrono>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>

namespace {

// Beyond the bytes' own time on the line.
constexpr long long DrainMarginMs = 500;
// The longest wait, whatever the queue: closing never hangs for long.
constexpr long long LongestDrainMs = 5000;

int queuedOutput(int fd)
{
    int queued = 0;
    return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? queued : 0;
}

} // namespace

void DrainOutput(int fd, int baudRate, int bitsPerCharacter)
{
    if (fd < 0)
        return;
    const long long lineMs = 1000LL * queuedOutput(fd) * bitsPerCharacter / std::max(baudRate, 1);
    const auto until = std::chrono::steady_clock::now()
        + std::chrono::milliseconds(std::min(lineMs + DrainMarginMs, LongestDrainMs));
    while (queuedOutput(fd) > 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // The queue is empty: this returns once the last character has left the
    // transmitter, which takes a character's time.
    if (queuedOutput(fd) == 0)
        ::tcdrain(fd);
}
