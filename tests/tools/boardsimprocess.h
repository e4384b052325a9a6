#pragma once
// Runs board-sim (or flashupdate-cli) from the build tree for the tool tests.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

inline QString builtProgram(const char* relativePath)
{
    return QStringLiteral(LUX_BINARY_DIR "/") + QString::fromLatin1(relativePath);
}

// A running board simulator; `device` is the port name it printed.
class BoardSimProcess {
public:
    explicit BoardSimProcess(const QStringList& arguments)
    {
        process.start(builtProgram("tools/board-sim/board-sim"), arguments);
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {}
        device = QString::fromLocal8Bit(process.readLine().trimmed());
    }
    ~BoardSimProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            process.waitForFinished(5000);
        }
    }
    // Asks it to end and waits; its log is complete afterwards.
    void stop()
    {
        process.terminate();
        process.waitForFinished(5000);
    }

    QProcess process;
    QString device;
};

// One read of the board as board-sim logged it.
struct LoggedRead {
    qint64 timeUs = 0;
    QByteArray bytes;
};

inline QList<LoggedRead> readBoardLog(const QString& path)
{
    QList<LoggedRead> reads;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return reads;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(' ');
        if (fields.size() != 3)
            continue;
        LoggedRead read {fields[0].toLongLong(), QByteArray::fromHex(fields[2])};
        if (read.bytes.size() == fields[1].toInt())
            reads << read;
    }
    return reads;
}
