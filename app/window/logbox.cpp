#include "app/window/logbox.h"

#include "app/transfer/transfererror.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
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

LogBox::LogBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
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
    if (doc->isEmpty())
        m_dropped = 0; // cleared by the user: nothing is dropped any more
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    // One edit block: the layout hears of the new lines once, not line by line.
    cursor.beginEditBlock();
    if (!doc->isEmpty())
        cursor.insertBlock();
    cursor.insertText(withLineFeeds(text));
    cursor.endEditBlock();
    dropOldestLines();
    doc->setUndoRedoEnabled(true);

    if (followEnd)
        bar->setValue(bar->maximum());
}

void LogBox::appendReceived(const QByteArray& bytes)
{
    const TransferError notCaptured = m_capture.write(bytes);
    appendLine(FormatReceived(bytes, m_format, msSinceStart ? msSinceStart() : 0, true));
    // The capture has stopped: the item says so, and the log says why.
    if (notCaptured) {
        if (m_captureItem)
            m_captureItem->setChecked(false);
        appendLine(LogLine(Headline::CaptureNotWritten, notCaptured) + QStringLiteral("; capture stopped"));
    }
}

QAction* LogBox::addMenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(item);
    return item;
}

void LogBox::addMenuItems(QMenu* menu, Dialogs dialogs)
{
    m_dialogs = std::move(dialogs);
    connect(addMenuItem(menu, "SelectAll1", QStringLiteral("Select All "), QKeySequence(Qt::CTRL | Qt::Key_A)),
            &QAction::triggered, this, &LogBox::selectAll);
    connect(addMenuItem(menu, "ClearAllCtrlD1", QStringLiteral("Clear All "), QKeySequence(Qt::CTRL | Qt::Key_D)),
            &QAction::triggered, this, &LogBox::clear);
    connect(addMenuItem(menu, "CopyCtrlC1", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, this, &LogBox::copy);
    connect(addMenuItem(menu, "CutCtrlX1", QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X)),
            &QAction::triggered, this, &LogBox::cut);
    connect(addMenuItem(menu, "PasteCtrlV1", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V)),
            &QAction::triggered, this, &LogBox::paste);
    connect(addMenuItem(menu, "DeleteDel1", QStringLiteral("Delete "), QKeySequence(Qt::Key_Delete)),
            &QAction::triggered, this, &LogBox::deleteSelection);
    connect(addMenuItem(menu, "Undo1", QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z)),
            &QAction::triggered, this, &LogBox::undo);
    menu->addSeparator();
    connect(addMenuItem(menu, "SaveLogAs1", QStringLiteral("Save Log As\u2026")), &QAction::triggered, this,
            &LogBox::saveLogAs);
    QAction* timestamps = addMenuItem(menu, "Timestamps1", QStringLiteral("Timestamps"));
    timestamps->setCheckable(true);
    connect(timestamps, &QAction::triggered, this, [this](bool checked) { m_format.timestamps = checked; });
    QAction* hex = addMenuItem(menu, "ShowBytesAsHex1", QStringLiteral("Show Bytes as Hex"));
    hex->setCheckable(true);
    connect(hex, &QAction::triggered, this, [this](bool checked) { m_format.hex = checked; });
    QAction* capture = addMenuItem(menu, "CaptureToFile1", QStringLiteral("Capture to File\u2026"));
    capture->setCheckable(true);
    m_captureItem = capture;
    connect(capture, &QAction::triggered, this, [this, capture] { captureToFile(capture); });
}

void LogBox::deleteSelection()
{
    QTextCursor cursor = textCursor();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

void LogBox::saveLogAs()
{
    const QString path =
        m_dialogs.chooseSaveFile(QStringLiteral("Save Log As"), QStringLiteral("Text (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(toPlainText().toUtf8() + '\n') >= 0
        && file.commit())
        return;
    m_dialogs.showMessage(HeadlineText(Headline::LogNotSaved).text + QLatin1Char('\n') + file.errorString());
}

void LogBox::captureToFile(QAction* item)
{
    m_capture.stop();
    if (!item->isChecked())
        return;
    item->setChecked(false);
    const QString path = m_dialogs.chooseSaveFile(QStringLiteral("Capture to File"), QString());
    if (path.isEmpty())
        return;
    if (const TransferError failed = m_capture.start(path)) {
        m_dialogs.showMessage(HeadlineText(Headline::CaptureNotOpened).text + QLatin1Char('\n') + path
                              + QStringLiteral(": ") + failed.reason);
        return;
    }
    item->setChecked(true);
}

QString LogBox::DroppedNotice(qint64 count)
{
    return QStringLiteral("(%1 older lines dropped from view)").arg(count);
}

// Removes the lines beyond MaxLines from the top, below the notice line, and
// counts them in the notice.
void LogBox::dropOldestLines()
{
    QTextDocument* doc = document();
    const int noticeLines = m_dropped > 0 ? 1 : 0;
    const int excess = doc->blockCount() - noticeLines - MaxLines;
    if (excess <= 0)
        return;
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::Start);
    if (noticeLines)
        cursor.movePosition(QTextCursor::NextBlock);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, excess);
    cursor.removeSelectedText();
    m_dropped += excess;
    cursor.movePosition(QTextCursor::Start);
    if (noticeLines)
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    else
        cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(DroppedNotice(m_dropped));
    cursor.endEditBlock();
}

QStringList LogBox::lines() const
{
    QStringList all;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        all << block.text();
    return all;
}

void LogBox::paintEvent(QPaintEvent* event)
{
    keepLongLinesReadable();
    QPlainTextEdit::paintEvent(event);
}

// Lines are right-justified to the visible width. A line wider than that would
// be pushed out to the left, where no scrolling reaches; such a line starts at
// the left edge instead and is read by scrolling right. Only the lines on
// screen are laid out and moved, once per layout.
void LogBox::keepLongLinesReadable()
{
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document()->documentLayout());
    if (!layout)
        return;
    const qreal margin = document()->documentMargin();
    const qreal bottom = viewport()->height();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        layout->ensureBlockLayout(block);
        QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            QTextLine line = lines->lineAt(i);
            // The alignment shifts a line by (width - advance) when it is drawn.
            const qreal start = margin + std::max<qreal>(0, line.horizontalAdvance() - line.width());
            if (line.x() != start)
                line.setPosition(QPointF(start, line.y()));
        }
    }
}
