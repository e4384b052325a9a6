#pragma once
// The transfer engine: sends a file to the board one packet per tick of Timer1,
// a line at a time or a block of Data Size bytes at a time, and shows what the
// board sends back. It opens the port from the port and baud boxes and gives
// up a port that failed. It reaches the controls only through
// TransferControls, so the window, the command-line sender and the tests drive
// the same code; what it has to tell the user it emits as a TransferMessage,
// and whoever drives it decides how to show it.
//
// Timer1 is a paced timer whose interval is the Time Gap: its ticks are due on
// a grid kept against the monotonic clock, so late ticks do not add up.
//
// Nothing here waits: a tick sends the next packet only once the driver has
// taken the last one, a stream that has nothing yet is asked again on the next
// tick, and a board that stops taking bytes ends the transfer once the queued
// bytes are overdue at the baud rate. Stop therefore answers at once. The send
// file is opened on a thread of its own at Start, so an open that takes long
// (a slow network share, a device that waits in open) holds up nothing: the
// transfer shows as running, Stop ends it at once, and it begins sending when
// the file is open.

#include "app/transfer/lineformat.h"
#include "app/transfer/pacedtimer.h"
#include "app/transfer/replywait.h"
#include "app/transfer/sendfileopener.h"
#include "app/transfer/sendfilereader.h"
#include "app/transfer/serialdevice.h"
#include "app/transfer/settingsbinding.h"
#include "app/transfer/transfercontrols.h"
#include "app/transfer/transfermessage.h"
#include "app/transfer/transferstate.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>

class TransferEngine : public QObject {
    Q_OBJECT
public:
    // Bits of LinkState.
    static constexpr uint8_t PortOpen = TransferState::PortOpen;
    static constexpr uint8_t Sending = TransferState::Sending;
    // The largest packet: Data Size is clamped to it and a longer line is cut.
    static constexpr int SendBufferSize = MaxDataSize;
    // Received bytes shown per tick at most; the rest waits for the next tick.
    // A flood from the board is shown over several ticks, so that no single
    // tick holds up the window while the log takes it in.
    static constexpr qint64 ReceiveChunk = 64 * 1024;

    // How a transfer ended.
    enum class TransferEnd {
        Finished,       // "Send Data Finished!"
        NoMoreData,     // "no data any more!"
        Interrupted,    // "Transmit Interrupt !!!"
        CannotOpenFile, // "Can't Open Send File!"
        BadNumber,      // a Data Size or Time Gap text that is not a number at Start
        LinkFailed,     // the port failed: write error, a board that stopped reading, the device went away
        FileFailed,     // the send file could not be read, or changed while it was sent
        NoReply,        // the board did not answer a packet in time
    };
    Q_ENUM(TransferEnd)

    explicit TransferEngine(TransferControls& controls, QObject* parent = nullptr);
    ~TransferEngine() override;

    // Start-up: remembers `configPath`, loads and applies the settings, shows
    // the counter "0" and opens the port. The lists must be filled already.
    void Initialise(const QString& configPath);
    // Whether a successful port open rewrites the settings file (default true).
    void setSavesSettings(bool saves) { m_settings.setSavesSettings(saves); }
    // Whether opening a FIFO waits for its writer (default false: it opens at
    // once). Tests turn it on to get an open that really blocks, as one on a
    // slow network share or a device that waits in open does.
    void setOpenWaitsForWriter(bool waits) { m_openWaitsForWriter = waits; }

    // Waiting for the board: after each packet the next goes only once the
    // board's answer since contains `text` (and not before the Time Gap); no
    // answer within `timeoutMs` stops the transfer. An empty text: no waiting.
    void setReplyWait(const QByteArray& text, int timeoutMs = DefaultReplyTimeoutMs)
    {
        m_reply.setExpected(text, timeoutMs);
    }
    const ReplyWait& replyWait() const { return m_reply; }

    // The character format the port is opened with from now on (8N1 without
    // flow control unless set); the wire-time warning counts its bits.
    void setLineFormat(const LineFormat& format) { m_lineFormat = format; }
    const LineFormat& lineFormat() const { return m_lineFormat; }

    // Settings: read the controls into the record and write the file; push a
    // record into the controls. OpenPort tells the user when the file could
    // not be written.
    TransferError SaveSettings() { return m_settings.SaveSettings(); }
    void ApplySettings(const TPortSettings& settings) { m_settings.ApplySettings(settings); }

    // Serial link: (re)opens the port from the port and baud boxes, 1 on success
    // and 0 on failure (the caller stores it in LinkState; the reason goes out
    // with the message); shows received bytes.
    uint8_t OpenPort();
    void PollReceive();

    // Transfer.
    void Button1Click();
    void StartTransfer();
    void StopTransfer();
    void SetIdleControls();
    // Takes the next line into the packet; what the file had to say about it.
    SendFileReader::Status ReadLine();
    void Timer1Timer();

    // Handlers of the settings controls.
    void Button3Click(); // Set Port
    void Edit1Change() { m_settings.Edit1Change(); }       // Time Gap box
    void Edit2Change() { m_settings.Edit2Change(); }       // Data Size box
    void CheckBox1Click() { m_settings.CheckBox1Click(); } // "Pause By Data Size"

    uint8_t linkState() const { return m_state.LinkState; }
    // After Start: when the longest packet takes longer on the wire than the
    // Time Gap at the port's baud rate, says so with the rate the line allows.
    QString wireTimeWarning() const;
    // Milliseconds since the last Start (since creation before the first).
    qint64 msSinceStart() const { return m_sinceStart.elapsed(); }
    qint64 sentBytes() const { return SentBytes; }
    int chunkLength() const { return m_state.ChunkLength; }
    qint64 fileSize() const { return SendFile.size(); }
    int packetCount() const { return PacketCount; }
    bool isSendFileOpen() const { return SendFile.isOpen(); }
    // Start was pressed and the send file is still being opened.
    bool isOpeningSendFile() const { return m_opener.busy(); }
    const TPortSettings& settings() const { return m_settings.settings(); }
    QString configPath() const { return m_settings.configPath(); }
    const PacedTimer& timer1() const { return Timer1; }
    const SerialDevice& port() const { return PortHandle; }

signals:
    // Something to show the user, at the moment it happens (a message box
    // opened from here is modal; Timer1 keeps ticking inside it).
    void message(const TransferMessage& message);
    // Emitted after the end message of a transfer.
    void transferEnded(TransferEngine::TransferEnd end);
    // The send file is open and the first packet is due (wireTimeWarning() is known now).
    void transferStarted();

private:
    void say(const QString& text, const QString& caption = QString(), const TransferError& error = {},
             const QString& hint = QString());
    void refuseAtStart(const QString& text);
    void showSendingControls(bool sending);
    void endTransfer(TransferEnd end, const QString& message);
    void failLink(const QString& headline, const TransferError& error);
    void onLinkBroken();
    void stopWaiting();
    void onBoardSent();
    void onReplyTimeout();
    SendFileReader::Status readPacket();
    void failFile();
    void closeSendFile();
    void onSendFileOpened();
    void beginSending(const TransferError& notOpened);

    TransferControls& m_controls;
    TransferState m_state;
    // The shared state under the names the handlers use.
    uint8_t& LinkState = m_state.LinkState;
    int& ChunkLength = m_state.ChunkLength;
    PacedTimer Timer1;
    SettingsBinding m_settings {m_controls, Timer1, m_state};
    SerialDevice PortHandle;

    SendFileReader SendFile;
    SendFileOpener m_opener;
    bool m_openWaitsForWriter = false;
    qint64 m_longestLine = 0; // of the file in hand, for the wire-time warning
    qint64 SentBytes = 0;
    int PacketCount = 0;
    std::array<char, SendBufferSize> SendBuffer {};

    LineFormat m_lineFormat;
    ReplyWait m_reply;
    QTimer m_replyTimer;          // the reply timeout of the packet in hand
    QElapsedTimer m_sincePacket;  // since the last packet went out
    QElapsedTimer m_sinceStart;
    bool m_finishAfterReply = false; // the last packet is out; its answer ends the transfer
    // The last packet is still on its way to the driver: the end is told once it is there.
    bool m_finishPending = false;
};
