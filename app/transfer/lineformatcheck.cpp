#include "app/transfer/lineformatcheck.h"

#include <QStringList>

#include <algorithm>

#include <termios.h>

namespace {

int dataBitsOf(tcflag_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

QString parityName(tcflag_t cflag)
{
    if (!(cflag & PARENB))
        return QStringLiteral("no parity");
    if (cflag & CMSPAR)
        return cflag & PARODD ? QStringLiteral("mark parity") : QStringLiteral("space parity");
    return cflag & PARODD ? QStringLiteral("odd parity") : QStringLiteral("even parity");
}

QString flowName(const termios& line)
{
    if (line.c_cflag & CRTSCTS)
        return QStringLiteral("RTS/CTS flow control");
    if ((line.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF))
        return QStringLiteral("XON/XOFF flow control");
    return QStringLiteral("no flow control");
}

// The termios bits `format` stands for, in a copy of `line`.
termios wanted(termios line, const LineFormat& format)
{
    line.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    line.c_iflag &= ~(IXON | IXOFF);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    line.c_cflag |= sizes[std::clamp(static_cast<int>(format.dataBits), 5, 8) - 5];
    switch (format.parity) {
    case QSerialPort::OddParity: line.c_cflag |= PARENB | PARODD; break;
    case QSerialPort::EvenParity: line.c_cflag |= PARENB; break;
    case QSerialPort::MarkParity: line.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case QSerialPort::SpaceParity: line.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (format.stopBits == QSerialPort::TwoStop)
        line.c_cflag |= CSTOPB;
    if (format.flow == QSerialPort::HardwareControl)
        line.c_cflag |= CRTSCTS;
    else if (format.flow == QSerialPort::SoftwareControl)
        line.c_iflag |= IXON | IXOFF;
    return line;
}

} // namespace

QString FormatNotKept(int fd, const LineFormat& format)
{
    termios line {};
    if (fd < 0 || ::tcgetattr(fd, &line) != 0)
        return {};
    const termios want = wanted(line, format);
    QStringList kept;
    if (dataBitsOf(line.c_cflag) != dataBitsOf(want.c_cflag))
        kept << QStringLiteral("%1 data bits, not %2").arg(dataBitsOf(line.c_cflag)).arg(dataBitsOf(want.c_cflag));
    if (parityName(line.c_cflag) != parityName(want.c_cflag))
        kept << QStringLiteral("%1, not %2").arg(parityName(line.c_cflag), parityName(want.c_cflag));
    if ((line.c_cflag & CSTOPB) != (want.c_cflag & CSTOPB))
        kept << QStringLiteral("%1 stop bits, not %2").arg(line.c_cflag & CSTOPB ? 2 : 1).arg(want.c_cflag & CSTOPB ? 2 : 1);
    if (flowName(line) != flowName(want))
        kept << QStringLiteral("%1, not %2").arg(flowName(line), flowName(want));
    if (kept.isEmpty())
        return {};
    return QStringLiteral("the device keeps ") + kept.join(QStringLiteral(", "));
}
