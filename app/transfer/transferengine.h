#pragma once
// The transfer engine: sends a file to the board one packet per tick of its timer,
// a line at a time or a block of Data Size bytes at a time, and shows what the
// board sends back. It opens the port from the port and baud boxes and gives
// up a port that failed. It reaches the controls only through
// TransferControls, so the window, the command-line sender and the tests drive
// the same code; what it has to tell the user it emits as a TransferMessage,
// and whoever drives it decides how to show it.
//
// The packets are written by a packet sender on a thread of its own, each on
// an absolute deadline no sooner than the Time Gap after the previous one went
// out; the engine reads them from the file a few ahead and hands them over, and
// counts each one, with its bytes in the progress, when the sender says it went
// out. The timer, whose interval is the Time Gap, shows what the board sent and
// hands over packets; a busy event loop therefore makes no gap shorter or much
// longer.
//
// Nothing here waits: a stream that has nothing yet is asked again on the next
// tick, a write the driver cannot take is a pause, and a board that stops
// taking bytes ends the transfer once they are overdue at the baud rate. Stop
// drops the packets not yet written and therefore answers at once. The send
// file is opened on a thread of its own at Start, so an open that takes long
// (a slow network share, a device that waits in open) holds up nothing: the
// transfer shows as running, Stop ends it at once, and it begins sending when
// the file is open.

#include "app/transfer/lineformat.h"
#include "app/transfer/pacedtimer.h"
#include "app/transfer/packetsender.h"
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
#include <deque>

class TransferEngine : public QObject {
    Q_OBJECT
public:
    using State = TransferState;
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
    void initialise(const QString& configPath);
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
    [[nodiscard]] TransferError SaveSettings() { return m_settings.SaveSettings(); }
    void ApplySettings(const TPortSettings& settings) { m_settings.ApplySettings(settings); }

    // Serial link: (re)opens the port from the port and baud boxes; true when
    // it is open (state Idle), false when not (state Closed, the reason went
    // out with the message). Whatever was being sent is dropped.
    [[nodiscard]] bool OpenPort();
    // Shows what the board sent since; a port that broke is closed after its
    // last bytes are shown.
    void pollReceive();

    // Start/Stop: opens the port when it is closed (nothing more when that
    // fails), then stops a transfer that runs or starts one.
    void startOrStop();
    // Opens the port when it is closed (nothing more when that fails), then
    // sends the file from its start; a transfer already running starts over.
    void start();
    // Ends the transfer that runs: "Transmit Interrupt !!!". A packet already
    // written is not recalled; those not yet written are dropped and not counted.
    void stop();
    // One tick of the timer: shows what the board sent and hands the packet
    // sender the next packets.
    void tick();
    // Set Port: takes the Time Gap box and opens the port again.
    void applyPortSettings();

    // The user edited the Time Gap box / the Data Size box, or clicked
    // "Pause By Data Size". The engine runs the first two itself after it
    // changes a box's text.
    void timeGapEdited() { m_settings.timeGapEdited(); }
    void dataSizeEdited() { m_settings.dataSizeEdited(); }
    void pauseByDataSizeClicked() { m_settings.pauseByDataSizeClicked(); }

    State state() const { return m_state; }
    bool isPortOpen() const { return IsPortOpen(m_state); }
    bool isSending() const { return IsSending(m_state); }
    // After Start: when the longest packet takes longer on the wire than the
    // Time Gap at the port's baud rate, says so with the rate the line allows.
    QString wireTimeWarning() const;
    // Milliseconds since the last Start (since creation before the first).
    qint64 msSinceStart() const { return m_sinceStart.elapsed(); }
    qint64 sentBytes() const { return m_sentBytes; }
    int chunkLength() const { return m_chunkLength; }
    qint64 fileSize() const { return m_sendFile.size(); }
    int packetCount() const { return m_packetCount; }
    // Packets handed to the sender and not yet reported written.
    int packetsInHand() const { return int(m_handed.size()); }
    bool isSendFileOpen() const { return m_sendFile.isOpen(); }
    // Start was pressed and the send file is still being opened.
    bool isOpeningSendFile() const { return m_state == State::OpeningFile; }
    const TPortSettings& settings() const { return m_settings.settings(); }
    QString configPath() const { return m_settings.configPath(); }
    const PacedTimer& timer() const { return m_timer; }
    const SerialDevice& port() const { return m_port; }

signals:
    // Something to show the user, at the moment it happens (a message box
    // opened from here is modal; the timer keeps ticking inside it).
    void message(const TransferMessage& message);
    // A failure that needs no answer, worth one line in the log: a file kept
    // beside the settings that could not be written.
    void logLine(const QString& line);
    // Emitted after the end message of a transfer.
    void transferEnded(TransferEngine::TransferEnd end);
    // The send file is open and the first packet is due (wireTimeWarning() is known now).
    void transferStarted();
    // A packet of `bytes` went out whole; its first byte was written at
    // `startNs` of the monotonic clock, -1 when a stop or a failure came
    // before the sender said so (counted already).
    void packetWritten(qint64 bytes, qint64 startNs);

private:
    void say(const QString& text, const QString& caption = QString(), const TransferError& error = {},
             const QString& hint = QString());
    // Says a failure: its headline, `detail` on a line of its own, then the
    // system's reason and `hint`.
    void sayFailure(Headline headline, const TransferError& error = {}, const QString& detail = QString(),
                    const QString& hint = QString());
    void beginTransfer();
    void refuseAtStart(const QString& text);
    void showSendingControls(bool sending);
    void handOverPackets();
    // Ends the transfer once the packets in hand are written.
    void endAfterHanded(TransferEnd end, const QString& message);
    void onPacketWritten(qint64 bytes, qint64 startNs);
    void countWritten(qint64 bytes);
    // Drops the packets not yet written; those written already are counted.
    void dropHanded();
    void closePort();
    // Leaves the transfer for Idle and tells how it ended.
    void endTransfer(TransferEnd end, const QString& message);
    void failLink(Headline headline, const TransferError& error);
    void onLinkBroken();
    void stopWaiting();
    void onBoardSent();
    void onReplyTimeout();
    [[nodiscard]] SendFileReader::Status readLine();
    [[nodiscard]] SendFileReader::Status readPacket();
    void failFile();
    void closeSendFile();
    void onSendFileOpened();
    void beginSending(const TransferError& notOpened);

    TransferControls& m_controls;
    State m_state = State::Closed;
    // Bytes of the packet in hand; in block mode also the length of the next block.
    int m_chunkLength = 0;
    PacedTimer m_timer;
    SettingsBinding m_settings {m_controls, m_timer, m_state, m_chunkLength};
    SerialDevice m_port;

    SendFileReader m_sendFile;
    SendFileOpener m_opener;
    bool m_openWaitsForWriter = false;
    qint64 m_longestLine = 0; // of the file in hand, for the wire-time warning
    qint64 m_sentBytes = 0;
    int m_packetCount = 0;
    std::array<char, SendBufferSize> m_sendBuffer {};
    PacketSender m_sender;       // declared after m_port: stops writing before the port closes
    std::deque<int> m_handed;    // sizes of the packets handed over, not yet reported written
    TransferEnd m_endAfterHanded = TransferEnd::Finished; // told in Draining once they are
    QString m_endAfterHandedText;

    LineFormat m_lineFormat;
    ReplyWait m_reply;
    QTimer m_replyTimer;          // the reply timeout of the packet in hand
    QElapsedTimer m_sinceStart;
};
