#include "logbox.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace {

// Received text breaks lines at CR LF, a lone LF and a lone CR alike.
QString withLineFeeds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

LogBox::LogBox(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Lines are right-justified to the visible width; a line longer than the
    // box starts at its left edge and is read by scrolling right.
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(Qt::AlignRight);
    option.setWrapMode(QTextOption::NoWrap);
    document()->setDefaultTextOption(option);
}

void LogBox::appendLine(const QString& text)
{
    QScrollBar* bar = verticalScrollBar();
    const bool followEnd = bar->value() == bar->maximum();

    QTextDocument* doc = document();
    // Turning undo off and on again also drops what the undo history held.
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    if (!doc->isEmpty())
        cursor.insertBlock();
    cursor.insertText(withLineFeeds(text));
    doc->setUndoRedoEnabled(true);

    if (followEnd)
        bar->setValue(bar->maximum());
}

QStringList LogBox::lines() const
{
    QStringList all;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        all << block.text();
    return all;
}
