#pragma once
// Transfer progress on standard error: a redrawn bar with bytes, packets and
// rate on a terminal, a plain line a second otherwise (logs, pipes).

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

class ProgressReport {
public:
    ProgressReport(std::FILE* out, bool terminal);

    void start(qint64 total);
    void update(qint64 bytes, int packets);
    // Draws the last state (when anything was drawn) and ends the bar's line.
    void finish();
    // Removes the bar before other text is written to the same terminal.
    void clearLine();

    // "[#####-----]  45%  12345/27000 bytes  120 packets  2.3 KiB/s  6 s left"
    static QString BarText(qint64 bytes, qint64 total, int packets, double bytesPerSecond, int width);
    // "progress 12345/27000 bytes (45%), 120 packets, 2.3 KiB/s  6 s left"; with a
    // total below 0 (a stream) the bytes alone: "progress 12345 bytes, ..."
    static QString LineText(qint64 bytes, qint64 total, int packets, double bytesPerSecond);
    static QString RateText(double bytesPerSecond);

private:
    void draw();

    std::FILE* m_out;
    bool m_terminal;
    bool m_started = false;
    bool m_barShown = false;
    qint64 m_total = 0;
    qint64 m_bytes = 0;
    int m_packets = 0;
    QElapsedTimer m_clock;
    qint64 m_lastDrawMs = -1;
};
