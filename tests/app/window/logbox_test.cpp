// The log box: received text stays plain text, line breaks of every kind start
// new lines, received lines never enter the undo history, the view follows the
// end only when it showed the end, and the pop-up menu's operations, time
// stamps, hex, capture and saving included.

#include "tests/app/window/form1fixture.h"
#include "app/window/logbox.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QWindow>
#include <gtest/gtest.h>

TEST(LogBox, ReceivedTextIsPlainAndEachCallStartsANewLine)
{
    LogBox log;
    log.appendLine(QStringLiteral("<b>bold?</b> &amp;"));
    log.appendLine(QStringLiteral("a\r\nb\nc\rd"));
    log.appendLine(QStringLiteral("OK\r\n"));
    EXPECT_EQ(log.lines(), QStringList({"<b>bold?</b> &amp;", "a", "b", "c", "d", "OK", ""}));
}

// Right-justified lines end at the right edge; a line wider than the box
// starts at the left edge instead of being pushed out of reach.
TEST(LogBox, ShortLinesEndAtTheRightEdgeLongLinesStartAtTheLeft)
{
    LogBox log;
    log.resize(321, 200);
    log.show();
    log.appendLine(QStringLiteral("OK"));
    log.appendLine(QString(200, QLatin1Char('W')));
    ASSERT_TRUE(waitUntil([&] { return log.windowHandle() && log.windowHandle()->isExposed(); }));
    log.viewport()->repaint();
    ASSERT_EQ(log.horizontalScrollBar()->value(), 0);

    auto edgeOf = [&](int blockNumber, QTextCursor::MoveOperation where) {
        QTextCursor cursor(log.document()->findBlockByNumber(blockNumber));
        cursor.movePosition(where);
        return log.cursorRect(cursor).center().x();
    };
    const int width = log.viewport()->width();
    EXPECT_GT(edgeOf(0, QTextCursor::StartOfBlock), width / 2);
    EXPECT_NEAR(edgeOf(0, QTextCursor::EndOfBlock), width, 8);
    EXPECT_NEAR(edgeOf(1, QTextCursor::StartOfBlock), 0, 8);
    EXPECT_GT(log.horizontalScrollBar()->maximum(), 0) << "the rest of the long line is reached by scrolling";
}

TEST(LogBox, ReceivedLinesDoNotEnterTheUndoHistory)
{
    LogBox log;
    log.show();
    log.setFocus();
    typeText(&log, QStringLiteral("typed"));
    ASSERT_TRUE(log.document()->isUndoAvailable());
    log.appendLine(QStringLiteral("received"));
    EXPECT_FALSE(log.document()->isUndoAvailable());
    log.undo();
    EXPECT_EQ(log.lines(), QStringList({"typed", "received"}));
}

TEST(LogBox, TheViewFollowsTheEndOnlyWhenItShowedTheEnd)
{
    LogBox log;
    log.resize(321, 200);
    log.show();
    for (int i = 0; i < 200; ++i)
        log.appendLine(QStringLiteral("line %1").arg(i));
    QScrollBar* bar = log.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(10);
    log.appendLine(QStringLiteral("more"));
    EXPECT_EQ(bar->value(), 10) << "a user reading back is not pulled away";
}

TEST(LogBox, PopupMenuItemsActOnTheLog)
{
    Form1Fixture fixture;
    TForm1& form = fixture.create();
    auto* memo = form.findChild<LogBox*>(QStringLiteral("Memo1"));
    auto item = [&](const char* name) { return form.PopupMenu1->findChild<QAction*>(QLatin1String(name)); };
    for (QAction* action : form.PopupMenu1->actions())
        EXPECT_TRUE(action->isSeparator() || memo->actions().contains(action)) << "shortcut lives on the log box";

    memo->appendLine(QStringLiteral("first"));
    memo->appendLine(QStringLiteral("second"));
    item("SelectAll1")->trigger();
    item("DeleteDel1")->trigger();
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    item("Undo1")->trigger();
    EXPECT_EQ(memo->lines(), QStringList({"first", "second"})) << "a user's delete can be undone";

    item("ClearAllCtrlD1")->trigger();
    EXPECT_TRUE(memo->toPlainText().isEmpty());
}

// The log's own items: time stamps and hex change how new bytes show, the
// capture gets every byte raw until it is turned off, and the log is saved
// as shown.
TEST(LogBox, TimestampsHexCaptureAndSave)
{
    Form1Fixture fixture;
    const QString capture = fixture.dir.filePath(QStringLiteral("capture.bin"));
    const QString saved = fixture.dir.filePath(QStringLiteral("saved.txt"));
    QStringList chosen {capture, saved, QStringLiteral("/dev/full")};
    FormSetup setup = fixture.setup();
    setup.chooseSaveFile = [&](const QString&) { return chosen.takeFirst(); };
    fixture.form = std::make_unique<TForm1>(setup);
    TForm1& form = *fixture.form;
    auto* memo = form.findChild<LogBox*>(QStringLiteral("Memo1"));
    auto item = [&](const char* name) { return form.PopupMenu1->findChild<QAction*>(QLatin1String(name)); };
    FormControls& controls = form.controls();

    item("CaptureToFile1")->trigger();
    ASSERT_TRUE(item("CaptureToFile1")->isChecked());
    controls.appendReceived(QByteArray("ok\x1b\x00", 4));
    item("ShowBytesAsHex1")->trigger();
    controls.appendReceived(QByteArray("ok\x1b\x00", 4));
    item("Timestamps1")->trigger();
    controls.appendReceived("a\nb");
    item("CaptureToFile1")->trigger();
    controls.appendReceived("not captured");

    const QStringList lines = memo->lines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("ok\x1b\u2400"));
    EXPECT_EQ(lines[1], "ok<1B><00>");
    const QRegularExpression stamped(QStringLiteral("^\\[\\d+\\.\\d{3}\\] (a|b)$"));
    EXPECT_TRUE(stamped.match(lines[2]).hasMatch()) << lines[2].toStdString();
    EXPECT_TRUE(stamped.match(lines[3]).hasMatch()) << lines[3].toStdString();
    QFile captured(capture);
    ASSERT_TRUE(captured.open(QIODevice::ReadOnly));
    EXPECT_EQ(captured.readAll(), QByteArray("ok\x1b\x00ok\x1b\x00" "a\nb", 11));

    item("SaveLogAs1")->trigger();
    QFile savedFile(saved);
    ASSERT_TRUE(savedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(savedFile.readAll()), lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));

    // A capture file that stops taking bytes: the item is unticked and the log says why.
    item("CaptureToFile1")->trigger();
    ASSERT_TRUE(item("CaptureToFile1")->isChecked());
    controls.appendReceived("full");
    EXPECT_FALSE(item("CaptureToFile1")->isChecked());
    EXPECT_EQ(memo->lines().constLast(), "Capture File Write Error !!! /dev/full: No space left on device; capture stopped");
}

TEST(LogBox, KeepsTheNewestLinesAndSaysHowManyWereDropped)
{
    LogBox log;
    QStringList many;
    for (int i = 0; i < LogBox::MaxLines; ++i)
        many << QStringLiteral("line %1").arg(i);
    log.appendLine(many.join(QLatin1Char('\n')));
    EXPECT_EQ(log.droppedLines(), 0);

    struct Step {
        QString added;
        qint64 dropped;
        QString firstKept;
    };
    const QList<Step> steps {
        {QStringLiteral("x\ny\nz"), 3, QStringLiteral("line 3")},
        {QStringLiteral("w"), 4, QStringLiteral("line 4")},
    };
    for (const Step& step : steps) {
        log.appendLine(step.added);
        const QStringList lines = log.lines();
        ASSERT_EQ(lines.size(), LogBox::MaxLines + 1);
        EXPECT_EQ(lines.first(), LogBox::DroppedNotice(step.dropped));
        EXPECT_EQ(lines[1], step.firstKept);
        EXPECT_EQ(lines.last(), step.added.right(1));
        EXPECT_EQ(log.droppedLines(), step.dropped);
    }
    log.clear();
    log.appendLine(QStringLiteral("fresh"));
    EXPECT_EQ(log.lines(), QStringList {QStringLiteral("fresh")});
    EXPECT_EQ(log.droppedLines(), 0);
}
