// Start and Stop end to end: the real window sends a file to the board
// simulator through a pseudo-terminal, shows progress, counter and replies;
// and a real modal message box keeps the transfer tick running.

#include "tests/app/window/form1fixture.h"
#include "app/window/logbox.h"
#include "tests/tools/boardsimprocess.h"
#include "tests/support/ptypair.h"
#include "tests/support/testsupport.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Every byte the board has read, in order.
QByteArray boardReceived(const QString& logPath)
{
    QByteArray all;
    for (const LoggedRead& read : readBoardLog(logPath))
        all += read.bytes;
    return all;
}

class Form1Transfer : public testing::Test, public Form1Fixture {
protected:
    void SetUp() override { create(); }

    // Port typed, Set Port pressed, pacing typed, file chosen.
    void prepare(const QString& port, const QString& gap, const QByteArray& content)
    {
        overtype(find<QComboBox>("ComboBox1")->lineEdit(), port);
        find<QPushButton>("Button3")->click();
        ASSERT_EQ(form->engine().state(), TransferState::Idle);
        overtype(find<QLineEdit>("Edit1"), gap);
        QFile file(dir.filePath(QStringLiteral("send.hex")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        find<QLineEdit>("Edit3")->setText(file.fileName());
    }
};

QByteArray hexFile(int lines)
{
    QByteArray content;
    for (int i = 0; i < lines; ++i)
        content += ":10" + QByteArray::number(i * 16, 16).rightJustified(4, '0') + "00" + QByteArray(32, 'A' + i % 6) + "\n";
    return content;
}

} // namespace

TEST_F(Form1Transfer, SendsAFileToTheBoardWithProgressCounterAndReplies)
{
    const QString log = dir.filePath(QStringLiteral("reads.log"));
    BoardSimProcess board({QStringLiteral("--reply"), QStringLiteral("OK\\r\\n"), QStringLiteral("--log"), log});
    ASSERT_FALSE(board.device.isEmpty()) << "board-sim must be built";
    const QByteArray content = hexFile(25);
    prepare(board.device, QStringLiteral("5"), content);
    messages.clear();

    find<QPushButton>("Button1")->click();
    EXPECT_EQ(find<QPushButton>("Button1")->text(), "Stop");
    ASSERT_TRUE(waitUntil([&] { return saw("no data any more!"); }));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(find<QLabel>("Label8")->text(), "25");
    auto* bar = find<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->maximum(), content.size());
    EXPECT_EQ(bar->value(), content.size());
    ASSERT_TRUE(waitUntil([&] { return boardReceived(log).size() >= content.size(); }));
    EXPECT_EQ(boardReceived(log), content);

    // The replies arrive on later ticks; the controls return to idle on a tick.
    auto* memo = find<LogBox>("Memo1");
    ASSERT_TRUE(waitUntil([&] { return memo->lines().count(QStringLiteral("OK")) == 25; }))
        << memo->lines().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(waitUntil([&] { return find<QPushButton>("Button1")->text() == "Start"; }));
    EXPECT_TRUE(find<QWidget>("Button2")->isEnabled());
}

TEST_F(Form1Transfer, StopInterruptsATransferAtOnce)
{
    BoardSimProcess board({});
    ASSERT_FALSE(board.device.isEmpty()) << "board-sim must be built";
    prepare(board.device, QStringLiteral("30"), hexFile(2000));
    find<QPushButton>("Button1")->click();
    ASSERT_TRUE(waitUntil([&] { return find<QLabel>("Label8")->text().toInt() >= 3; }));

    find<QPushButton>("Button1")->click();
    EXPECT_TRUE(saw("Transmit Interrupt !!!"));
    const int sent = form->engine().packetCount();
    EXPECT_EQ(find<QPushButton>("Button1")->text(), "Start");
    EXPECT_TRUE(find<QWidget>("Button3")->isEnabled());
    luxtest::processEventsFor(200);
    EXPECT_EQ(form->engine().packetCount(), sent) << "nothing is sent after Stop";
    EXPECT_EQ(find<QLabel>("Label8")->text(), QString::number(sent));
}

// At Start a firmware file's format, range and check go to the log; one that
// fails is sent only when the user answers Yes to sending it anyway.
TEST_F(Form1Transfer, AFirmwareFileIsCheckedAtStart)
{
    const QByteArray good = ":0400100001020304E2\n:00000001FF\n";
    const QByteArray bad = "S1050000AABB96\nS9030000FC\n";
    struct Case {
        QByteArray file;
        bool sendAnyway;
        QStringList log;
    };
    const Case cases[] = {
        {good, false, {"Intel HEX, addresses 0x0010-0x0013", "check ok"}},
        {bad, false, {"S-record", "check failed: line 1: checksum 96, computed 95", "not sent"}},
        {bad, true, {"S-record", "check failed: line 1: checksum 96, computed 95"}},
    };
    BoardSimProcess board({});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log.join(' ').toStdString());
        find<LogBox>("Memo1")->clear();
        questions.clear();
        messages.clear();
        sendAnyway = c.sendAnyway;
        prepare(board.device, QStringLiteral("1"), c.file);
        find<QPushButton>("Button1")->click();
        EXPECT_EQ(find<LogBox>("Memo1")->lines(), c.log);
        const bool sent = c.log.last() != "not sent";
        EXPECT_EQ(questions, c.file == good ? QStringList()
                                            : QStringList {"The file fails its S-record check:\nline 1: "
                                                           "checksum 96, computed 95\n\nSend it anyway?"});
        EXPECT_EQ(waitUntil([&] { return saw("no data any more!"); }, sent ? 20000 : 200), sent);
    }
}

// The real question whether to send a file anyway: Enter and Escape answer No.
TEST(Form1MessageBox, TheSendAnywayQuestionAnswersNoByDefault)
{
    for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
        bool asked = false;
        std::function<void()> answer = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                QTimer::singleShot(20, answer);
                return;
            }
            asked = box->text() == "Send it anyway?";
            pressKey(box, key);
        };
        QTimer::singleShot(20, answer);
        EXPECT_FALSE(AskModalQuestion(QStringLiteral("Send it anyway?"))) << key;
        EXPECT_TRUE(asked);
    }
}

// A real modal box: the transfer tick keeps polling the port while it is open,
// so what the board sends meanwhile reaches the log.
TEST(Form1MessageBox, ModalBoxWithTheApplicationTitleWhileTicksGoOn)
{
    Form1Fixture fixture;
    FormSetup setup = fixture.setup();
    setup.showMessage = nullptr; // the real modal message boxes
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());

    QString shownText, shownTitle;
    bool logGrewWhileOpen = false;
    // The first box is the start-up port error; later ones are handled below.
    auto handleBox = [&](auto&& self, int remaining) -> void {
        QTimer::singleShot(20, [&, self, remaining] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                self(self, remaining);
                return;
            }
            shownText = box->text();
            shownTitle = box->windowTitle();
            if (remaining == 1 && fixture.form) {
                pty.write("answer\n");
                auto* memo = fixture.form->findChild<LogBox*>(QStringLiteral("Memo1"));
                logGrewWhileOpen = waitUntil([&] { return memo->lines().contains(QStringLiteral("answer")); }, 10000);
            }
            box->button(QMessageBox::Ok)->click();
            if (remaining > 1)
                self(self, remaining - 1);
        });
    };
    handleBox(handleBox, 2);
    fixture.form = std::make_unique<TForm1>(setup);
    EXPECT_EQ(shownText, "Open COM Port Error !!!\nNo such file or directory");
    EXPECT_EQ(shownTitle, "Comm Error");

    TForm1& form = *fixture.form;
    form.show();
    overtype(form.findChild<QComboBox*>("ComboBox1")->lineEdit(), pty.path);
    QFile empty(fixture.dir.filePath(QStringLiteral("empty.txt")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    form.findChild<QLineEdit*>("Edit3")->setText(empty.fileName());
    form.findChild<QPushButton*>("Button1")->click(); // opens the port; the first tick finds no data
    ASSERT_TRUE(waitUntil([&] { return shownText == "no data any more!" && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(shownTitle, QCoreApplication::applicationName());
    EXPECT_TRUE(logGrewWhileOpen);
}
