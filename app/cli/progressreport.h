#pragma once
// Transfer progress on standard error, one row per port: on a terminal a bar
// with bytes, packets, rate and time left, redrawn in place (several ports:
// a block of bars, one line each); otherwise a plain line a second per port
// (logs, pipes). With one port the row has no name.

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <vector>

class ProgressReport {
public:
    // One row per name; a single unnamed row for one port. `terminalRows`:
    // the height of the terminal, 0 to ask it (more rows than fit are summed
    // up in one line, so the block never scrolls).
    ProgressReport(std::FILE* out, bool terminal, const QStringList& rowNames = {QString()}, int terminalRows = 0);

    void start(int row, qint64 total);
    void update(int row, qint64 bytes, int packets);
    // The row's transfer is over: its last state is drawn (when anything was
    // drawn). With one row the bar's line is ended; with several the block
    // stays until end().
    void finish(int row);
    // Draws the block a last time and ends its line (several rows).
    void end();
    // Removes the bars before other text is written to the same terminal.
    void clearLine();
    // Draws the bars again after that text, at once, so that text coming
    // often (a board that answers every packet) never keeps them off the screen.
    void restore();

    // "[#####-----]  45%  12345/27000 bytes  120 packets  2.3 KiB/s  6 s left";
    // the time left only while the transfer `runs`.
    static QString BarText(qint64 bytes, qint64 total, int packets, double bytesPerSecond, int width,
                           bool runs = true);
    // "progress 12345/27000 bytes (45%), 120 packets, 2.3 KiB/s  6 s left"; with a
    // total below 0 (a stream) the bytes alone: "progress 12345 bytes, ..."
    static QString LineText(qint64 bytes, qint64 total, int packets, double bytesPerSecond, bool runs = true);
    static QString RateText(double bytesPerSecond);

private:
    struct Row {
        QString name;
        bool started = false;
        bool drawn = false; // a line of it was written (not on a terminal)
        qint64 total = 0;
        qint64 bytes = 0;
        int packets = 0;
        QElapsedTimer clock;
        qint64 lastDrawMs = -1;
        qint64 endNs = -1; // the transfer's length once it is over: its rate stays
        double rate() const;
    };
    QString rowText(const Row& row) const;
    void drawLine(Row& row);
    void drawBars();

    std::FILE* m_out;
    bool m_terminal;
    std::vector<Row> m_rows;
    int m_nameWidth = 0;
    int terminalHeight() const;

    bool m_barShown = false;
    bool m_erased = false;   // clearLine() took the bars away
    int m_blockLines = 0;    // lines of the block last drawn
    int m_terminalRows = 0;
    QElapsedTimer m_sinceBars; // since the bars were last drawn
};
