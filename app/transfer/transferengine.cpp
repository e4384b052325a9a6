#include "app/transfer/transferengine.h"

#include "app/transfer/wholenumber.h"

#include <QFile>

#include <sys/stat.h>

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
    setTimer1Enabled(true);
}

TransferEngine::~TransferEngine() = default;

// A timer with interval 0 does not tick (it would spin); it runs again once
// it gets an interval.
void TransferEngine::setTimer1Enabled(bool enabled)
{
    m_timer1Enabled = enabled;
    if (enabled && Timer1.interval() > 0)
        Timer1.start();
    else
        Timer1.stop();
}

void TransferEngine::setTimer1Interval(int milliseconds)
{
    Timer1.setInterval(milliseconds);
    setTimer1Enabled(m_timer1Enabled);
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
    if (LinkState & Sending)
        StopTransfer();
    else
        StartTransfer();
}

void TransferEngine::StartTransfer()
{
    setTimer1Enabled(false);
    PacketCount = 0;
    m_controls.setCounterText(QStringLiteral("0"));
    SentBytes = 0;

    // A negative Data Size is refused as a non-number would be.
    const QString sizeText = m_controls.dataSizeText();
    const std::optional<int> size = ToNonNegativeNumber(sizeText);
    if (!size) {
        m_controls.showMessage(NotAWholeNumberMessage(sizeText));
        setTimer1Enabled(true);
        emit transferEnded(TransferEnd::BadNumber);
        return;
    }
    ChunkLength = *size;
    if (ChunkLength > SendBufferSize) {
        ChunkLength = SendBufferSize;
        m_controls.setDataSizeText(QString::number(SendBufferSize));
    }
    LinkState |= Sending;

    if (Timer1.interval() == 0) {
        setTimer1Interval(1);
        m_controls.setTimeGapText(QStringLiteral("1"));
    }
    const QString gapText = m_controls.timeGapText();
    const std::optional<int> gap = ToWholeNumber(gapText);
    if (!gap || UsableTimeGap(*gap) != *gap) {
        LinkState &= ~Sending;
        m_controls.showMessage(NotAWholeNumberMessage(gapText));
        setTimer1Enabled(true);
        emit transferEnded(TransferEnd::BadNumber);
        return;
    }
    setTimer1Interval(std::max(*gap, 1));

    closeSendFile();
    SendFile.reset(std::fopen(QFile::encodeName(m_controls.sendFileName()).constData(), "rb"));
    struct stat status {};
    if (SendFile && (::fstat(::fileno(SendFile.get()), &status) != 0 || S_ISDIR(status.st_mode)))
        closeSendFile(); // a folder opens on this system but cannot be sent
    if (SendFile) {
        FileSize = status.st_size;
        m_controls.setProgressPosition(0);
        m_controls.setProgressRange(FileSize);
        showSendingControls(true);
        setTimer1Enabled(true);
    } else {
        LinkState &= ~Sending;
        m_controls.showMessage(QStringLiteral("Can't Open Send File!"));
        setTimer1Enabled(true);
        emit transferEnded(TransferEnd::CannotOpenFile);
    }
}

void TransferEngine::StopTransfer()
{
    LinkState &= ~Sending;
    closeSendFile();
    showSendingControls(false);
    m_controls.showMessage(QStringLiteral("Transmit Interrupt !!!"));
    emit transferEnded(TransferEnd::Interrupted);
}

void TransferEngine::SetIdleControls()
{
    showSendingControls(false);
}

void TransferEngine::ReadLine()
{
    ChunkLength = 0;
    std::FILE* file = SendFile.get();
    if (!file || ::fseeko(file, SentBytes, SEEK_SET) != 0) {
        LinkState &= ~Sending;
        return;
    }
    for (;;) {
        const int byte = std::fgetc(file);
        if (byte == EOF) {
            LinkState &= ~Sending;
            return;
        }
        SendBuffer[ChunkLength] = static_cast<char>(byte);
        ++SentBytes;
        ++ChunkLength;
        if (byte == '\n' || ChunkLength == SendBufferSize)
            return;
    }
}

void TransferEngine::Timer1Timer()
{
    if (LinkState == 0)
        return;
    PollReceive();
    if (LinkState == 0)
        return; // the port broke while reading
    if (!(LinkState & Sending)) {
        SetIdleControls();
        return;
    }

    if (m_controls.pauseByDataSize()) {
        if (ChunkLength > 0) {
            std::FILE* file = SendFile.get();
            if (::fseeko(file, SentBytes, SEEK_SET) == 0
                && std::fread(SendBuffer.data(), static_cast<size_t>(ChunkLength), 1, file) == 1)
                SentBytes += ChunkLength;
            else
                ReadLine(); // less than a block is left: send the next line of it
        }
    } else {
        ReadLine();
    }
    m_controls.setProgressPosition(SentBytes);

    if (ChunkLength == 0) {
        LinkState &= ~Sending;
        endTransfer(TransferEnd::NoMoreData, QStringLiteral("no data any more!"));
        return;
    }
    ++PacketCount;
    m_controls.setCounterText(QString::number(PacketCount));

    if (!PortHandle.writeAll(SendBuffer.data(), ChunkLength)) {
        failLink(QStringLiteral("Send Data Error !!!"));
        return;
    }
    if (LinkState & Sending)
        return;
    endTransfer(TransferEnd::Finished, QStringLiteral("Send Data Finished!"));
}

// The state is already idle; the controls follow on the next tick.
void TransferEngine::endTransfer(TransferEnd end, const QString& message)
{
    closeSendFile();
    m_controls.showMessage(message);
    emit transferEnded(end);
}
