#pragma once
// How the port and the files report a failure: which operation failed on
// which device or file, with the system's reason as text and as errno. An
// empty TransferError means success. The code that called decides how to show
// it (the window a message box or a line in its log, the command-line sender
// standard error). A TransferError cannot be dropped unread: every function
// that returns one is fallible, and the compiler says when a caller ignores it.
//
// What the user reads first about a failure is its headline; every headline
// and the caption of its message box come from one table (HeadlineText).

#include <QString>

// Grace queued bytes get beyond the time they need on the line before a board
// that takes none of them counts as stalled.
constexpr qint64 WriteStallGraceMs = 2000;

struct [[nodiscard]] TransferError {
    enum class Operation {
        None,      // nothing failed
        OpenPort,  // the device could not be opened or locked
        SetUpPort, // the device refused the line settings (baud rate, framing)
        ReadPort,  // reading failed or the device went away
        WritePort, // a write failed or did not complete
        OpenFile,  // the send file could not be opened (or is a folder)
        ReadFile,  // reading the send file failed
        FileChanged, // the send file was cut short, grew, was modified or replaced while sent
        SaveSettings, // "Config.dat" could not be written
        SaveFile,  // a small file kept beside "Config.dat", or a log or capture file, could not be written
    };

    Operation operation = Operation::None;
    QString target;      // the device path or file path
    QString reason;      // the system's text, e.g. "Input/output error"
    int errorNumber = 0; // the errno that goes with the reason

    bool failed() const { return operation != Operation::None; }
    explicit operator bool() const { return failed(); }

    // A failure with the system's text for `errorNumber`.
    static TransferError FromErrno(Operation operation, const QString& target, int errorNumber);
    // The board took none of the `waiting` bytes for `stillMs` ms: a write that
    // failed with ETIMEDOUT; `heldByXoff` says it is flow control holding them.
    static TransferError BoardStalled(const QString& target, qint64 stillMs, bool heldByXoff, qint64 waiting);
};

// The failures the user is told about, each with its first line.
enum class Headline {
    PortSetUp,         // the device refused the line settings
    PortNotOpened,     // the device could not be opened or locked
    PortBroken,        // reading failed or the device went away
    SendData,          // a packet could not be written, or the board stopped taking bytes
    SendFileNotOpened, // the send file could not be opened
    SendFileChanged,   // the send file changed while it was sent
    SendFileRead,      // reading the send file failed
    NoReply,           // the board did not answer a packet in time
    SettingsNotSaved,  // "Config.dat" could not be written
    FileNotSaved,      // a file beside "Config.dat" could not be written
    LogNotSaved,       // "Save Log As" could not write its file
    CaptureNotOpened,  // "Capture to File" could not open its file
    CaptureNotWritten, // the capture file did not take the board's bytes
};

struct HeadlineWords {
    QString text;
    QString caption; // of its message box; empty: the application's title
};

const HeadlineWords& HeadlineText(Headline headline);

// One line for a log: the headline, the file and the system's reason
// ("Can't Save File! /home/u/Port.txt: Permission denied").
QString LogLine(Headline headline, const TransferError& error);
