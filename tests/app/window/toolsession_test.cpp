// A whole session with the tool, built as main() builds it: the splash window,
// the About box opened three times, a file sent to the board simulator, then
// the main window closed, which ends the event loop. In the sanitized build,
// where LeakSanitizer checks the process at exit, this is the check that a
// session leaves nothing behind; it is a program of its own because the
// effects start and stop once per process.

#include "app/splash/aboutbox.h"
#include "effects/forms/controlfreezer.h"
#include "tests/app/window/form1fixture.h"
#include "app/splash/form3.h"
#include "effects/forms/luxanimation.h"
#include "effects/forms/luxstartup.h"
#include "app/window/startup.h"
#include "tests/tools/boardsimprocess.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Opens the About box with its button and closes it once its transition has
// played; false when no transition finished within the watchdog's time.
bool openAboutAndCloseAfterItsTransition(TForm1& form, QDialog& about)
{
    auto* animation = about.findChild<TluxAnimation*>(QStringLiteral("luxAnimation1"));
    if (!animation)
        return false;
    const TluxAnimation::TNotifyEvent windowFinish = animation->OnFinish;
    bool finished = false;
    animation->OnFinish = [&](QObject* sender) {
        if (windowFinish)
            windowFinish(sender);
        finished = true;
        QTimer::singleShot(50, &about, &QDialog::accept);
    };
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &about, &QDialog::reject);
    watchdog.start(30000);
    form.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click(); // returns when the box has closed
    animation->OnFinish = windowFinish;
    return finished && about.result() == QDialog::Accepted;
}

} // namespace

TEST(ToolSession, SplashAboutThreeTimesATransferAndQuit)
{
    LuxSubsystem effects; // as in main(): started before the windows, stopped after them
    Form1Fixture fixture;
    BoardSimProcess board({QStringLiteral("--reply"), QStringLiteral("OK\\r\\n")});
    ASSERT_FALSE(board.device.isEmpty()) << "board-sim must be built";

    FormSetup setup = fixture.setup();
    setup.showSplash = ShowSplash;
    const ToolWindows windows = CreateToolWindows(std::move(setup));
    TForm1& form = *windows.Form1;
    form.show();
    ASSERT_TRUE(waitUntil([] { return Form3.isNull() || !Form3->isVisible(); }, 30000)) << "the splash stayed";

    for (int opening = 1; opening <= 3; ++opening) {
        EXPECT_TRUE(openAboutAndCloseAfterItsTransition(form, *windows.AboutBox)) << "opening " << opening;
        EXPECT_EQ(FrozenControlCount(), 0) << "opening " << opening;
    }

    overtype(form.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->lineEdit(), board.device);
    form.findChild<QPushButton*>(QStringLiteral("Button3"))->click();
    ASSERT_EQ(form.engine().state(), TransferState::Idle);
    overtype(form.findChild<QLineEdit*>(QStringLiteral("Edit1")), QStringLiteral("2"));
    QFile file(fixture.dir.filePath(QStringLiteral("send.hex")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int line = 0; line < 40; ++line)
        file.write(":10" + QByteArray::number(line * 16, 16).rightJustified(4, '0') + "00" + QByteArray(32, 'C') + "\n");
    file.close();
    form.findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(file.fileName());
    form.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    ASSERT_TRUE(waitUntil([&] { return fixture.saw(QStringLiteral("no data any more!")); }));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label8"))->text(), "40");

    // Quitting: closing the main window ends the event loop, as it ends the program.
    QTimer::singleShot(0, &form, &QWidget::close);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(30000);
    EXPECT_EQ(QApplication::exec(), 0) << "closing the main window did not end the event loop";
}
