#pragma once
// How the port and the send file report a failure: which operation failed on
// which device or file, with the system's reason as text and as errno. An
// empty TransferError means success. The code that called decides how to show
// it (the window a message box, the command-line sender standard error).

#include <QString>

struct TransferError {
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
        WriteCapture, // the capture file did not take the board's bytes
    };

    Operation operation = Operation::None;
    QString target;      // the device path or file path
    QString reason;      // the system's text, e.g. "Input/output error"
    int errorNumber = 0; // the errno that goes with the reason

    bool failed() const { return operation != Operation::None; }
    explicit operator bool() const { return failed(); }

    // A failure with the system's text for `errorNumber`.
    static TransferError FromErrno(Operation operation, const QString& target, int errorNumber);
};
