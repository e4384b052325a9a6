// The main window's handlers as a user meets them: boxes that correct
// themselves while typing, settings from "Config.dat", Set Port, start-up
// order, Browse, Wait For Reply, Help and About.

#include "tests/app/window/form1fixture.h"
#include "app/window/logbox.h"
#include "app/window/portcombobox.h"
#include "tests/support/ptypair.h"
#include "app/window/startup.h"
#include "tests/support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDropEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

class Form1Handlers : public testing::Test, public Form1Fixture {
protected:
    QLineEdit* edit(const char* name) { return find<QLineEdit>(name); }
    QComboBox* combo(const char* name) { return find<QComboBox>(name); }
    QPushButton* button(const char* name) { return find<QPushButton>(name); }

    // Types the pseudo-terminal into the port box.
    void typePort(const PtyPair& pty)
    {
        QLineEdit* line = combo("ComboBox1")->lineEdit();
        overtype(line, pty.path);
        ASSERT_EQ(combo("ComboBox1")->currentText(), pty.path);
    }
};

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

TEST_F(Form1Handlers, BoxesCorrectThemselvesWhileTheUserTypes)
{
    create();
    // Data Size: enabled by the check box, 3000 becomes 2048 at once.
    find<QAbstractButton>("CheckBox1")->click();
    ASSERT_TRUE(edit("Edit2")->isEnabled());
    overtype(edit("Edit2"), "3000");
    EXPECT_EQ(edit("Edit2")->text(), "2048");
    EXPECT_EQ(form->engine().chunkLength(), 2048);
    overtype(edit("Edit2"), "x");
    EXPECT_EQ(edit("Edit2")->text(), "512");
    find<QAbstractButton>("CheckBox1")->click();
    EXPECT_FALSE(edit("Edit2")->isEnabled());

    // Time Gap: clearing it reads "50" at once; a number becomes the interval.
    overtype(edit("Edit1"), "120");
    EXPECT_EQ(form->engine().timer().interval(), 120);
    edit("Edit1")->selectAll();
    pressKey(edit("Edit1"), Qt::Key_Backspace);
    EXPECT_EQ(edit("Edit1")->text(), "50");
    EXPECT_EQ(form->engine().timer().interval(), 50);
    EXPECT_TRUE(messages.size() == 1 && messages[0].text == "Open COM Port Error !!!\nNo such file or directory")
        << "only the start-up port error";
}

TEST_F(Form1Handlers, ConfigValuesAreNormalisedThroughTheBoxes)
{
    TPortSettings settings = portlessSettings();
    settings.DataSize = 9999;
    settings.TimeGap = 75;
    settings.PauseByDataSize = 1;
    settings.BaudIndex = 11; // 115200
    ASSERT_TRUE(WriteSettingsFile(configPath(), settings));
    create();
    EXPECT_EQ(edit("Edit2")->text(), "2048");
    EXPECT_EQ(edit("Edit1")->text(), "75");
    EXPECT_TRUE(find<QAbstractButton>("CheckBox1")->isChecked());
    EXPECT_FALSE(edit("Edit2")->isEnabled()) << "disabled after loading, whatever the check box";
    EXPECT_EQ(combo("ComboBox1")->currentText(), "");
    EXPECT_EQ(combo("ComboBox2")->currentText(), "115200");
}

TEST_F(Form1Handlers, PortMissingAtStartUpIsReportedBeforeTheWindowAndStartOpensItLater)
{
    ToolWindows windows = CreateToolWindows(setup());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, "Open COM Port Error !!!\nNo such file or directory");
    EXPECT_EQ(messages[0].caption, "Comm Error");
    EXPECT_FALSE(messages[0].mainWindowVisible);
    ASSERT_TRUE(windows.AboutBox);
    EXPECT_FALSE(windows.AboutBox->isVisible());

    TForm1& main = *windows.Form1;
    main.show();
    EXPECT_EQ(main.engine().state(), TransferState::Closed);
    luxtest::processEventsFor(150); // ticks of a closed link do nothing
    EXPECT_EQ(messages.size(), 1);

    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    overtype(main.findChild<QComboBox*>("ComboBox1")->lineEdit(), pty.path);
    QFile file(dir.filePath("two-lines.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("A\nB\n");
    file.close();
    main.findChild<QLineEdit*>("Edit3")->setText(file.fileName());
    main.findChild<QPushButton*>("Button1")->click();
    EXPECT_TRUE(main.engine().isSending());
    ASSERT_TRUE(waitUntil([&] { return saw("no data any more!"); }));
    EXPECT_EQ(pty.readRest(), QByteArray("A\nB\n"));
    EXPECT_EQ(LoadSettings(configPath()).PortIndex, 255) << "the settings were saved after the open";
}

// The port box lists the devices present after COM1..COM8, by path with
// their details; a device chosen there (or typed) is the port at the next
// start, while "Config.dat" stores 255 for it.
TEST_F(Form1Handlers, ADevicePortIsListedAndRememberedAcrossRuns)
{
    create();
    PtyPair pty;
    auto* box = find<PortComboBox>("ComboBox1");
    box->setPresentPorts({{pty.path, pty.path + QStringLiteral("  Test board  0403:6001  serial B1")}});
    ASSERT_EQ(box->count(), PortComboBox::FixedItems + 1);
    EXPECT_EQ(box->itemText(0), "COM1");
    EXPECT_EQ(box->itemData(PortComboBox::FixedItems, PortComboBox::LabelRole).toString(),
              pty.path + "  Test board  0403:6001  serial B1");
    box->setCurrentIndex(PortComboBox::FixedItems);
    EXPECT_EQ(box->currentText(), pty.path);
    button("Button3")->click();
    ASSERT_EQ(form->engine().state(), TransferState::Idle);
    EXPECT_EQ(LoadSettings(configPath()).PortIndex, 255);

    form.reset();
    create();
    EXPECT_EQ(combo("ComboBox1")->currentText(), pty.path);
    EXPECT_EQ(form->engine().state(), TransferState::Idle);
    box = find<PortComboBox>("ComboBox1");
    box->showPopup(); // reads the devices present again; the text stays
    EXPECT_GE(box->count(), PortComboBox::FixedItems);
    EXPECT_EQ(box->currentText(), pty.path);
    box->hidePopup();
}

TEST_F(Form1Handlers, SetPortWithAnEmptyBaudBoxFailsWithTheConversionMessage)
{
    create();
    PtyPair pty;
    typePort(pty);
    button("Button3")->click();
    ASSERT_EQ(form->engine().state(), TransferState::Idle);
    messages.clear();

    combo("ComboBox2")->lineEdit()->clear();
    button("Button3")->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, "'' is not a valid integer value");
    EXPECT_EQ(messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(form->engine().state(), TransferState::Closed);
    EXPECT_FALSE(form->engine().port().isOpen());
}

// The Parity, Byte Size and Stop Bits boxes are remembered only; Set Port
// says in the log, once a press, when they name another format than 8N1.
TEST_F(Form1Handlers, SetPortSaysWhenTheFormatBoxesDifferFromTheLink)
{
    create();
    PtyPair pty;
    typePort(pty);
    struct Case {
        int parity, byteSize, stopBits;
        const char* said; // nullptr: nothing
    };
    const Case cases[] = {
        {0, 0, 0, nullptr},
        {1, 1, 2, "The link uses no parity, 8 data bits, 1 stop bit:\n"
                  "Parity \"odd\", Byte Size \"7\", Stop Bits \"2\"\nare only remembered."},
        {0, 0, 1, "The link uses no parity, 8 data bits, 1 stop bit:\n"
                  "Parity \"no parity\", Byte Size \"8\", Stop Bits \"1.5\"\nare only remembered."},
    };
    auto* log = find<LogBox>("Memo1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said ? c.said : "8N1");
        log->clear();
        combo("ComboBox3")->setCurrentIndex(c.parity);
        combo("ComboBox4")->setCurrentIndex(c.byteSize);
        combo("ComboBox5")->setCurrentIndex(c.stopBits);
        button("Button3")->click();
        ASSERT_EQ(form->engine().state(), TransferState::Idle);
        EXPECT_EQ(form->engine().lineFormat(), LineFormat {}) << "the link stays at 8N1";
        EXPECT_EQ(log->toPlainText(), QString::fromUtf8(c.said ? c.said : ""));
    }
}

TEST_F(Form1Handlers, TypingDuringATransferRevertsAndStopRestoresTheControls)
{
    create();
    PtyPair pty;
    typePort(pty);
    overtype(edit("Edit1"), "400");
    QFile file(dir.filePath("long.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\n'));
    file.close();
    edit("Edit3")->setText(file.fileName());
    button("Button1")->click();
    ASSERT_TRUE(form->engine().isSending());
    EXPECT_EQ(button("Button1")->text(), "Stop");
    for (const char* name : {"Button2", "Button3", "CheckBox1", "Edit2"})
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;

    overtype(edit("Edit1"), "7");
    EXPECT_EQ(edit("Edit1")->text(), "400");
    EXPECT_EQ(form->engine().timer().interval(), 400);

    button("Button1")->click();
    EXPECT_TRUE(saw("Transmit Interrupt !!!"));
    EXPECT_EQ(button("Button1")->text(), "Start");
    for (const char* name : {"Button2", "Button3", "CheckBox1", "Edit2"})
        EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
}

TEST_F(Form1Handlers, BrowsePutsTheChosenFullPathIntoTheFileBox)
{
    create();
    QFile file(dir.filePath("firmware"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // A file without a dot is offered too ("*.*" means every file).
    QTimer::singleShot(0, form.get(), [&] {
        EXPECT_TRUE(form->OpenDialog1->isVisible());
        form->OpenDialog1->setDirectory(dir.path());
        form->OpenDialog1->selectFile(QStringLiteral("firmware"));
        QMetaObject::invokeMethod(form->OpenDialog1, "accept");
    });
    button("Button2")->click();
    EXPECT_EQ(edit("Edit3")->text(), QFileInfo(file).absoluteFilePath());

    QTimer::singleShot(0, form.get(), [&] { form->OpenDialog1->reject(); });
    button("Button2")->click();
    EXPECT_EQ(edit("Edit3")->text(), QFileInfo(file).absoluteFilePath()) << "cancel keeps the path";

    // A name that is not text shows with a replacement character; the
    // engine still gets its bytes.
    const QByteArray odd = QFile::encodeName(dir.path()) + "/image-\377.hex";
    ::close(::open(odd.constData(), O_WRONLY | O_CREAT, 0600));
    QTimer::singleShot(0, form.get(), [&] {
        form->OpenDialog1->selectFile(QFile::decodeName(odd));
        QMetaObject::invokeMethod(form->OpenDialog1, "accept");
    });
    button("Button2")->click();
    EXPECT_EQ(edit("Edit3")->text(), QFile::decodeName(odd));
    EXPECT_EQ(form->controls().sendFilePath(), odd);
    ::unlink(odd.constData()); // the folder's clean-up cannot name it
}

// The reply wait set in its dialog drives the engine and is there again at
// the next start; Cancel changes nothing.
TEST_F(Form1Handlers, WaitForReplyIsSetInItsDialogAndRemembered)
{
    create();
    auto answerDialog = [&](const QString& text, int timeoutMs, bool accept) {
        QTimer::singleShot(0, form.get(), [=, this] {
            auto* dialog = form->findChild<QDialog*>(QStringLiteral("WaitForReplyDialog"));
            ASSERT_TRUE(dialog && dialog->isVisible());
            dialog->findChild<QLineEdit*>(QStringLiteral("ReplyText"))->setText(text);
            dialog->findChild<QSpinBox*>(QStringLiteral("ReplyTimeout"))->setValue(timeoutMs);
            accept ? dialog->accept() : dialog->reject();
        });
        form->PopupMenu1->findChild<QAction*>(QStringLiteral("WaitForReply1"))->trigger();
    };
    EXPECT_FALSE(form->engine().replyWait().enabled());
    answerDialog(QStringLiteral("OK\\r\\n"), 800, true);
    answerDialog(QStringLiteral(">"), 100, false);
    EXPECT_EQ(form->engine().replyWait().expected(), "OK\r\n");
    EXPECT_EQ(form->engine().replyWait().timeoutMs(), 800);

    create();
    EXPECT_EQ(form->engine().replyWait().expected(), "OK\r\n");
    EXPECT_EQ(form->engine().replyWait().timeoutMs(), 800);
}

// A file dropped on the window (the log included) is the file to send, as if
// chosen with Browse: its full path is the box's tooltip and it is there
// again at the next start. A folder or several files are not taken.
TEST_F(Form1Handlers, ADroppedFileIsTheFileToSendAndRemembered)
{
    create();
    const QString file = luxtest::writeFile(dir.filePath(QStringLiteral("image.hex")), ":00000001FF\n");
    auto drop = [&](QWidget* target, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
    };
    drop(form.get(), {QUrl::fromLocalFile(dir.path())});
    drop(form.get(), {QUrl::fromLocalFile(file), QUrl::fromLocalFile(file)});
    EXPECT_EQ(edit("Edit3")->text(), "");
    drop(form.get(), {QUrl::fromLocalFile(file)});
    EXPECT_EQ(edit("Edit3")->text(), file);
    EXPECT_EQ(edit("Edit3")->toolTip(), file);
    EXPECT_FALSE(find<LogBox>("Memo1")->acceptDrops()) << "a drop on the log reaches the window";

    create();
    EXPECT_EQ(edit("Edit3")->text(), file);
    EXPECT_EQ(edit("Edit3")->toolTip(), file);
}

TEST_F(Form1Handlers, HelpOpensTheManualFromTheWorkingDirectoryOnlyWhenItExists)
{
    create();
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());

    button("BitBtn1")->click();
    EXPECT_TRUE(recorder.opened.isEmpty());
    QFile manual(dir.filePath("MSP430_FlashUpdate.pdf"));
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.close();
    button("BitBtn1")->click();

    QDir::setCurrent(previous);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened[0].toLocalFile(), QFileInfo(manual).absoluteFilePath());
    EXPECT_EQ(messages.size(), 1) << "only the start-up port error";
}

TEST_F(Form1Handlers, AboutShowsTheAboutBoxModally)
{
    ToolWindows windows = CreateToolWindows(setup());
    bool wasModal = false;
    QTimer::singleShot(0, windows.AboutBox.get(), [&] {
        wasModal = windows.AboutBox->isVisible() && QApplication::activeModalWidget() == windows.AboutBox.get();
        windows.AboutBox->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    windows.Form1->findChild<QPushButton*>("BitBtn2")->click();
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(windows.AboutBox->isVisible());
    EXPECT_EQ(windows.AboutBox->windowTitle(), "About");
}

#include "form1handlers_test.moc"
