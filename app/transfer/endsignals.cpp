#include "app/transfer/endsignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

bool HoldEndSignals()
{
    if (g_signalPipe[0] >= 0)
        return true;
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = ::onSignal;
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(number, &action, nullptr);
    return true;
}

bool TakeEndSignal()
{
    char drain[16];
    bool came = false;
    while (g_signalPipe[0] >= 0 && ::read(g_signalPipe[0], drain, sizeof drain) > 0)
        came = true;
    return came;
}

void CatchEndSignals(QObject* context, std::function<void()> onSignal)
{
    if (!HoldEndSignals())
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [onSignal = std::move(onSignal)] {
        if (TakeEndSignal())
            onSignal();
    });
}
