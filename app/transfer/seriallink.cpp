// The serial link of the transfer engine: opening the port from the boxes,
// showing what the board sends, and giving up a port that failed.

#include "app/transfer/transferengine.h"

#include "app/transfer/wholenumber.h"

uint8_t TransferEngine::OpenPort()
{
    // Whatever happens, the result clears Sending: the send file goes too.
    closeSendFile();
    PortHandle.close();

    const QString baudText = m_controls.baudText();
    const std::optional<int> baud = ToWholeNumber(baudText);
    if (!baud) {
        m_controls.showMessage(NotAWholeNumberMessage(baudText));
        return 0;
    }
    switch (PortHandle.open(m_controls.portText(), *baud)) {
    case SerialDevice::OpenResult::OpenFailed:
        m_controls.showMessage(QStringLiteral("Open COM Port Error !!!"), QStringLiteral("Comm Error"));
        return 0;
    case SerialDevice::OpenResult::SettingsRejected:
        m_controls.showMessage(QStringLiteral("COM Port Setting Error!!!"), QStringLiteral("Set Error"));
        return 0;
    case SerialDevice::OpenResult::Opened:
        break;
    }
    SaveSettings();
    return 1;
}

// Shows every byte the board sent, a bounded chunk per tick; nothing is ever
// thrown away unread. A port that broke is closed after its last bytes are shown.
void TransferEngine::PollReceive()
{
    if (!PortHandle.isOpen())
        return;
    const QByteArray received = PortHandle.readQueued(ReceiveChunk);
    if (!received.isEmpty())
        m_controls.appendReceived(received);
    if (!PortHandle.hasFailed())
        return;
    for (QByteArray rest = PortHandle.readQueued(ReceiveChunk); !rest.isEmpty();
         rest = PortHandle.readQueued(ReceiveChunk))
        m_controls.appendReceived(rest);
    failLink(QStringLiteral("COM Port Error !!!"));
}

// Stops a transfer, closes the port so that Start opens it again, and tells
// the user why with the system's error text.
void TransferEngine::failLink(const QString& headline)
{
    const bool wasSending = LinkState & Sending;
    const QString reason = PortHandle.errorText();
    PortHandle.close();
    LinkState = 0;
    closeSendFile();
    showSendingControls(false);
    m_controls.showMessage(headline + QLatin1Char('\n') + reason, QStringLiteral("Comm Error"));
    if (wasSending)
        emit transferEnded(TransferEnd::LinkFailed);
}

void TransferEngine::onLinkBroken()
{
    if (LinkState != 0 && PortHandle.isOpen() && PortHandle.hasFailed())
        PollReceive();
}
