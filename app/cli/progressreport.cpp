#include "app/cli/progressreport.h"

#include <sys/ioctl.h>
#include <unistd.h>

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

ProgressReport::ProgressReport(std::FILE* out, bool terminal, const QStringList& rowNames, int terminalRows)
    : m_out(out), m_terminal(terminal), m_rows(static_cast<size_t>(std::max<qsizetype>(rowNames.size(), 1))),
      m_terminalRows(terminalRows)
{
    for (qsizetype i = 0; i < rowNames.size(); ++i) {
        m_rows[static_cast<size_t>(i)].name = rowNames[i];
        m_nameWidth = std::max(m_nameWidth, static_cast<int>(rowNames[i].size()));
    }
}

double ProgressReport::Row::rate() const
{
    return bytes / std::max((endNs >= 0 ? endNs : clock.nsecsElapsed()) / 1e9, 1e-6);
}

void ProgressReport::start(int row, qint64 total)
{
    Row& r = m_rows.at(static_cast<size_t>(row));
    r.total = total;
    r.bytes = 0;
    r.packets = 0;
    r.started = true;
    r.clock.start();
    r.lastDrawMs = -1;
    r.endNs = -1;
}

void ProgressReport::update(int row, qint64 bytes, int packets)
{
    Row& r = m_rows.at(static_cast<size_t>(row));
    if (!r.started)
        return;
    r.bytes = bytes;
    r.packets = packets;
    if (m_terminal) {
        // One redraw of all bars at most every BarRedrawMs, whichever row moved.
        if (!m_sinceBars.isValid() || m_sinceBars.elapsed() >= BarRedrawMs)
            drawBars();
        return;
    }
    const qint64 now = r.clock.elapsed();
    if (r.lastDrawMs < 0 ? now >= LineEveryMs : now - r.lastDrawMs >= LineEveryMs) {
        r.lastDrawMs = now;
        drawLine(r);
    }
}

QString ProgressReport::rowText(const Row& row) const
{
    const bool runs = row.endNs < 0 || row.bytes >= row.total; // a failed transfer has no time left
    const QString text = m_terminal ? BarText(row.bytes, row.total, row.packets, row.rate(), BarWidth, runs)
                                    : LineText(row.bytes, row.total, row.packets, row.rate(), runs);
    if (m_rows.size() == 1)
        return text;
    return (row.name + QLatin1Char(':')).leftJustified(m_nameWidth + 2) + text;
}

void ProgressReport::drawLine(Row& row)
{
    std::fprintf(m_out, "%s\n", rowText(row).toLocal8Bit().constData());
    row.drawn = true;
    std::fflush(m_out);
}

int ProgressReport::terminalHeight() const
{
    if (m_terminalRows > 0)
        return m_terminalRows;
    winsize size {};
    if (::ioctl(::fileno(m_out), TIOCGWINSZ, &size) == 0 && size.ws_row > 0)
        return size.ws_row;
    return 0;
}

// The bars as a block of lines, the cursor left at the end of the last: the
// next draw goes back to the block's first line and writes it over. A block
// taller than the terminal would scroll and could not be reached again: the
// rows that do not fit are summed up in its last line.
void ProgressReport::drawBars()
{
    QByteArray block = m_barShown ? QByteArray("\r") : QByteArray();
    if (m_barShown && m_blockLines > 1)
        block += "\033[" + QByteArray::number(m_blockLines - 1) + 'A';
    const int height = terminalHeight();
    const size_t fit = height > 0 ? size_t(std::max(height - 1, 1)) : m_rows.size();
    const size_t shown = m_rows.size() > fit ? fit - 1 : m_rows.size();
    QList<QByteArray> lines;
    for (size_t i = 0; i < shown; ++i)
        lines << rowText(m_rows[i]).toLocal8Bit();
    if (shown < m_rows.size()) {
        int running = 0;
        for (size_t i = shown; i < m_rows.size(); ++i)
            running += m_rows[i].started ? 1 : 0;
        lines << QStringLiteral("and %1 more ports, %2 of them sending").arg(m_rows.size() - shown).arg(running).toLocal8Bit();
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        block += (i == 0 && !m_barShown ? "\r\033[K" : "\033[K") + lines[i];
        if (i + 1 < lines.size())
            block += '\n';
    }
    // A block that shrank leaves no stale line below it.
    if (lines.size() < m_blockLines)
        block += "\033[J";
    std::fputs(block.constData(), m_out);
    std::fflush(m_out);
    m_barShown = true;
    m_erased = false;
    m_blockLines = int(lines.size());
    m_sinceBars.start();
}

void ProgressReport::finish(int row)
{
    Row& r = m_rows.at(static_cast<size_t>(row));
    if (!r.started)
        return;
    r.endNs = r.clock.nsecsElapsed();
    if (!m_terminal && r.lastDrawMs >= 0)
        drawLine(r);
    r.started = false;
    if (m_rows.size() > 1 || !m_terminal)
        return;
    drawBars();
    std::fputc('\n', m_out);
    m_barShown = false;
    m_blockLines = 0;
    std::fflush(m_out);
}

void ProgressReport::end()
{
    if (!m_terminal || m_rows.size() == 1)
        return;
    drawBars();
    std::fputc('\n', m_out);
    m_barShown = false;
    m_blockLines = 0;
    std::fflush(m_out);
}

void ProgressReport::clearLine()
{
    if (!m_barShown)
        return;
    QByteArray clear = "\r";
    if (m_blockLines > 1)
        clear += "\033[" + QByteArray::number(m_blockLines - 1) + "A\033[J";
    else
        clear += "\033[K";
    std::fputs(clear.constData(), m_out);
    std::fflush(m_out);
    m_barShown = false;
    m_erased = true;
    m_blockLines = 0;
}

void ProgressReport::restore()
{
    if (m_erased)
        drawBars();
}

QString ProgressReport::RateText(double bytesPerSecond)
{
    if (bytesPerSecond >= 1024 * 1024)
        return QStringLiteral("%1 MiB/s").arg(bytesPerSecond / (1024 * 1024), 0, 'f', 1);
    if (bytesPerSecond >= 1024)
        return QStringLiteral("%1 KiB/s").arg(bytesPerSecond / 1024, 0, 'f', 1);
    return QStringLiteral("%1 B/s").arg(bytesPerSecond, 0, 'f', 0);
}

QString ProgressReport::BarText(qint64 bytes, qint64 total, int packets, double bytesPerSecond, int width,
                                bool runs)
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
        .arg(RateText(bytesPerSecond), runs ? timeLeft(bytes, total, bytesPerSecond) : QString());
}

QString ProgressReport::LineText(qint64 bytes, qint64 total, int packets, double bytesPerSecond, bool runs)
{
    if (total < 0)
        return QStringLiteral("progress %1 bytes, %2 packets, %3").arg(bytes).arg(packets).arg(RateText(bytesPerSecond));
    return QStringLiteral("progress %1/%2 bytes (%3%), %4 packets, %5%6")
        .arg(bytes)
        .arg(total)
        .arg(percentOf(bytes, total))
        .arg(packets)
        .arg(RateText(bytesPerSecond), runs ? timeLeft(bytes, total, bytesPerSecond) : QString());
}
