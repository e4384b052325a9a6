#include "app/transfer/transfererror.h"

#include <array>
#include <cerrno>
#include <cstring>

TransferError TransferError::FromErrno(Operation operation, const QString& target, int errorNumber)
{
    return {operation, target, QString::fromLocal8Bit(std::strerror(errorNumber)), errorNumber};
}

TransferError TransferError::BoardStalled(const QString& target, qint64 stillMs, bool heldByXoff, qint64 waiting)
{
    const QString held = heldByXoff ? QStringLiteral(" (it sent XOFF and no XON since)") : QString();
    return {Operation::WritePort, target,
            QStringLiteral("the board took no bytes for %1 ms%2; %3 bytes are waiting").arg(stillMs).arg(held).arg(waiting),
            ETIMEDOUT};
}

namespace {

// In the order of Headline.
const std::array<HeadlineWords, 13> Headlines {{
    {QStringLiteral("COM Port Setting Error!!!"), QStringLiteral("Set Error")},
    {QStringLiteral("Open COM Port Error !!!"), QStringLiteral("Comm Error")},
    {QStringLiteral("COM Port Error !!!"), QStringLiteral("Comm Error")},
    {QStringLiteral("Send Data Error !!!"), QStringLiteral("Comm Error")},
    {QStringLiteral("Can't Open Send File!"), {}},
    {QStringLiteral("Send File Changed !!!"), {}},
    {QStringLiteral("Send File Read Error !!!"), {}},
    {QStringLiteral("No Reply From Board !!!"), {}},
    {QStringLiteral("Can't Save Settings!"), {}},
    {QStringLiteral("Can't Save File!"), {}},
    {QStringLiteral("Can't Save Log File!"), {}},
    {QStringLiteral("Can't Open Capture File!"), {}},
    {QStringLiteral("Capture File Write Error !!!"), {}},
}};
static_assert(Headlines.size() == static_cast<size_t>(Headline::CaptureNotWritten) + 1);

} // namespace

const HeadlineWords& HeadlineText(Headline headline)
{
    return Headlines[static_cast<size_t>(headline)];
}

QString LogLine(Headline headline, const TransferError& error)
{
    QString line = HeadlineText(headline).text;
    if (!error.target.isEmpty())
        line += QLatin1Char(' ') + error.target;
    if (!error.reason.isEmpty())
        line += QStringLiteral(": ") + error.reason;
    return line;
}
