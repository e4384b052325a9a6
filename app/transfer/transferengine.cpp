#include "app/transfer/transferengine.h"

#include "app/transfer/portpermission.h"
#include "app/transfer/wholenumber.h"
#include "app/transfer/wiretime.h"

#include <algorithm>

TransferEngine::TransferEngine(TransferControls& controls, QObject* parent)
    : QObject(parent), m_controls(controls)
{
    Timer1.setInterval(DefaultTimeGap);
    // Timer1 re-arms itself before it delivers a tick, so ticks go on inside
    // the event loop of a message box that a tick opens.
    connect(&Timer1, &PacedTimer::timeout, this, &TransferEngine::Timer1Timer);
    // The port can break while nothing is being sent: notice it at once, after
    // Qt has finished the read or write that found it.
    connect(&PortHandle, &SerialDevice::failed, this, &TransferEngine::onLinkBroken,
            Qt::QueuedConnection);
    // An answer the engine waits for sends the next packet at once, when the
    // Time Gap since the last one is over (queued: reading it emits again).
    connect(&PortHandle, &SerialDevice::readyRead, this, &TransferEngine::onBoardSent, Qt::QueuedConnection);
    m_sinceStart.start();
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &TransferEngine::onReplyTimeout);
    connect(&m_opener, &SendFileOpener::opened, this, &TransferEngine::onSendFileOpened);
    Timer1.start();
}

TransferEngine::~TransferEngine() = default;

void TransferEngine::Initialise(const QString& configPath)
{
    m_settings.LoadFrom(configPath);
    PacketCount = 0;
    m_controls.setCounterText(QStringLiteral("0"));
    LinkState = OpenPort();
}

// A port or file failure shows the system's reason on a second line, below
// the fixed first line; a hint on what to do follows on a third.
void TransferEngine::say(const QString& text, const QString& caption, const TransferError& error, const QString& hint)
{
    QString shown = text;
    if (error.failed() && !error.reason.isEmpty())
        shown += QLatin1Char('\n') + error.reason;
    if (!hint.isEmpty())
        shown += QLatin1Char('\n') + hint;
    emit message(TransferMessage {shown, caption, error});
}

uint8_t TransferEngine::OpenPort()
{
    // Whatever happens, the result clears Sending: the send file goes too.
    closeSendFile();
    stopWaiting();
    PortHandle.close();

    const QString baudText = m_controls.baudText();
    const std::optional<int> baud = ToWholeNumber(baudText);
    if (!baud) {
        say(NotAWholeNumberMessage(baudText));
        return 0;
    }
    const TransferError refused = PortHandle.open(m_controls.portText(), *baud, m_lineFormat);
    if (refused.operation == TransferError::Operation::SetUpPort) {
        say(QStringLiteral("COM Port Setting Error!!!"), QStringLiteral("Set Error"), refused);
        return 0;
    }
    if (refused) {
        // A port refused for its group says how to get in, below the reason.
        say(QStringLiteral("Open COM Port Error !!!"), QStringLiteral("Comm Error"), refused,
            PortPermissionHint(refused.target, refused.errorNumber));
        return 0;
    }
    if (const TransferError notSaved = m_settings.SaveSettings())
        say(QStringLiteral("Can't Save Settings!\n%1").arg(notSaved.target), QString(), notSaved);
    return 1;
}

// Shows every byte the board sent, a bounded chunk per tick; nothing is ever
// thrown away unread. A port that broke is closed after its last bytes are shown.
void TransferEngine::PollReceive()
{
    if (!PortHandle.isOpen())
        return;
    const QByteArray received = PortHandle.readQueued(ReceiveChunk);
    if (!received.isEmpty()) {
        m_controls.appendReceived(received);
        if (m_reply.received(received))
            m_replyTimer.stop();
    }
    if (!PortHandle.hasFailed())
        return;
    for (QByteArray rest = PortHandle.readQueued(ReceiveChunk); !rest.isEmpty();
         rest = PortHandle.readQueued(ReceiveChunk))
        m_controls.appendReceived(rest);
    failLink(QStringLiteral("COM Port Error !!!"), PortHandle.failure());
}

// Stops a transfer, closes the port so that Start opens it again, and tells
// the user why.
void TransferEngine::failLink(const QString& headline, const TransferError& error)
{
    const bool wasSending = LinkState & Sending;
    const TransferError failure = error; // `error` may live in the port, which is closed now
    PortHandle.close();
    LinkState = 0;
    closeSendFile();
    stopWaiting();
    showSendingControls(false);
    say(headline, QStringLiteral("Comm Error"), failure);
    if (wasSending)
        emit transferEnded(TransferEnd::LinkFailed);
}

void TransferEngine::onLinkBroken()
{
    if (LinkState != 0 && PortHandle.isOpen() && PortHandle.hasFailed())
        PollReceive();
}

void TransferEngine::stopWaiting()
{
    m_reply.cancel();
    m_replyTimer.stop();
    m_finishAfterReply = false;
}

void TransferEngine::onBoardSent()
{
    if (!(LinkState & Sending) || !m_reply.waiting())
        return;
    PollReceive();
    if ((LinkState & Sending) && !m_reply.waiting() && m_sincePacket.elapsed() >= Timer1.interval()) {
        Timer1Timer();
    }
}

// The board did not answer the last packet in time: the transfer stops, and
// the message says which packet and what the board sent instead.
void TransferEngine::onReplyTimeout()
{
    if (!(LinkState & Sending) || !m_reply.waiting())
        return;
    PollReceive(); // an answer that came in the last moment still counts
    if (!(LinkState & Sending) || !m_reply.waiting())
        return;
    const QString detail = m_reply.timeoutText();
    LinkState &= ~Sending;
    closeSendFile();
    stopWaiting();
    showSendingControls(false);
    say(QStringLiteral("No Reply From Board !!!\n") + detail);
    emit transferEnded(TransferEnd::NoReply);
}

QString TransferEngine::wireTimeWarning() const
{
    if (!(LinkState & Sending) || m_opener.busy())
        return {};
    const qint64 longest = m_controls.pauseByDataSize() ? std::clamp(ChunkLength, 0, MaxDataSize) : m_longestLine;
    return WireTimeWarning(longest, ToWholeNumber(m_controls.baudText()).value_or(0), Timer1.interval(),
                           m_lineFormat.bitsPerCharacter());
}

void TransferEngine::Button3Click()
{
    Timer1.stop();
    m_settings.takeTimeGapFromBox();
    LinkState = OpenPort();
    Timer1.start();
}

void TransferEngine::showSendingControls(bool sending)
{
    m_controls.setStartCaption(sending ? QStringLiteral("Stop") : QStringLiteral("Start"));
    m_controls.setBrowseEnabled(!sending);
    m_controls.setSetPortEnabled(!sending);
    m_controls.setPauseByDataSizeEnabled(!sending);
    m_controls.setDataSizeEnabled(!sending);
}

void TransferEngine::Button1Click()
{
    if (!(LinkState & PortOpen)) {
        LinkState = OpenPort();
        if (LinkState == 0)
            return;
    }
    if (LinkState & Sending || m_finishPending)
        StopTransfer();
    else
        StartTransfer();
}

// A Data Size or Time Gap that is not a number keeps the transfer from starting.
void TransferEngine::refuseAtStart(const QString& text)
{
    LinkState &= ~Sending;
    say(NotAWholeNumberMessage(text));
    Timer1.start();
    emit transferEnded(TransferEnd::BadNumber);
}

void TransferEngine::StartTransfer()
{
    Timer1.stop();
    PacketCount = 0;
    m_controls.setCounterText(QStringLiteral("0"));
    SentBytes = 0;
    stopWaiting();
    m_sinceStart.start();

    const QString sizeText = m_controls.dataSizeText();
    const std::optional<int> size = DataSizeFromText(sizeText);
    if (!size) {
        refuseAtStart(sizeText);
        return;
    }
    const BoxValue block = LimitedDataSize(*size);
    ChunkLength = block.value;
    if (block.replacesText)
        m_controls.setDataSizeText(QString::number(block.value));
    LinkState |= Sending;

    // A gap of 0 would stop the timer: the transfer goes at the fastest pace.
    if (Timer1.interval() == 0) {
        Timer1.setInterval(1);
        m_controls.setTimeGapText(QStringLiteral("1"));
    }
    const QString gapText = m_controls.timeGapText();
    const std::optional<int> gap = TimeGapFromText(gapText);
    if (!gap) {
        refuseAtStart(gapText);
        return;
    }
    Timer1.setInterval(std::max(*gap, 1));

    const QByteArray path = m_controls.sendFilePath();
    closeSendFile();
    m_longestLine = 0;
    if (path == "-") {
        // "-" is standard input, as command-line tools take it: already open.
        beginSending(SendFile.openDescriptor(0, path));
        return;
    }
    // The file opens on a thread of its own; meanwhile the transfer shows as
    // running, so that Stop can end it, and the board's bytes are still shown.
    showSendingControls(true);
    Timer1.start();
    m_opener.start(path, m_openWaitsForWriter);
}

void TransferEngine::onSendFileOpened()
{
    OpenedSendFile file = m_opener.take();
    m_longestLine = file.longestLine;
    beginSending(SendFile.adopt(std::move(file)));
}

void TransferEngine::beginSending(const TransferError& notOpened)
{
    if (!notOpened) {
        m_controls.setProgressPosition(0);
        m_controls.setProgressRange(SendFile.size());
        showSendingControls(true);
        Timer1.start();
        emit transferStarted();
    } else {
        LinkState &= ~Sending;
        showSendingControls(false);
        say(QStringLiteral("Can't Open Send File!"), QString(), notOpened);
        Timer1.start();
        emit transferEnded(TransferEnd::CannotOpenFile);
    }
}

// An open still under way is abandoned: its file is closed when it comes.
void TransferEngine::closeSendFile()
{
    m_opener.abandon();
    SendFile.close();
}

void TransferEngine::StopTransfer()
{
    LinkState &= ~Sending;
    m_finishPending = false;
    closeSendFile();
    stopWaiting();
    showSendingControls(false);
    say(QStringLiteral("Transmit Interrupt !!!"));
    emit transferEnded(TransferEnd::Interrupted);
}

void TransferEngine::SetIdleControls()
{
    showSendingControls(false);
}

SendFileReader::Status TransferEngine::ReadLine()
{
    const SendFileReader::Read line = SendFile.readLine(SendBuffer.data(), SendBufferSize);
    if (line.status == SendFileReader::Status::Waiting || line.status == SendFileReader::Status::Failed)
        return line.status;
    ChunkLength = line.length;
    SentBytes += line.length;
    if (line.status == SendFileReader::Status::End)
        LinkState &= ~Sending;
    return line.status;
}

// The next packet into SendBuffer and ChunkLength: a block while whole blocks
// are left, otherwise a line.
SendFileReader::Status TransferEngine::readPacket()
{
    if (!m_controls.pauseByDataSize())
        return ReadLine();
    if (ChunkLength == 0)
        return SendFileReader::Status::Data;
    const SendFileReader::Read block = SendFile.readBlock(SendBuffer.data(), ChunkLength);
    if (block.status == SendFileReader::Status::End)
        return ReadLine(); // less than a block is left: send the next line of it
    if (block.status == SendFileReader::Status::Data)
        SentBytes += ChunkLength;
    return block.status;
}

void TransferEngine::Timer1Timer()
{
    if (LinkState == 0)
        return;
    PollReceive();
    if (LinkState == 0)
        return; // the port broke while reading
    if (PortHandle.queuedBytes() > 0) {
        if (const TransferError stalled = PortHandle.checkStalled())
            failLink(QStringLiteral("Send Data Error !!!"), stalled);
        return; // the next packet waits until the driver has taken the last one
    }
    if (m_finishPending) {
        m_finishPending = false;
        endTransfer(TransferEnd::Finished, QStringLiteral("Send Data Finished!"));
        return;
    }
    if (m_opener.busy())
        return; // the send file is still being opened
    if (!(LinkState & Sending)) {
        SetIdleControls();
        return;
    }
    if (m_reply.waiting())
        return; // the board has not answered the last packet yet
    if (m_finishAfterReply) {
        LinkState &= ~Sending;
        endTransfer(TransferEnd::Finished, QStringLiteral("Send Data Finished!"));
        return;
    }

    const SendFileReader::Status read = readPacket();
    if (read == SendFileReader::Status::Waiting)
        return; // a stream with nothing yet: the next tick asks again
    if (read == SendFileReader::Status::Failed) {
        failFile();
        return;
    }
    m_controls.setProgressPosition(SentBytes);

    if (ChunkLength == 0) {
        LinkState &= ~Sending;
        endTransfer(TransferEnd::NoMoreData, QStringLiteral("no data any more!"));
        return;
    }
    ++PacketCount;
    m_controls.setCounterText(QString::number(PacketCount));

    if (const TransferError failed = PortHandle.writeAll(SendBuffer.data(), ChunkLength)) {
        failLink(QStringLiteral("Send Data Error !!!"), failed);
        return;
    }
    m_sincePacket.start();
    if (m_reply.enabled()) {
        // Paced from each packet rather than from Start: a late packet must
        // not let the next follow sooner than the Time Gap.
        Timer1.start();
        m_reply.packetSent(PacketCount);
        m_replyTimer.start(m_reply.timeoutMs());
        if (!(LinkState & Sending)) {
            // The file is done, but the board's answer to the last packet counts too.
            LinkState |= Sending;
            m_finishAfterReply = true;
        }
        return;
    }
    if (LinkState & Sending)
        return;
    if (PortHandle.queuedBytes() > 0)
        m_finishPending = true; // told once the driver has the last packet
    else
        endTransfer(TransferEnd::Finished, QStringLiteral("Send Data Finished!"));
}

// A read error or a file that changed: the transfer ends with its own message
// and the reason on a second line, never as a finished one.
void TransferEngine::failFile()
{
    const TransferError failure = SendFile.failure();
    LinkState &= ~Sending;
    const QString headline = failure.operation == TransferError::Operation::FileChanged
        ? QStringLiteral("Send File Changed !!!")
        : QStringLiteral("Send File Read Error !!!");
    closeSendFile();
    say(headline, QString(), failure); // the reason goes on a second line
    emit transferEnded(TransferEnd::FileFailed);
}

// The state is already idle; the controls follow on the next tick.
void TransferEngine::endTransfer(TransferEnd end, const QString& message)
{
    closeSendFile();
    stopWaiting();
    say(message);
    emit transferEnded(end);
}
