#include "app/transfer/transferengine.h"

#include "app/transfer/portpermission.h"
#include "app/transfer/wholenumber.h"
#include "app/transfer/wiretime.h"

#include <algorithm>

TransferEngine::TransferEngine(TransferControls& controls, QObject* parent)
    : QObject(parent), m_controls(controls)
{
    m_timer.setInterval(DefaultTimeGap);
    // The timer re-arms itself before it delivers a tick, so ticks go on
    // inside the event loop of a message box that a tick opens.
    connect(&m_timer, &PacedTimer::timeout, this, &TransferEngine::tick);
    // The port can break while nothing is being sent: notice it at once, after
    // Qt has finished the read or write that found it.
    connect(&m_port, &SerialDevice::failed, this, &TransferEngine::onLinkBroken, Qt::QueuedConnection);
    // An answer the engine waits for sends the next packet at once, when the
    // Time Gap since the last one is over (queued: reading it emits again).
    connect(&m_port, &SerialDevice::readyRead, this, &TransferEngine::onBoardSent, Qt::QueuedConnection);
    m_sinceStart.start();
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &TransferEngine::onReplyTimeout);
    connect(&m_opener, &SendFileOpener::opened, this, &TransferEngine::onSendFileOpened);
    connect(&m_sender, &PacketSender::written, this, &TransferEngine::onPacketWritten);
    // The packets in hand did not go out: the failure dropped them.
    connect(&m_sender, &PacketSender::failed, this, [this](const TransferError& error) {
        m_handed.clear();
        failLink(Headline::SendData, error);
    });
    m_timer.start();
}

TransferEngine::~TransferEngine() = default;

void TransferEngine::initialise(const QString& configPath)
{
    m_settings.LoadFrom(configPath);
    m_packetCount = 0;
    m_controls.setCounterText(QStringLiteral("0"));
    [[maybe_unused]] const bool opened = OpenPort(); // a port that did not open was said
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

void TransferEngine::sayFailure(Headline headline, const TransferError& error, const QString& detail,
                                const QString& hint)
{
    const HeadlineWords& words = HeadlineText(headline);
    say(detail.isEmpty() ? words.text : words.text + QLatin1Char('\n') + detail, words.caption, error, hint);
}

bool TransferEngine::OpenPort()
{
    // Whatever happens, the transfer goes, and the send file with it.
    closeSendFile();
    stopWaiting();
    closePort();
    m_state = State::Closed;

    const QString baudText = m_controls.baudText();
    const std::optional<int> baud = ToWholeNumber(baudText);
    if (!baud) {
        say(NotAWholeNumberMessage(baudText));
        return false;
    }
    const TransferError refused = m_port.open(m_controls.portText(), *baud, m_lineFormat);
    if (refused.operation == TransferError::Operation::SetUpPort) {
        sayFailure(Headline::PortSetUp, refused);
        return false;
    }
    if (refused) {
        // A port refused for its group says how to get in, below the reason.
        sayFailure(Headline::PortNotOpened, refused, {}, PortPermissionHint(refused.target, refused.errorNumber));
        return false;
    }
    m_sender.attach({m_port.handle(), SerialDevice::DevicePathFor(m_controls.portText()), *baud,
                     m_lineFormat.bitsPerCharacter(), m_lineFormat.flow == QSerialPort::SoftwareControl});
    m_state = State::Idle;
    if (const TransferError notSaved = m_settings.SaveSettings()) {
        if (notSaved.operation == TransferError::Operation::SaveSettings)
            sayFailure(Headline::SettingsNotSaved, notSaved, notSaved.target);
        else
            emit logLine(LogLine(Headline::FileNotSaved, notSaved));
    }
    return true;
}

// Shows every byte the board sent, a bounded chunk per tick; nothing is ever
// thrown away unread. A port that broke is closed after its last bytes are shown.
void TransferEngine::pollReceive()
{
    if (!m_port.isOpen())
        return;
    const QByteArray received = m_port.readQueued(ReceiveChunk);
    if (!received.isEmpty()) {
        m_controls.appendReceived(received);
        if (m_reply.received(received))
            m_replyTimer.stop();
    }
    if (!m_port.hasFailed())
        return;
    for (QByteArray rest = m_port.readQueued(ReceiveChunk); !rest.isEmpty(); rest = m_port.readQueued(ReceiveChunk))
        m_controls.appendReceived(rest);
    failLink(Headline::PortBroken, m_port.failure());
}

// Stops a transfer, closes the port so that Start opens it again, and tells
// the user why.
void TransferEngine::failLink(Headline headline, const TransferError& error)
{
    // A transfer whose end is not told yet ends here, the last packet's too.
    const bool wasSending = isSending();
    const TransferError failure = error; // `error` may live in the port, which is closed now
    closePort();
    m_state = State::Closed;
    closeSendFile();
    stopWaiting();
    showSendingControls(false);
    sayFailure(headline, failure);
    if (wasSending)
        emit transferEnded(TransferEnd::LinkFailed);
}

// The sender lets go of the descriptor before the port closes it.
void TransferEngine::closePort()
{
    dropHanded();
    m_sender.detach();
    m_port.close();
}

void TransferEngine::onLinkBroken()
{
    if (isPortOpen() && m_port.isOpen() && m_port.hasFailed())
        pollReceive();
}

void TransferEngine::stopWaiting()
{
    m_reply.cancel();
    m_replyTimer.stop();
}

void TransferEngine::onBoardSent()
{
    if (!isSending() || !m_reply.waiting())
        return;
    pollReceive();
    // The sender keeps the Time Gap since the last packet.
    if (isSending() && !m_reply.waiting())
        tick();
}

// The board did not answer the last packet in time: the transfer stops, and
// the message says which packet and what the board sent instead.
void TransferEngine::onReplyTimeout()
{
    if (!isSending() || !m_reply.waiting())
        return;
    pollReceive(); // an answer that came in the last moment still counts
    if (!isSending() || !m_reply.waiting())
        return;
    const QString detail = m_reply.timeoutText();
    m_state = State::Idle;
    closeSendFile();
    stopWaiting();
    showSendingControls(false);
    sayFailure(Headline::NoReply, {}, detail);
    emit transferEnded(TransferEnd::NoReply);
}

QString TransferEngine::wireTimeWarning() const
{
    if (m_state != State::Sending && m_state != State::LastReply)
        return {};
    const qint64 longest = m_controls.pauseByDataSize() ? std::clamp(m_chunkLength, 0, MaxDataSize) : m_longestLine;
    return WireTimeWarning(longest, ToWholeNumber(m_controls.baudText()).value_or(0), m_timer.interval(),
                           m_lineFormat.bitsPerCharacter());
}

void TransferEngine::applyPortSettings()
{
    m_timer.stop();
    m_settings.takeTimeGapFromBox();
    [[maybe_unused]] const bool opened = OpenPort(); // a port that did not open was said
    m_timer.start();
}

void TransferEngine::showSendingControls(bool sending)
{
    m_controls.setStartCaption(sending ? QStringLiteral("Stop") : QStringLiteral("Start"));
    m_controls.setBrowseEnabled(!sending);
    m_controls.setSetPortEnabled(!sending);
    m_controls.setPauseByDataSizeEnabled(!sending);
    m_controls.setDataSizeEnabled(!sending);
}

void TransferEngine::startOrStop()
{
    if (!isPortOpen() && !OpenPort())
        return;
    if (isSending())
        stop();
    else
        beginTransfer();
}

void TransferEngine::start()
{
    if (!isPortOpen() && !OpenPort())
        return;
    beginTransfer();
}

// A Data Size or Time Gap that is not a number keeps the transfer from starting.
void TransferEngine::refuseAtStart(const QString& text)
{
    m_state = State::Idle;
    say(NotAWholeNumberMessage(text));
    m_timer.start();
    emit transferEnded(TransferEnd::BadNumber);
}

void TransferEngine::beginTransfer()
{
    m_timer.stop();
    dropHanded(); // a transfer that runs starts over
    m_packetCount = 0;
    m_controls.setCounterText(QStringLiteral("0"));
    m_sentBytes = 0;
    stopWaiting();
    m_sinceStart.start();

    const QString sizeText = m_controls.dataSizeText();
    const std::optional<int> size = DataSizeFromText(sizeText);
    if (!size) {
        refuseAtStart(sizeText);
        return;
    }
    const BoxValue block = LimitedDataSize(*size);
    m_chunkLength = block.value;
    if (block.replacesText)
        m_controls.setDataSizeText(QString::number(block.value));
    m_state = State::Sending;

    // A gap of 0 would stop the timer: the transfer goes at the fastest pace.
    if (m_timer.interval() == 0) {
        m_timer.setInterval(1);
        m_controls.setTimeGapText(QStringLiteral("1"));
    }
    const QString gapText = m_controls.timeGapText();
    const std::optional<int> gap = TimeGapFromText(gapText);
    if (!gap) {
        refuseAtStart(gapText);
        return;
    }
    m_timer.setInterval(std::max(*gap, 1));

    const QByteArray path = m_controls.sendFilePath();
    closeSendFile();
    m_longestLine = 0;
    if (path == "-") {
        // "-" is standard input, as command-line tools take it: already open.
        beginSending(m_sendFile.openDescriptor(0, path));
        return;
    }
    // The file opens on a thread of its own; meanwhile the transfer shows as
    // running, so that Stop can end it, and the board's bytes are still shown.
    m_state = State::OpeningFile;
    showSendingControls(true);
    m_timer.start();
    m_opener.start(path, m_openWaitsForWriter);
}

void TransferEngine::onSendFileOpened()
{
    OpenedSendFile file = m_opener.take();
    m_longestLine = file.longestLine;
    beginSending(m_sendFile.adopt(std::move(file)));
}

void TransferEngine::beginSending(const TransferError& notOpened)
{
    if (!notOpened) {
        m_state = State::Sending;
        m_controls.setProgressPosition(0);
        m_controls.setProgressRange(m_sendFile.size());
        showSendingControls(true);
        m_timer.start();
        // The first packet goes one Time Gap after this; the first tick hands it over.
        m_sender.begin(std::chrono::milliseconds(m_timer.interval()));
        emit transferStarted();
    } else {
        m_state = State::Idle;
        showSendingControls(false);
        sayFailure(Headline::SendFileNotOpened, notOpened);
        m_timer.start();
        emit transferEnded(TransferEnd::CannotOpenFile);
    }
}

// An open still under way is abandoned: its file is closed when it comes.
void TransferEngine::closeSendFile()
{
    m_opener.abandon();
    m_sendFile.close();
}

void TransferEngine::stop()
{
    m_state = State::Idle;
    dropHanded();
    closeSendFile();
    stopWaiting();
    showSendingControls(false);
    say(QStringLiteral("Transmit Interrupt !!!"));
    emit transferEnded(TransferEnd::Interrupted);
}

// Takes the next line into the packet; what the file had to say about it.
SendFileReader::Status TransferEngine::readLine()
{
    const SendFileReader::Read line = m_sendFile.readLine(m_sendBuffer.data(), SendBufferSize);
    if (line.status == SendFileReader::Status::Data || line.status == SendFileReader::Status::End)
        m_chunkLength = line.length;
    return line.status;
}

// The next packet into the send buffer and the chunk length: a block while
// whole blocks are left, otherwise a line.
SendFileReader::Status TransferEngine::readPacket()
{
    if (!m_controls.pauseByDataSize())
        return readLine();
    if (m_chunkLength == 0)
        return SendFileReader::Status::Data;
    const SendFileReader::Read block = m_sendFile.readBlock(m_sendBuffer.data(), m_chunkLength);
    if (block.status == SendFileReader::Status::End)
        return readLine(); // less than a block is left: send the next line of it
    return block.status;
}

void TransferEngine::tick()
{
    if (!isPortOpen())
        return;
    pollReceive();
    if (!isPortOpen())
        return; // the port broke while reading
    switch (m_state) {
    case State::Closed:
    case State::OpeningFile:
    case State::Draining: // the end is told once the sender has written the last packet
        return;
    case State::Idle:
        showSendingControls(false);
        return;
    case State::LastReply:
        if (m_handed.empty() && !m_reply.waiting())
            endTransfer(TransferEnd::Finished, QStringLiteral("Send Data Finished!"));
        return;
    case State::Sending:
        handOverPackets();
        return;
    }
}

// Reads packets ahead and hands them to the sender, which writes each on its
// deadline: a few while the board is not waited for, one at a time (after
// the answer to the last) while it is.
void TransferEngine::handOverPackets()
{
    while (m_state == State::Sending && int(m_handed.size()) < PacketSender::Depth) {
        if (m_reply.enabled() && (m_reply.waiting() || !m_handed.empty()))
            return;
        const SendFileReader::Status read = readPacket();
        if (read == SendFileReader::Status::Waiting)
            return; // a stream with nothing yet: the next tick asks again
        if (read == SendFileReader::Status::Failed) {
            failFile();
            return;
        }
        if (m_chunkLength == 0) {
            endAfterHanded(TransferEnd::NoMoreData, QStringLiteral("no data any more!"));
            return;
        }
        if (!m_sender.send(m_sendBuffer.data(), m_chunkLength)) {
            failLink(Headline::SendData,
                     TransferError::FromErrno(TransferError::Operation::WritePort, m_port.failure().target, EBADF));
            return;
        }
        m_handed.push_back(m_chunkLength);
        // The board's answer counts from now: it may come before the sender
        // has said that the packet went out.
        if (m_reply.enabled())
            m_reply.packetSent(m_packetCount + 1);
        if (read == SendFileReader::Status::End) {
            if (m_reply.enabled())
                m_state = State::LastReply; // the file is done, but the board's answer to it counts too
            else
                endAfterHanded(TransferEnd::Finished, QStringLiteral("Send Data Finished!"));
            return;
        }
    }
}

void TransferEngine::endAfterHanded(TransferEnd end, const QString& message)
{
    if (m_handed.empty()) {
        endTransfer(end, message);
        return;
    }
    m_state = State::Draining;
    m_endAfterHanded = end;
    m_endAfterHandedText = message;
}

void TransferEngine::countWritten(qint64 bytes)
{
    m_handed.pop_front();
    ++m_packetCount;
    m_controls.setCounterText(QString::number(m_packetCount));
    m_sentBytes += bytes;
    m_controls.setProgressPosition(m_sentBytes);
}

void TransferEngine::onPacketWritten(qint64 bytes, qint64 startNs)
{
    if (m_handed.empty())
        return;
    countWritten(bytes);
    emit packetWritten(bytes, startNs);
    if (m_reply.enabled() && (m_state == State::Sending || m_state == State::LastReply)) {
        // The reply timeout counts from the packet's going out.
        if (m_reply.waiting())
            m_replyTimer.start(m_reply.timeoutMs());
        else
            handOverPackets(); // the answer came first
        return;
    }
    if (m_state == State::Draining && m_handed.empty())
        endTransfer(m_endAfterHanded, m_endAfterHandedText);
    else
        handOverPackets();
}

// Packets the sender wrote whole but has not reported yet are counted; the
// rest never reach the board.
void TransferEngine::dropHanded()
{
    const int unwritten = m_sender.cancel();
    while (int(m_handed.size()) > unwritten) {
        const int bytes = m_handed.front();
        countWritten(bytes);
        emit packetWritten(bytes, -1);
    }
    m_handed.clear();
}

// A read error or a file that changed: the transfer ends with its own message
// and the reason on a second line, never as a finished one.
void TransferEngine::failFile()
{
    const TransferError failure = m_sendFile.failure();
    m_state = State::Idle;
    dropHanded();
    closeSendFile();
    sayFailure(failure.operation == TransferError::Operation::FileChanged ? Headline::SendFileChanged
                                                                          : Headline::SendFileRead,
               failure); // the reason goes on a second line
    emit transferEnded(TransferEnd::FileFailed);
}

// The controls follow on the next tick.
void TransferEngine::endTransfer(TransferEnd end, const QString& message)
{
    m_state = State::Idle;
    closeSendFile();
    stopWaiting();
    say(message);
    emit transferEnded(end);
}
