#pragma once
// The log of what the board sends (Memo1): an editable plain-text box whose
// lines are right-justified, with both scroll bars always shown. Received text
// is added one new line per call, without entering the user's undo history.
// Only the lines on screen are laid out, so a log of a hundred thousand lines
// costs no more per addition than an empty one. The log keeps the newest
// MaxLines lines; older ones are dropped from view, and a first line says how
// many, so a board that talks for hours costs bounded memory.

#include <QPlainTextEdit>

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void keepLongLinesReadable();
    void dropOldestLines();

    qint64 m_dropped = 0;
};
