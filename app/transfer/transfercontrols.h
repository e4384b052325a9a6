#pragma once
// What the transfer engine needs from the controls of the window that drives it.
//
// How a window wires it:
//  - Implement each function on the matching widget: the port and baud boxes are
//    the editable drop-down lists (ComboBox1, ComboBox2; ComboBox3..5 only keep an
//    item index), the Time Gap box Edit1, the Data Size box Edit2, the check box
//    "Pause By Data Size" CheckBox1, the file box Edit3, the Start/Stop button
//    Button1, Browse Button2, Set Port Button3, ProgressBar1, the counter Label8,
//    the log Memo1.
//  - Show what the engine says: connect TransferEngine::message to a modal
//    message box (the window) or to standard error (the command-line sender),
//    and TransferEngine::logLine to the log.
//  - Setters only change the widget; they must not call back into the engine.
//    Connect the boxes' user-edit signals (QLineEdit::textEdited) to
//    TransferEngine::timeGapEdited / dataSizeEdited; the engine runs those
//    itself after it changes a box's text.
//  - Forward the buttons: Start/Stop -> startOrStop, Set Port ->
//    applyPortSettings, "Pause By Data Size" clicked -> pauseByDataSizeClicked.
//    The engine owns the transfer timer.
//  - Call TransferEngine::initialise(configPath) once the lists are filled
//    (ListItems() gives their items).
// The command-line sender and the tests implement the same interface without
// widgets (HeadlessControls).

#include "app/transfer/portsettings.h"

#include <QByteArray>
#include <QFile>
#include <QString>

class TransferControls {
public:
    virtual ~TransferControls() = default;

    // The drop-down lists: the selected item index, or -1 when the text is not
    // one of the items. setItemIndex(-1) leaves the box empty.
    virtual int itemIndex(SettingsList list) const = 0;
    virtual void setItemIndex(SettingsList list, int index) = 0;
    // The texts of the port and baud boxes, which the user may type freely.
    virtual QString portText() const = 0;
    // Puts a remembered device path into the port box.
    virtual void setPortText(const QString& text) = 0;
    virtual QString baudText() const = 0;

    // Edit1: the Time Gap in milliseconds.
    virtual QString timeGapText() const = 0;
    virtual void setTimeGapText(const QString& text) = 0;

    // Edit2: the Data Size in bytes.
    virtual QString dataSizeText() const = 0;
    virtual void setDataSizeText(const QString& text) = 0;
    virtual void setDataSizeEnabled(bool enabled) = 0;

    // CheckBox1 "Pause By Data Size": block mode when checked.
    virtual bool pauseByDataSize() const = 0;
    virtual void setPauseByDataSize(bool checked) = 0;
    virtual void setPauseByDataSizeEnabled(bool enabled) = 0;

    // Edit3: the path of the file to send.
    virtual QString sendFileName() const = 0;
    // The same path as the system names it: the bytes of a name that is not
    // valid text in the locale survive here, where the shown text loses them.
    virtual QByteArray sendFilePath() const { return QFile::encodeName(sendFileName()); }

    // Button1's caption ("Start" or "Stop"); Button2 (Browse) and Button3 (Set Port).
    virtual void setStartCaption(const QString& caption) = 0;
    virtual void setBrowseEnabled(bool enabled) = 0;
    virtual void setSetPortEnabled(bool enabled) = 0;

    // ProgressBar1: range 0..maximum in file bytes, and the position. A
    // maximum below 0 means the end is not known (a pipe, a device): progress
    // is shown in bytes without a share of a total.
    virtual void setProgressRange(qint64 maximum) = 0;
    virtual void setProgressPosition(qint64 position) = 0;

    // Label8: the packet counter.
    virtual void setCounterText(const QString& text) = 0;

    // Memo1: bytes the board sent, to be shown as one new line (ReceivedText()
    // turns them into display text); then the log's undo history is cleared.
    virtual void appendReceived(const QByteArray& bytes) = 0;
};
