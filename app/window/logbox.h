#pragma once
// The log of what the board sends (Memo1): an editable plain-text box whose
// lines are right-justified, with both scroll bars always shown. Received text
// is added one new line per call, without entering the user's undo history.
// Only the lines on screen are laid out, so a log of a hundred thousand lines
// costs no more per addition than an empty one. The log keeps the newest
// MaxLines lines; older ones are dropped from view, and a first line says how
// many, so a board that talks for hours costs bounded memory.
//
// Its pop-up menu's items are its own: the edits, saving the log, time stamps
// and hex for what the board sends, and a capture of the raw bytes.

#include "app/transfer/receivecapture.h"
#include "app/transfer/receivedformat.h"

#include <QPlainTextEdit>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;

class LogBox : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int MaxLines = 100000;

    explicit LogBox(QWidget* parent = nullptr);

    // Adds `text` as a new line at the end; line feeds, carriage returns and
    // CR LF pairs in it start further lines. The undo history is cleared
    // afterwards. The view follows the end when it was showing the end.
    void appendLine(const QString& text);

    // The text of every line, top to bottom.
    QStringList lines() const;
    // Lines dropped from the top since the log was last empty.
    qint64 droppedLines() const { return m_dropped; }
    // The first line while lines are dropped: "(N older lines dropped from view)".
    static QString DroppedNotice(qint64 count);

    // Bytes the board sent, as one new line in the format the menu chose
    // (time stamps count from msSinceStart), and into the capture file.
    void appendReceived(const QByteArray& bytes);
    std::function<qint64()> msSinceStart;

    // What the log's menu items ask of the window: a file to write, asked
    // under `title` with `filter` (empty: none chosen), and a way to tell a failure.
    struct Dialogs {
        std::function<QString(const QString& title, const QString& filter)> chooseSaveFile;
        std::function<void(const QString& text)> showMessage;
    };
    // Adds the log's items to `menu`: Select All, Clear All, Copy, Cut,
    // Paste, Delete, Undo, then Save Log As, Timestamps, Show Bytes as Hex
    // and Capture to File.
    void addMenuItems(QMenu* menu, Dialogs dialogs);
    // Adds one item named `name` to `menu`; its shortcut works while the log
    // has the focus, and keys the box handles itself (Ctrl+A, Ctrl+C, ...) do
    // the same there.
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                         const QKeySequence& shortcut = QKeySequence());

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void keepLongLinesReadable();
    void dropOldestLines();
    void deleteSelection();
    void saveLogAs();
    // Checked: asks for a file and appends every received byte to it;
    // unchecked: the capture ends.
    void captureToFile(QAction* item);

    qint64 m_dropped = 0;
    ReceivedFormat m_format;
    ReceiveCapture m_capture;
    QPointer<QAction> m_captureItem; // "Capture to File", ticked while it captures
    Dialogs m_dialogs;
};
