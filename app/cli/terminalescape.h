#pragma once
// The board's bytes made harmless for a terminal: ESC, every C0 control but
// tab, CR and LF, DEL and the C1 controls (bytes 0x80-0x9F on their own, and
// U+0080-U+009F written in UTF-8) become hex as the window's hex view shows
// them ("<1B>"), so a board or line noise cannot clear the screen, set the
// title, switch screens, fill the clipboard or make the terminal answer.
// Other UTF-8 text passes as it is; a character cut between two reads is held
// until its rest comes.

#include <QByteArray>

class TerminalEscape {
public:
    QByteArray filter(const QByteArray& bytes);
    // What is held back of a character that never ended, escaped.
    QByteArray flush();

private:
    QByteArray m_held;
};
