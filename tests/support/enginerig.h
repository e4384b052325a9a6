#pragma once
// A transfer engine on headless controls for the serial tests: its messages
// and transfer ends are recorded, and it has a folder for the files it sends.
// PtyEngineRig points its port box at a fresh pseudo-terminal, where the test
// plays the board.

#include "app/transfer/headlesscontrols.h"
#include "app/transfer/transferengine.h"
#include "tests/support/ptypair.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QTemporaryDir>
#include <QThread>

class EngineRig {
public:
    EngineRig()
    {
        controls.listenTo(engine);
        QObject::connect(&engine, &TransferEngine::transferEnded, &engine,
                         [this](TransferEngine::TransferEnd end) { ends << end; });
    }

    // A new file in the rig's folder holding `bytes`.
    QString makeFile(const QByteArray& bytes)
    {
        return luxtest::writeFile(dir.filePath(QStringLiteral("send%1.bin").arg(++m_files)), bytes);
    }

    // Hands the engine the send file Start began to open (or its refusal),
    // without running the timers: ticks stay the test's own. False on a timeout.
    bool waitForSendFile(int timeoutMs = 10000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (engine.isOpeningSendFile() && !deadline.hasExpired()) {
            QCoreApplication::sendPostedEvents();
            if (engine.isOpeningSendFile())
                QThread::msleep(1);
        }
        return !engine.isOpeningSendFile();
    }

    QTemporaryDir dir;
    HeadlessControls controls;
    TransferEngine engine {controls};
    QList<TransferEngine::TransferEnd> ends;

private:
    int m_files = 0;
};

class PtyEngineRig : public EngineRig {
public:
    explicit PtyEngineRig(const QString& baud)
    {
        controls.port = pty.path;
        controls.baud = baud;
    }

    PtyPair pty;
};
