#pragma once
// "Capture to File": every byte the board sends appended raw to a file as it
// arrives, until the capture is turned off.

#include "app/transfer/transfererror.h"

#include <QFile>
#include <QString>

class ReceiveCapture {
public:
    // Starts appending to `path` (created when missing). Empty on success.
    TransferError start(const QString& path);
    void stop() { m_file.close(); }
    bool active() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    // Appends and flushes, so the file is whole whenever it is read. A write
    // the file does not take whole (a full disk, /dev/full) stops the capture
    // and comes back as SaveFile, with the file and the reason.
    TransferError write(const QByteArray& bytes);

private:
    QFile m_file;
};
