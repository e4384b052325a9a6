#include "app/cli/progressreport.h"

namespace {

constexpr qint64 BarRedrawMs = 100;
constexpr qint64 LineEveryMs = 1000;
constexpr int BarWidth = 30;

int percentOf(qint64 bytes, qint64 total)
{
    return total > 0 ? static_cast<int>(std::min<qint64>(bytes, total) * 100 / total) : 100;
}

// "12 s left", "3 min 20 s left"; nothing until a rate is known.
QString timeLeft(qint64 bytes, qint64 total, double bytesPerSecond)
{
    if (bytesPerSecond <= 0 || bytes <= 0)
        return {};
    const qint64 seconds = static_cast<qint64>((std::max<qint64>(total - bytes, 0)) / bytesPerSecond + 0.5);
    if (seconds < 60)
        return QStringLiteral("  %1 s left").arg(seconds);
    return QStringLiteral("  %1 min %2 s left").arg(seconds / 60).arg(seconds % 60);
}

} // namespace

ProgressReport::ProgressReport(std::FILE* out, bool terminal) : m_out(out), m_terminal(terminal) {}

void ProgressReport::start(qint64 total)
{
    m_total = total;
    m_bytes = 0;
    m_packets = 0;
    m_started = true;
    m_clock.start();
    m_lastDrawMs = -1;
}

void ProgressReport::update(qint64 bytes, int packets)
{
    if (!m_started)
        return;
    m_bytes = bytes;
    m_packets = packets;
    const qint64 now = m_clock.elapsed();
    const qint64 every = m_terminal ? BarRedrawMs : LineEveryMs;
    if (m_lastDrawMs < 0 ? now >= every || m_terminal : now - m_lastDrawMs >= every) {
        m_lastDrawMs = now;
        draw();
    }
}

void ProgressReport::draw()
{
    const double seconds = std::max(m_clock.nsecsElapsed() / 1e9, 1e-6);
    const double rate = m_bytes / seconds;
    if (m_terminal) {
        const QByteArray text = BarText(m_bytes, m_total, m_packets, rate, BarWidth).toLocal8Bit();
        std::fprintf(m_out, "\r\033[K%s", text.constData());
        m_barShown = true;
    } else {
        std::fprintf(m_out, "%s\n", LineText(m_bytes, m_total, m_packets, rate).toLocal8Bit().constData());
    }
    std::fflush(m_out);
}

void ProgressReport::finish()
{
    if (!m_started)
        return;
    if (m_terminal || m_lastDrawMs >= 0)
        draw();
    if (m_barShown)
        std::fputc('\n', m_out);
    m_barShown = false;
    m_started = false;
    std::fflush(m_out);
}

void ProgressReport::clearLine()
{
    if (m_barShown) {
        std::fputs("\r\033[K", m_out);
        std::fflush(m_out);
        m_barShown = false;
    }
}

QString ProgressReport::RateText(double bytesPerSecond)
{
    if (bytesPerSecond >= 1024 * 1024)
        return QStringLiteral("%1 MiB/s").arg(bytesPerSecond / (1024 * 1024), 0, 'f', 1);
    if (bytesPerSecond >= 1024)
        return QStringLiteral("%1 KiB/s").arg(bytesPerSecond / 1024, 0, 'f', 1);
    return QStringLiteral("%1 B/s").arg(bytesPerSecond, 0, 'f', 0);
}

QString ProgressReport::BarText(qint64 bytes, qint64 total, int packets, double bytesPerSecond, int width)
{
    if (total < 0)
        return QStringLiteral("%1 bytes  %2 packets  %3").arg(bytes).arg(packets).arg(RateText(bytesPerSecond));
    const int percent = percentOf(bytes, total);
    const int filled = width * percent / 100;
    return QStringLiteral("[%1%2] %3%  %4/%5 bytes  %6 packets  %7%8")
        .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('-')))
        .arg(percent, 3)
        .arg(bytes)
        .arg(total)
        .arg(packets)
        .arg(RateText(bytesPerSecond), timeLeft(bytes, total, bytesPerSecond));
}

QString ProgressReport::LineText(qint64 bytes, qint64 total, int packets, double bytesPerSecond)
{
    if (total < 0)
        return QStringLiteral("progress %1 bytes, %2 packets, %3").arg(bytes).arg(packets).arg(RateText(bytesPerSecond));
    return QStringLiteral("progress %1/%2 bytes (%3%), %4 packets, %5%6")
        .arg(bytes)
        .arg(total)
        .arg(percentOf(bytes, total))
        .arg(packets)
        .arg(RateText(bytesPerSecond), timeLeft(bytes, total, bytesPerSecond));
}
