#pragma once
// The transfer engine: sends a file to the board one packet per tick of Timer1,
// a line at a time or a block of Data Size bytes at a time, and shows what the
// board sends back. It also holds the port and the remembered settings, and the
// handlers of the controls that change them. It reaches the controls only
// through TransferControls, so the window, the command-line sender and the
// tests drive the same code.
//
// Timer1 is a paced timer whose interval is the Time Gap: its ticks are due on
// a grid kept against the monotonic clock, so late ticks do not add up.

#include "app/transfer/pacedtimer.h"
#include "app/transfer/portsettings.h"
#include "app/transfer/serialdevice.h"
#include "app/transfer/transfercontrols.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

class TransferEngine : public QObject {
    Q_OBJECT
public:
    // Bits of LinkState.
    static constexpr uint8_t PortOpen = 1;
    static constexpr uint8_t Sending = 2;
    // The largest packet: Data Size is clamped to it and a longer line is cut.
    static constexpr int SendBufferSize = 2048;
    // Received bytes shown per tick at most; the rest waits for the next tick.
    static constexpr qint64 ReceiveChunk = 64 * 1024;

    // How a transfer ended.
    enum class TransferEnd {
        Finished,       // "Send Data Finished!"
        NoMoreData,     // "no data any more!"
        Interrupted,    // "Transmit Interrupt !!!"
        CannotOpenFile, // "Can't Open Send File!"
        BadNumber,      // a Data Size or Time Gap text that is not a number at Start
        LinkFailed,     // the port failed: write error or the device went away
    };
    Q_ENUM(TransferEnd)

    explicit TransferEngine(TransferControls& controls, QObject* parent = nullptr);
    ~TransferEngine() override;

    // Start-up: remembers `configPath`, loads and applies the settings, shows
    // the counter "0" and opens the port. The lists must be filled already.
    void Initialise(const QString& configPath);
    // Whether a successful port open rewrites the settings file (default true).
    void setSavesSettings(bool saves) { m_savesSettings = saves; }

    // Settings: read the controls into the record and write the file; push a
    // record into the controls.
    void SaveSettings();
    void ApplySettings(const TPortSettings& settings);

    // Serial link: (re)opens the port from the port and baud boxes, 1 on success
    // and 0 on failure (the caller stores it in LinkState); shows received bytes.
    uint8_t OpenPort();
    void PollReceive();

    // Transfer.
    void Button1Click();
    void StartTransfer();
    void StopTransfer();
    void SetIdleControls();
    void ReadLine();
    void Timer1Timer();

    // Handlers of the settings controls.
    void Button3Click();  // Set Port
    void Edit1Change();   // Time Gap box
    void Edit2Change();   // Data Size box
    void CheckBox1Click(); // "Pause By Data Size"

    uint8_t linkState() const { return LinkState; }
    qint64 sentBytes() const { return SentBytes; }
    int chunkLength() const { return ChunkLength; }
    qint64 fileSize() const { return FileSize; }
    int packetCount() const { return PacketCount; }
    bool isSendFileOpen() const { return SendFile != nullptr; }
    const TPortSettings& settings() const { return Settings; }
    QString configPath() const { return ConfigPath; }
    const PacedTimer& timer1() const { return Timer1; }
    const SerialDevice& port() const { return PortHandle; }

signals:
    // Emitted after the end message of a transfer has been shown.
    void transferEnded(TransferEngine::TransferEnd end);

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    void setTimer1Enabled(bool enabled);
    void setTimer1Interval(int milliseconds);
    void takeTimeGapFromBox();
    void showSendingControls(bool sending);
    void endTransfer(TransferEnd end, const QString& message);
    void failLink(const QString& headline);
    void onLinkBroken();
    void closeSendFile() { SendFile.reset(); }

    TransferControls& m_controls;
    QString ConfigPath;
    TPortSettings Settings;
    SerialDevice PortHandle;
    uint8_t LinkState = 0;
    PacedTimer Timer1;
    bool m_timer1Enabled = true;
    bool m_savesSettings = true;

    std::unique_ptr<std::FILE, FileCloser> SendFile;
    qint64 SentBytes = 0;
    int ChunkLength = 0;
    qint64 FileSize = 0;
    int PacketCount = 0;
    std::array<char, SendBufferSize> SendBuffer {};
};
